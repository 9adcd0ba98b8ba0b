#include "editions/edition.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(Edition, CountsAndSizes) {
  const struct {
    const EditionConfig* e;
    const char* name;
    const char* version;
    int entries, catalogue, packages, modules, rows, classes, locked, usbGpi;
  } cases[] = {
      // edition          name      version    entries catalogue pkgs mods rows cls lock gpi
      {&INDIGO_EDITION, "Indigo", "3.0.2.8", 124, 19344, 3, 5, 13, 3, 1, 1},
      {&COBALT_EDITION, "Cobalt", "2.0.6.2", 85, 13260, 2, 3, 10, 2, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(c.e->name, c.name);
    EXPECT_STREQ(c.e->versionText, c.version);
    EXPECT_EQ(c.e->payloadEntryCount, c.entries);
    EXPECT_EQ(c.e->catalogueSize, c.catalogue);
    EXPECT_EQ(c.e->driverPackageCount, c.packages);
    EXPECT_EQ(c.e->asioModuleCount, c.modules);
    EXPECT_EQ(c.e->shortcutRowCount, c.rows);
    EXPECT_EQ(c.e->removalTitleCount, c.rows);
    EXPECT_EQ(c.e->interfaceClassCount, c.classes);
    EXPECT_EQ(c.e->lockedFileHandling, c.locked);
    EXPECT_EQ(c.e->usbGpiFiles, c.usbGpi);
  }
}

TEST(Edition, PayloadNamesAreUniqueShortAndRelative) {
  for (const EditionConfig* e : {&INDIGO_EDITION, &COBALT_EDITION}) {
    std::set<std::string> seen;
    size_t longest = 0;
    for (int i = 0; i < e->payloadEntryCount; ++i) {
      const char* n = e->payloadNames[i];
      EXPECT_TRUE(seen.insert(n).second) << e->name << " duplicate " << n;
      EXPECT_NE(n[0], '\\') << n;
      EXPECT_EQ(strchr(n, ':'), nullptr) << n;
      longest = std::max(longest, strlen(n));
    }
    EXPECT_LE(longest, 29u) << e->name;
  }
}

TEST(Edition, PayloadOrderLandmarks) {
  const struct {
    const EditionConfig* e;
    int index;
    const char* name;
  } marks[] = {
      {&INDIGO_EDITION, 0, "qxaudio_mxvaio_win10.cat"},
      {&INDIGO_EDITION, 29, "QXmxvaio64_win10.inf"},
      {&INDIGO_EDITION, 30, "mixarro.exe"},
      {&INDIGO_EDITION, 48, "qxusbgpi_uart.inf"},
      {&INDIGO_EDITION, 84, "mp3lame\\lame_enc.dll"},
      {&INDIGO_EDITION, 85, "mp3lame\\lame_enc64.dll"},
      {&INDIGO_EDITION, 117, "readme.txt"},
      {&INDIGO_EDITION, 123, "qxmxpins_asiodriver64.dll"},
      {&COBALT_EDITION, 48, "qxaudio_mxauxvaio_vista.cat"},
      {&COBALT_EDITION, 78, "readme.txt"},
      {&COBALT_EDITION, 83, "mp3lame\\lame_enc.dll"},
      {&COBALT_EDITION, 84, "mp3lame\\lame_License.txt"},
  };
  for (const auto& m : marks)
    EXPECT_STREQ(m.e->payloadNames[m.index], m.name) << m.e->name << " entry " << m.index;
}

TEST(Edition, ShortcutRowsByArchitecture) {
  const struct {
    const EditionConfig* e;
    int isWindows64;
    int rows;
  } cases[] = {
      {&INDIGO_EDITION, 1, 13},
      {&INDIGO_EDITION, 0, 12},
      {&COBALT_EDITION, 1, 10},
      {&COBALT_EDITION, 0, 10},
  };
  for (const auto& c : cases) {
    const ShortcutRow* rows[16];
    int n = ApplicableShortcutRows(*c.e, c.isWindows64, rows, 16);
    EXPECT_EQ(n, c.rows) << c.e->name << " isWindows64 " << c.isWindows64;
    for (int i = 0; i < n && !c.isWindows64; ++i) {
      EXPECT_STRNE(rows[i]->title, "Mixarro Indigo x64");
    }
  }
  for (int i = 0; i < COBALT_EDITION.shortcutRowCount; ++i) {
    const char* t = COBALT_EDITION.shortcutRows[i].title;
    for (const char* absent :
         {"Virtual VAIO3 Control Panel", "Mixarro Indigo", "Mixarro Indigo x64"})
      EXPECT_STRNE(t, absent);
  }
}

TEST(Edition, RemovalTitlesAreTheShortcutTitles) {
  for (const EditionConfig* e : {&INDIGO_EDITION, &COBALT_EDITION}) {
    std::set<std::string> made, removed;
    for (int i = 0; i < e->shortcutRowCount; ++i) made.insert(e->shortcutRows[i].title);
    for (int i = 0; i < e->removalTitleCount; ++i) removed.insert(e->removalTitles[i].title);
    EXPECT_EQ(made, removed) << e->name;
  }
  EXPECT_STREQ(INDIGO_EDITION.removalTitles[0].title, "Mixarro");
  EXPECT_STREQ(INDIGO_EDITION.removalTitles[12].title, "Virtual VAIO3 Control Panel");
}

TEST(Edition, TextsThatDiffer) {
  EXPECT_STREQ(COBALT_EDITION.uninstallRebootText, "Restart System to finish de-installation!");
  EXPECT_STREQ(INDIGO_EDITION.uninstallRebootText, "Restart System to finish the uninstallation!");
  EXPECT_NE(strstr(COBALT_EDITION.foreignSetupText, "to de-install it,\n"), nullptr);
  EXPECT_NE(strstr(INDIGO_EDITION.foreignSetupText, "AFTER UNINSTALLATION"), nullptr);
  EXPECT_EQ(strncmp(COBALT_EDITION.uninstallPackageText, "De-Installation package", 23), 0);
}

TEST(Edition, FindByName) {
  EXPECT_EQ(FindEdition("indigo"), &INDIGO_EDITION);
  EXPECT_EQ(FindEdition("COBALT"), &COBALT_EDITION);
  EXPECT_EQ(FindEdition("Indig"), nullptr);
  EXPECT_EQ(FindEdition(nullptr), nullptr);
}

}  // namespace
