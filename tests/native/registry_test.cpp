// Texts taken from stored registry bytes, the product's key names and link file paths.
#include "install/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "install/shortcuts.h"

TEST(RegistryText, TerminatedBoundedAndNeverPastTheStoredBytes) {
  struct {
    const char* bytes;
    size_t count;
    size_t capacity;
    const char* text;
    int whole;
    // clang-format off
  } cases[] = {
      {"abc\0zz", 4, 16, "abc",   1},  // stored with its NUL
      {"abcdef",  3, 16, "abc",   1},  // stored without: ends at the count
      {"abc\0zz", 6, 16, "abc",   1},  // bytes after the NUL are not text
      {"abcdef",  6, 4,  "abc",   0},  // too long: cut and terminated, not whole
      {"abc",     3, 4,  "abc",   1},  // exactly fits with its terminator
      {"",        0, 4,  "",      1},
  };
  // clang-format on
  for (const auto& c : cases) {
    char out[32];
    memset(out, 'q', sizeof out);
    EXPECT_EQ(TakeRegistryText(c.bytes, c.count, out, c.capacity), c.whole)
        << "count " << c.count << " capacity " << c.capacity;
    EXPECT_STREQ(out, c.text) << "count " << c.count << " capacity " << c.capacity;
    EXPECT_EQ(out[c.capacity], 'q') << "wrote past the capacity";
  }
}

TEST(RegistryText, KeyNames) {
  EXPECT_STREQ(UNINSTALL_KEY,
               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QX:Mixarro "
               "{17359A74-1236-5467}");
  EXPECT_STREQ(PRODUCT_USER_KEY, "QX-Audio\\MixArro");
  EXPECT_STREQ(SHELL_FOLDERS_KEY,
               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
}

TEST(LinkPath, OneBackslashAndCapitalExtension) {
  struct {
    const char* folder;
    const char* title;
    const char* path;
    // clang-format off
  } cases[] = {
      {"C:\\Menu\\QX Audio\\Mixarro",   "Readme",        "C:\\Menu\\QX Audio\\Mixarro\\Readme.LNK"},
      {"C:\\Menu\\QX Audio\\Mixarro\\", "Readme",        "C:\\Menu\\QX Audio\\Mixarro\\Readme.LNK"},
      {"C:\\",                          "QXAN-2-MIDI",   "C:\\QXAN-2-MIDI.LNK"},
  };
  // clang-format on
  for (const auto& c : cases) {
    char out[LINK_PATH_CAPACITY];
    EXPECT_EQ(BuildLinkPath(out, sizeof out, c.folder, c.title), 1) << c.folder;
    EXPECT_STREQ(out, c.path);
  }
  char out[LINK_PATH_CAPACITY];
  EXPECT_EQ(BuildLinkPath(out, sizeof out, "C:\\x", ""), 0);
  std::string longFolder(LINK_PATH_CAPACITY - 8, 'f');
  EXPECT_EQ(BuildLinkPath(out, sizeof out, longFolder.c_str(), "Readme"), 0) << "cut path accepted";
}
