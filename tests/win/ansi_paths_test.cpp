// System paths brought into the program's 8-bit texts: whole when the code page carries every
// letter, else the short form, else nothing; never a look-alike. The test program has no
// manifest, so its code page is the session's own (1252 in the test runs, from LANG=C.UTF-8).
#include "system/ansi_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "ground/capacities.h"
#include "tests/win/scratch.h"

namespace {

// A folder made in UTF-16 beside the scratch folders; removed again by the test.
std::wstring MakeWideFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

TEST(AnsiPaths, ConversionIsWholeOrNothing) {
  if (GetACP() != 1252)
    GTEST_SKIP() << "the cases are written for code page 1252, not " << GetACP();
  struct Case {
    const wchar_t* path;
    int whole;
    const char* ansi;
  } cases[] = {
      {L"C:\\Program Files\\QX", 1, "C:\\Program Files\\QX"},
      {L"C:\\users\\Jos\u00e9", 1, "C:\\users\\Jos\xe9"},  // é is in the code page
      {L"C:\\users\\\u0141ukasz", 0, ""},                  // Ł is not: never "Lukasz"
      {L"C:\\\u5b89\u88c5", 0, ""},                        // nor Chinese: never "??"
      {L"C:\\users\\\u03b1", 0, ""},                       // α best-fits to "a" in 1252
      {L"C:\\x\xd800y", 0, ""},                            // a lone surrogate
      {L"", 1, ""},
  };
  for (const Case& c : cases) {
    char out[64];
    memset(out, 'x', sizeof out);
    SetLastError(0xdeadbeef);
    const int got = WideToAnsiWhole(c.path, out, sizeof out);
    EXPECT_EQ(got, c.whole) << "case " << (&c - cases);
    EXPECT_STREQ(out, c.ansi) << "case " << (&c - cases);
  }
  // A path that does not fit is refused whole, not cut.
  char small[8];
  EXPECT_EQ(WideToAnsiWhole(L"C:\\Program Files", small, sizeof small), 0);
  EXPECT_STREQ(small, "");
}

TEST(AnsiPaths, ReachTakesTheShortFormOnlyWhenItConvertsWhole) {
  if (GetACP() != 1252)
    GTEST_SKIP() << "the cases are written for code page 1252, not " << GetACP();
  const std::wstring folder = MakeWideFolder(L"mixarro-\u0141\u00f3d\u017a-folder");
  char out[PATH_CAPACITY];
  SetLastError(0xdeadbeef);
  const int reach = ReachWidePath(folder.c_str(), out, sizeof out);
  wchar_t shortForm[PATH_CAPACITY] = L"";
  const DWORD n = GetShortPathNameW(folder.c_str(), shortForm, PATH_CAPACITY);
  char expected[PATH_CAPACITY] = "";
  BOOL usedDefault = FALSE;
  const int shortWhole = n > 0 &&
                         WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, shortForm, -1, expected,
                                             sizeof expected, nullptr, &usedDefault) > 0 &&
                         !usedDefault;
  if (shortWhole) {
    EXPECT_EQ(reach, PATH_REACH_SHORT);
    EXPECT_STREQ(out, expected);
    // The short form names the same folder.
    EXPECT_NE(GetFileAttributesA(out), INVALID_FILE_ATTRIBUTES) << out;
  } else {
    EXPECT_EQ(reach, PATH_REACH_NONE);
    EXPECT_STREQ(out, "");
  }
  // A missing folder has no short form: nothing.
  const std::wstring missing = folder + L"\\\u0142-missing";
  EXPECT_EQ(ReachWidePath(missing.c_str(), out, sizeof out), PATH_REACH_NONE);
  EXPECT_STREQ(out, "");
  // A whole path is taken as it is, existing or not.
  EXPECT_EQ(ReachWidePath(L"C:\\no such folder", out, sizeof out), PATH_REACH_WHOLE);
  EXPECT_STREQ(out, "C:\\no such folder");
  RemoveDirectoryW(folder.c_str());
}

TEST(AnsiPaths, WideTextRoundTrips) {
  wchar_t wide[16];
  ASSERT_EQ(AnsiToWide("C:\\QX", wide, 16), 1);
  EXPECT_EQ(std::wstring(wide), L"C:\\QX");
  EXPECT_EQ(AnsiToWide("C:\\a long path", wide, 4), 0);
  EXPECT_EQ(wide[0], L'\0');
}

}  // namespace
