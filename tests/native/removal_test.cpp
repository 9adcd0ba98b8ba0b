// Which catalogue names the removal may join to the program folder, how a name is taken
// from its catalogue record, and which names count as leftovers.
#include "uninstall/removal.h"

#include <gtest/gtest.h>

#include <cstring>

#include "install/payload.h"
#include "install/payload_core.h"
#include "shell/context.h"

namespace {

struct NameCase {
  const char* name;
  int safe;
};

// clang-format off
const NameCase NAME_CASES[] = {
    {"readme.txt",             1},
    {"mp3lame\\lame_enc.dll",  1},
    {"mp3lame/lame_enc.dll",   1},
    {".hidden",                1},
    {"a..b\\c",                1},
    {"",                       0},
    {"\\windows\\win.ini",     0},
    {"/etc/passwd",            0},
    {"C:\\boot.ini",           0},
    {"c:win.ini",              0},
    {"..\\outside.dll",        0},
    {"mp3lame\\..\\..\\x.dll", 0},
    {"mp3lame/../x.dll",       0},
    {"..",                     0},
    {".",                      0},
    {"...",                    0},
    {". .",                    0},
    {"a\\.. \\x.dll",          0},
    {"a. b\\x.dll",             1},
    {"mp3lame\\",              0},
    {"mp3lame\\\\x.dll",       0},
    {"\\\\server\\share\\x",   0},
};
// clang-format on

}  // namespace

TEST(CatalogueNames, OnlyRelativeNamesInsideTheFolderAreSafe) {
  for (const NameCase& c : NAME_CASES)
    EXPECT_EQ(CatalogueNameIsSafe(c.name), c.safe) << "name \"" << c.name << "\"";
  EXPECT_EQ(CatalogueNameIsSafe(nullptr), 0);
}

TEST(CatalogueNames, NameIsTheTerminatedStartOfTheRecord) {
  static unsigned char catalogue[3 * CATALOGUE_ENTRY_SIZE];
  memset(catalogue, 'x', sizeof catalogue);
  strcpy(reinterpret_cast<char*>(catalogue), "readme.txt");
  // Entry 1 fills all 128 name bytes without a NUL: no name.
  strcpy(reinterpret_cast<char*>(catalogue + 2 * CATALOGUE_ENTRY_SIZE), "..\\evil.dll");

  char out[CATALOGUE_NAME_SIZE];
  EXPECT_EQ(CatalogueEntryName(catalogue, 0, out, sizeof out), 1);
  EXPECT_STREQ(out, "readme.txt");
  EXPECT_EQ(CatalogueEntryName(catalogue, 1, out, sizeof out), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(CatalogueEntryName(catalogue, 2, out, sizeof out), 0) << "unsafe name taken";
  EXPECT_STREQ(out, "");

  // A name of 127 characters fits a 128-byte buffer but not a smaller one.
  memset(catalogue, 'a', CATALOGUE_NAME_SIZE - 1);
  catalogue[CATALOGUE_NAME_SIZE - 1] = '\0';
  EXPECT_EQ(CatalogueEntryName(catalogue, 0, out, sizeof out), 1);
  EXPECT_EQ(strlen(out), size_t(CATALOGUE_NAME_SIZE - 1));
  char small[16];
  EXPECT_EQ(CatalogueEntryName(catalogue, 0, small, sizeof small), 0);
  EXPECT_STREQ(small, "");
}

TEST(LeftoverNames, DelExtensionInAnyCase) {
  struct {
    const char* name;
    int leftover;
    // clang-format off
  } cases[] = {
      {"qxmx_asiodriver.del", 1}, {"A.DEL", 1}, {"x.Del", 1}, {".del", 1},
      {"x.delta",             0}, {"del",   0}, {"x.de",  0}, {"xdel", 0},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(HasDelExtension(c.name), c.leftover) << c.name;
  EXPECT_EQ(HasDelExtension(nullptr), 0);
}

TEST(LeftoverNames, FreeDelNameNeverKeepsTheFileName) {
  struct {
    const char* path;
    int attempt;
    const char* expected;  // nullptr: no name
    // clang-format off
  } cases[] = {
      {"C:\\P\\qxmx_asiodriver.dll",      0, "C:\\P\\qxmx_asiodriver.del"},
      {"C:\\P\\qxmx_asiodriver.dll",      1, "C:\\P\\qxmx_asiodriver~2.del"},
      {"C:\\P\\qxmx_asiodriver.dll",      9, "C:\\P\\qxmx_asiodriver~10.del"},
      {"C:\\P\\MixarroSetup-Indigo.exe",  0, "C:\\P\\MixarroSetup-Indigo.del"},
      {"C:\\P\\mp3lame\\lame_enc.dll",    0, "C:\\P\\mp3lame\\lame_enc.del"},
      {"C:\\P.x\\README",                 0, "C:\\P.x\\README.del"},
      {"C:\\P.x\\README",                 2, "C:\\P.x\\README~3.del"},
      {"C:\\P\\a.b.c",                    0, "C:\\P\\a.b.del"},
      {"C:\\P\\a.dll",                   99, "C:\\P\\a~100.del"},
      {"C:\\P\\a.dll",                  100, nullptr},
      {"C:\\P\\a.dll",                   -1, nullptr},
  };
  // clang-format on
  for (const auto& c : cases) {
    char out[64] = "untouched";
    const int made = FreeDelName(c.path, c.attempt, out, sizeof out);
    EXPECT_EQ(made, c.expected ? 1 : 0) << c.path << " attempt " << c.attempt;
    if (c.expected) {
      EXPECT_STREQ(out, c.expected) << c.path << " attempt " << c.attempt;
    }
  }
  // A name that would not fit is no name: a cut one could be a file an install writes.
  char small[12];
  EXPECT_EQ(FreeDelName("C:\\P\\abcdef.dll", 0, small, sizeof small), 0);
  EXPECT_EQ(FreeDelName("C:\\P\\ab.dll", 5, small, sizeof small), 0);
  EXPECT_EQ(FreeDelName(nullptr, 0, small, sizeof small), 0);
}
