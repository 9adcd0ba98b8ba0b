// The path and memory helpers on their edge cases.
#include "ground/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Paths, CutAtLastBackslash) {
  struct Case {
    const char* in;
    const char* out;
  } const cases[] = {
      // in                    out
      {"C:\\QX\\Mixarro\\a", "C:\\QX\\Mixarro"},
      {"C:\\QX\\", "C:\\QX"},
      {"name.txt", "name.txt"},
      {"\\x", ""},
      {"\\", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    char b[64];
    strcpy(b, c.in);
    CutAtLastBackslash(b);
    EXPECT_STREQ(b, c.out) << '"' << c.in << '"';
  }
}

TEST(Paths, KeepFileName) {
  struct Case {
    const char* in;
    const char* out;
  } const cases[] = {
      // in                          out
      {"C:\\QX\\mp3lame\\lame.dll", "lame.dll"},
      {"plain.txt", "plain.txt"},
      {"C:\\folder\\", ""},
      {"\\a", "a"},
  };
  for (const auto& c : cases) {
    char b[64];
    strcpy(b, c.in);
    KeepFileName(b);
    EXPECT_STREQ(b, c.out) << '"' << c.in << '"';
  }
}

TEST(Paths, ReplaceExtension) {
  struct Case {
    const char* in;
    const char* extension;
    size_t capacity;
    int result;
    const char* out;
  } const cases[] = {
      // in                        extension capacity result out
      {"C:\\QX\\driver.dll", ".del", 64, 1, "C:\\QX\\driver.del"},
      {"C:\\QX\\driver.dll", "del", 64, 1, "C:\\QX\\driver.del"},
      {"C:\\QX\\driver.", ".del", 64, 1, "C:\\QX\\driver.del"},
      {"C:\\QX\\a.b.exe", ".del", 64, 1, "C:\\QX\\a.b.del"},
      {"C:\\Q.X\\driver", ".del", 64, 0, "C:\\Q.X\\driver"},
      {"driver", ".del", 64, 0, "driver"},
      {".hidden", ".del", 64, 1, ".del"},
      {"a.dll", ".del", 6, 1, "a.del"},
      {"a.dll", ".dell", 6, 0, "a.dll"},
  };
  for (const auto& c : cases) {
    char b[64];
    strcpy(b, c.in);
    EXPECT_EQ(ReplaceExtension(b, c.extension, c.capacity), c.result) << c.in << " " << c.extension;
    EXPECT_STREQ(b, c.out) << c.in << " " << c.extension;
  }
}

TEST(Paths, JoinPathAddsOneBackslashAndRefusesCutPaths) {
  struct Case {
    const char* folder;
    const char* name;
    size_t capacity;
    int result;
    const char* out;
  } const cases[] = {
      // folder        name             capacity result out
      {"C:\\QX", "a.txt", 64, 1, "C:\\QX\\a.txt"},
      {"C:\\QX\\", "a.txt", 64, 1, "C:\\QX\\a.txt"},
      {"", "a.txt", 64, 1, "a.txt"},
      {"C:\\QX", "m\\l.dll", 64, 1, "C:\\QX\\m\\l.dll"},
      {"C:\\QX", "a.txt", 12, 1, "C:\\QX\\a.txt"},
      {"C:\\QX", "a.txt", 11, 0, "C:\\QX\\a.tx"},
  };
  for (const auto& c : cases) {
    char b[64];
    EXPECT_EQ(JoinPath(b, c.capacity, c.folder, c.name), c.result) << c.folder << " + " << c.name;
    EXPECT_STREQ(b, c.out) << c.folder << " + " << c.name;
  }
}

// A folder read from the registry is used only when it cannot depend on the current folder.
TEST(Paths, IsFullPath) {
  const struct {
    const char* path;
    int full;
  } cases[] = {
      {"C:\\Users\\me\\Programs", 1},
      {"d:\\", 1},
      {"\\\\server\\share\\Programs", 1},
      {"", 0},
      {"Programs", 0},
      {"Start Menu\\Programs", 0},
      {".\\Programs", 0},
      {"C:Programs", 0},
      {"C:", 0},
      {"\\Programs", 0},
      {"\\\\", 0},
      {"\\\\\\x", 0},
      {"1:\\x", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(IsFullPath(c.path), c.full) << '"' << c.path << '"';
  EXPECT_EQ(IsFullPath(nullptr), 0);
}

TEST(Memory, CopyCompareZero) {
  char a[8] = "abcdefg", b[8] = "abcdefX";
  EXPECT_EQ(BytesEqual(a, b, 6), 1);
  EXPECT_EQ(BytesEqual(a, b, 7), 0);
  EXPECT_EQ(BytesEqual(a, b, 0), 1);
  EXPECT_EQ(BytesEqual(a, a, 8), 1);
  EXPECT_EQ(BytesEqual(nullptr, nullptr, 5), 1) << "same address";
  CopyBytes(a, a, 8);
  CopyBytes(b, a, 0);
  EXPECT_STREQ(b, "abcdefX");
  CopyBytes(b, a, 7);
  EXPECT_STREQ(b, "abcdefg");
  ZeroBytes(b + 2, 3);
  EXPECT_EQ(std::string(b, 7), std::string("ab\0\0\0fg", 7));
  ZeroBytes(nullptr, 0);
}

}  // namespace
