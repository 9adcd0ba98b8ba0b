#include "system/folders.h"

#include <gtest/gtest.h>

#include <cstring>

#include "system/ansi_paths.h"

namespace {

struct RootCase {
  const char* path;
  const char* root;
  int result;
};

const RootCase ROOT_CASES[] = {
    // path                          root                 result
    {"C:\\Windows", "C:\\", 1},
    {"C:\\Windows\\System32", "C:\\", 1},
    {"C:", "C:", 1},
    {"C:\\", "C:\\", 1},
    {"\\\\server\\share\\dir", "\\\\server\\", 1},
    {"\\\\server", "\\\\server", 1},
    {"Windows\\System", "", 0},
    {"\\dir\\sub", "", 0},
    {"\\", "", 0},
    {"", "", 0},
    {"D:\\WINNT", "D:\\", 1},
};

TEST(PathRoot, Table) {
  for (const RootCase& c : ROOT_CASES) {
    char buffer[256];
    strcpy(buffer, c.path);
    EXPECT_EQ(PathRoot(buffer), c.result) << "path \"" << c.path << "\"";
    EXPECT_STREQ(buffer, c.root) << "path \"" << c.path << "\"";
  }
}

struct TargetCase {
  const char* programFiles;
  const char* windowsFolder;
  const char* expected;
};

const TargetCase TARGET_CASES[] = {
    // shell's Program Files           Windows folder        program folder
    {"C:\\Program Files", "C:\\Windows", "C:\\Program Files\\QX\\Mixarro"},
    {"C:\\Program Files\\", "C:\\Windows", "C:\\Program Files\\QX\\Mixarro"},
    {"C:\\Program Files (x86)", nullptr, "C:\\Program Files (x86)\\QX\\Mixarro"},
    {"", "D:\\Windows", "D:\\Program Files\\QX\\Mixarro"},
    {"", "D:\\", "D:\\Program Files\\QX\\Mixarro"},
    {"", "\\\\srv\\share\\win", "\\\\srv\\Program Files\\QX\\Mixarro"},
    {"", nullptr, "C:\\Program Files\\QX\\Mixarro"},
    {nullptr, nullptr, "C:\\Program Files\\QX\\Mixarro"},
};

TEST(ComposeTargetFolder, ShellAnswersAndFallbacks) {
  for (const TargetCase& c : TARGET_CASES) {
    char out[1024];
    EXPECT_EQ(ComposeTargetFolder(out, sizeof out, c.programFiles, c.windowsFolder, "QX\\Mixarro"),
              1);
    EXPECT_STREQ(out, c.expected) << "program files \""
                                  << (c.programFiles ? c.programFiles : "(none)") << "\" windows \""
                                  << (c.windowsFolder ? c.windowsFolder : "(none)") << "\"";
  }
}

TEST(ComposeTargetFolder, RefusesWhatDoesNotFit) {
  char out[16];
  EXPECT_EQ(ComposeTargetFolder(out, sizeof out, "C:\\Program Files", nullptr, "QX\\Mixarro"), 0);
  EXPECT_LT(strlen(out), sizeof out);
}

TEST(PathReachLine, SaysWhatWasTakenAndWhy) {
  char line[300];
  ASSERT_EQ(FormatPathReachLine(line, sizeof line, "the user's Startup folder", PATH_REACH_SHORT,
                                1252, "C:\\users\\_UKA~INY\\Startup", "unused"),
            1);
  EXPECT_STREQ(line,
               "the user's Startup folder cannot be named in this system's code page 1252: its "
               "short name \"C:\\users\\_UKA~INY\\Startup\" is used");
  ASSERT_EQ(FormatPathReachLine(line, sizeof line, "the user's Startup folder", PATH_REACH_NONE,
                                1250, "", "the autostart shortcut is not removed"),
            1);
  EXPECT_STREQ(line,
               "the user's Startup folder cannot be named in this system's code page 1250, nor by "
               "a short name: the autostart shortcut is not removed");
  ASSERT_EQ(FormatPathReachLine(line, sizeof line, "x", PATH_REACH_WHOLE, 1252, "", ""), 1);
  EXPECT_STREQ(line, "");
  char small[16];
  EXPECT_EQ(FormatPathReachLine(small, sizeof small, "the user's Startup folder", PATH_REACH_NONE,
                                1252, "", "y"),
            0);
}

}  // namespace
