#include "ground/run_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

TEST(RunLog, LineFormats) {
  char line[LOG_LINE_CAPACITY];
  struct Made {
    int fit;
    std::string text;
  };
  auto make = [&](int fit) { return Made{fit, line}; };
  const struct {
    Made made;
    const char* expected;
  } lines[] = {
      {make(FormatPayloadEntryLine(line, sizeof line, "mp3lame\\lame_enc.dll", 1234, 1, 1, 0)),
       "file mp3lame\\lame_enc.dll (1234 bytes): verified, written"},
      {make(FormatPayloadEntryLine(line, sizeof line, "readme.txt", 10, 0, 0, 0)),
       "file readme.txt (10 bytes): FAILED verification, not written"},
      {make(FormatPayloadEntryLine(line, sizeof line, "readme.txt", 10, 1, 0, 32)),
       "file readme.txt (10 bytes): verified, NOT written (error 32)"},
      {make(FormatProgramRunLine(line, sizeof line, "sub-setup", "C:\\P\\QXLINK_Setup_x64.exe",
                                 "-h -i -H -n", "C:\\P", 1, -1, 0)),
       "sub-setup: C:\\P\\QXLINK_Setup_x64.exe \"-h -i -H -n\" in C:\\P: exit code -1"},
      {make(FormatProgramRunLine(line, sizeof line, "sub-setup", "C:\\P\\X.exe", "-h -u -H",
                                 "C:\\P", 0, 0, 2)),
       "sub-setup: C:\\P\\X.exe \"-h -u -H\" in C:\\P: could NOT be started (error 2)"},
      {make(FormatProgramRunLine(line, sizeof line, "registration program", "C:\\P\\qxregsvr64.exe",
                                 " -fC:\\P\\a64.dll", nullptr, 1, 0, 0)),
       "registration program: C:\\P\\qxregsvr64.exe \" -fC:\\P\\a64.dll\" in (inherited folder): "
       "exit code 0"},
      {make(FormatModuleLine(line, sizeof line, "DllRegisterServer", "C:\\P\\a.dll", 0,
                             static_cast<long>(0x80004005L))),
       "module C:\\P\\a.dll DllRegisterServer: FAILED (0x80004005)"},
      {make(FormatActionLine(line, sizeof line, "delete", "C:\\P\\a.dll", 0, 5)),
       "delete C:\\P\\a.dll: FAILED (error 5)"},
      {make(FormatActionLine(line, sizeof line, "shortcut", "C:\\S\\Readme.LNK", 1, 0)),
       "shortcut C:\\S\\Readme.LNK: ok"},
      {make(FormatRegistryLine(line, sizeof line, "set value", "HKCU", "QX-Audio\\MixArro", "done",
                               1, 0)),
       "set value HKCU\\QX-Audio\\MixArro\\done: ok"},
      {make(FormatRegistryLine(line, sizeof line, "remove key", "HKLM", "SOFTWARE\\X", nullptr, 0,
                               5)),
       "remove key HKLM\\SOFTWARE\\X: FAILED (error 5)"},
      {make(FormatShortcutLine(line, sizeof line, "create shortcut", "C:\\S\\", "Readme", 1, 0)),
       "create shortcut C:\\S\\Readme.LNK: ok"},
      {make(FormatShortcutLine(line, sizeof line, "delete shortcut", "C:\\S", "Mixarro", 0, 2)),
       "delete shortcut C:\\S\\Mixarro.LNK: FAILED (0x00000002)"},
      {make(FormatShortcutLine(line, sizeof line, "create shortcut", "C:\\S", "Readme", 0,
                               0x80070005ul)),
       "create shortcut C:\\S\\Readme.LNK: FAILED (0x80070005)"},
      {make(FormatExitCodeLine(line, sizeof line, -605)), "exit code: -605"},
      {make(FormatResultLine(line, sizeof line, "install", -21)), "install result: -21"},
      {make(FormatFailureLine(line, sizeof line, "Copy Files", "2 payload files failed")),
       "ERROR at step \"Copy Files\": 2 payload files failed"},
      {make(FormatLogFileName(line, sizeof line, "Indigo", 2026, 12, 9, 7, 5, 3, 0)),
       "MixarroSetup-Indigo-20261209-070503.log"},
      {make(FormatLogFileName(line, sizeof line, "Cobalt", 2026, 1, 2, 23, 59, 59, 2)),
       "MixarroSetup-Cobalt-20260102-235959-2.log"},
  };
  for (const auto& l : lines) {
    EXPECT_EQ(l.made.fit, 1) << l.expected;
    EXPECT_EQ(l.made.text, l.expected);
  }
}

TEST(RunLog, HeaderNamesTheRun) {
  char text[LOG_LINE_CAPACITY];
  ASSERT_EQ(
      FormatHeaderLines(text, sizeof text, "Indigo", "3.0.2.8", "-h -i", 7, "O/S: WIN10", 1, ""),
      1);
  EXPECT_STREQ(text,
               "MixarroSetup Indigo 3.0.2.8\r\ncommand line: -h -i\r\nsystem: O/S: WIN10 (code 7), "
               "64-bit Windows: 1\r\nprogram folder: (not yet known)");
}

TEST(RunLog, ContextLineNamesTheProgramFolder) {
  char text[LOG_LINE_CAPACITY];
  ASSERT_EQ(FormatContextLine(text, sizeof text, "C:\\Program Files\\QX\\Mixarro"), 1);
  EXPECT_STREQ(text, "program folder: C:\\Program Files\\QX\\Mixarro");
}

TEST(RunLog, TimePrefixIsMillisecondsSinceTheStart) {
  const struct {
    unsigned long long milliseconds;
    const char* prefix;
  } cases[] = {
      {0, "[     0 ms] "},
      {123, "[   123 ms] "},
      {999999, "[999999 ms] "},
      {1234567, "[1234567 ms] "},  // a run longer than 16 minutes widens the prefix
  };
  for (const auto& c : cases) {
    char text[32];
    ASSERT_EQ(FormatTimePrefix(text, sizeof text, c.milliseconds), 1) << c.milliseconds;
    EXPECT_STREQ(text, c.prefix);
  }
}

TEST(RunLog, LongTextIsCutAndTerminated) {
  char small[24];
  memset(small, 'x', sizeof small);
  EXPECT_EQ(FormatActionLine(small, sizeof small, "delete", "C:\\a\\very\\long\\path.dll", 1, 0),
            0);
  EXPECT_EQ(strlen(small), sizeof small - 1);
}

}  // namespace

namespace {

int FakeWords(unsigned long error, char* out, size_t capacity) {
  if (error != 5) return 0;
  snprintf(out, capacity, "Access is denied.");
  return 1;
}

}  // namespace

TEST(RunLog, FailuresCarryTheErrorsWordsWhenThereAreSome) {
  char line[LOG_LINE_CAPACITY];
  SetErrorWords(FakeWords);
  const struct {
    int fit;
    std::string text;
    const char* expected;
  } lines[] = {
      {FormatActionLine(line, sizeof line, "delete", "C:\\P\\a.dll", 0, 5), line,
       "delete C:\\P\\a.dll: FAILED (error 5: Access is denied.)"},
      {FormatActionLine(line, sizeof line, "delete", "C:\\P\\a.dll", 0, 2), line,
       "delete C:\\P\\a.dll: FAILED (error 2)"},
      {FormatRegistryLine(line, sizeof line, "set value", "HKLM", "K", "V", 0, 5), line,
       "set value HKLM\\K\\V: FAILED (error 5: Access is denied.)"},
      {FormatPayloadEntryLine(line, sizeof line, "readme.txt", 10, 1, 0, 5), line,
       "file readme.txt (10 bytes): verified, NOT written (error 5: Access is denied.)"},
      {FormatProgramRunLine(line, sizeof line, "sub-setup", "C:\\P\\X.exe", "-h -u -H", "C:\\P", 0,
                            0, 5),
       line,
       "sub-setup: C:\\P\\X.exe \"-h -u -H\" in C:\\P: could NOT be started (error 5: Access is "
       "denied.)"},
      {FormatActionLine(line, sizeof line, "delete", "C:\\P\\a.dll", 1, 5), line,
       "delete C:\\P\\a.dll: ok"},
  };
  SetErrorWords(nullptr);
  for (const auto& l : lines) {
    EXPECT_EQ(l.fit, 1) << l.expected;
    EXPECT_EQ(l.text, l.expected);
  }
  // Without words, and for "no error", the number alone.
  FormatWindowsError(line, sizeof line, 5);
  EXPECT_STREQ(line, "error 5");
}

TEST(RunLog, SummaryLineGivesResultMeaningTimeAndCounts) {
  char line[LOG_LINE_CAPACITY];
  RunTally tally = {};
  tally.written[TALLY_FILE] = 126;
  tally.written[TALLY_MODULE] = 10;
  tally.written[TALLY_SHORTCUT] = 26;
  tally.written[TALLY_ENTRY_VALUE] = 11;
  tally.removed[TALLY_FILE] = 3;
  EXPECT_EQ(FormatSummaryLine(line, sizeof line, -10, 905, tally), 1);
  EXPECT_STREQ(line,
               "summary: exit code -10 (a payload file failed its check or could not be written) "
               "after 905 ms; written: 126 files, 10 modules, 26 shortcuts, 11 entry values; "
               "removed: 3 files, 0 modules, 0 shortcuts, 0 entry values");
  FormatSummaryLine(line, sizeof line, 7, 1, RunTally{});
  EXPECT_NE(strstr(line, "exit code 7 (not a result of this program)"), nullptr) << line;
}
