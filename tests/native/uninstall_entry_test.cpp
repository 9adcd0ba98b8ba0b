#include "install/uninstall_entry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ground/paths.h"
#include "install/payload_core.h"

namespace {

TEST(UninstallEntry, QuotedAndQuietStrings) {
  char out[256];
  ASSERT_EQ(BuildQuotedPath(out, sizeof out, "C:\\Program Files\\QX\\Mixarro\\Setup.exe"), 1);
  EXPECT_STREQ(out, "\"C:\\Program Files\\QX\\Mixarro\\Setup.exe\"");
  ASSERT_EQ(BuildQuietUninstallString(out, sizeof out, "C:\\Program Files\\QX\\Mixarro\\Setup.exe"),
            1);
  EXPECT_STREQ(out, "\"C:\\Program Files\\QX\\Mixarro\\Setup.exe\" -h -u");
  char small[12];
  EXPECT_EQ(BuildQuietUninstallString(small, sizeof small, "C:\\a\\b.exe"), 0);
  EXPECT_EQ(strlen(small), sizeof small - 1);
}

TEST(UninstallEntry, EstimatedSizeRoundsUpToKiB) {
  const struct {
    uint32_t sizes[3];
    uint32_t kib;
  } cases[] = {
      // sizes                         KiB
      {{1, 0, 0}, 1},
      {{1024, 0, 0}, 1},
      {{1024, 1, 0}, 2},
      {{1000, 24, 1024}, 2},
      {{0xFFFFFFFFu, 0xFFFFFFFFu, 2}, 8388608},
  };
  for (const auto& c : cases) {
    uint8_t catalogue[3 * CATALOGUE_ENTRY_SIZE] = {};
    for (int i = 0; i < 3; ++i) {
      CatalogueEntry entry = {};
      strcpy(entry.name, "x");
      entry.size = c.sizes[i];
      WriteCatalogueEntry(entry, catalogue + i * CATALOGUE_ENTRY_SIZE);
    }
    EXPECT_EQ(EstimatedSizeKiB(catalogue, 3), c.kib)
        << c.sizes[0] << " " << c.sizes[1] << " " << c.sizes[2];
  }
}

// The uninstaller copy keeps the running file's name only when its path reached the program
// whole: a short form's name ("MIXA~0NA.EXE") would stay the product's uninstaller for good.
TEST(UninstallEntry, CopyName) {
  struct Case {
    const char* setupPath;
    int reach;
    const char* name;
  } cases[] = {
      {"C:\\Downloads\\MixarroSetup-Indigo.exe", PATH_REACH_WHOLE, "MixarroSetup-Indigo.exe"},
      {"MixarroSetup-Indigo.exe", PATH_REACH_WHOLE, "MixarroSetup-Indigo.exe"},
      {"C:\\users\\_UKA~INY\\DOWN~NTG\\MIXA~0NA.EXE", PATH_REACH_SHORT, "Mixarro8Setup.exe"},
      {"", PATH_REACH_NONE, "Mixarro8Setup.exe"},
      {"", PATH_REACH_WHOLE, "Mixarro8Setup.exe"},
  };
  for (const Case& c : cases) {
    char out[64];
    EXPECT_EQ(UninstallerCopyName(out, sizeof out, c.setupPath, c.reach, "Mixarro8Setup"), 1)
        << c.setupPath;
    EXPECT_STREQ(out, c.name) << c.setupPath << " reach " << c.reach;
  }
  char small[8];
  EXPECT_EQ(UninstallerCopyName(small, sizeof small, "", PATH_REACH_NONE, "Mixarro8Setup"), 0);
}

}  // namespace
