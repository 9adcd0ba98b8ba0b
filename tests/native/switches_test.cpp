#include "shell/switches.h"

#include <gtest/gtest.h>

namespace {

struct SwitchCase {
  const char* text;
  int hidden, install, uninstall;
};

const SwitchCase SWITCH_CASES[] = {
    // text                      hidden install uninstall
    {"", 0, 0, 0},
    {"-", 0, 0, 0},
    {"h", 0, 0, 0},
    {"-h", 1, 0, 0},
    {"-H", 1, 0, 0},
    {"-i", 0, 1, 0},
    {"-I", 0, 0, 0},
    {"-u", 0, 0, 1},
    {"-U", 0, 0, 1},
    {"-hu", 1, 0, 0},
    {"-h -u", 1, 0, 1},
    {"-h-u", 1, 0, 1},
    {"-h -i", 1, 1, 0},
    {"--h", 0, 0, 0},
    {"---h", 1, 0, 0},
    {"-x -i", 0, 1, 0},
    {"\"C:\\my-installer\\x\" ", 0, 1, 0},
    {"word-under", 0, 0, 1},
    {"-h -", 1, 0, 0},
    {"/h /i", 0, 0, 0},
};

TEST(ScanSwitches, Table) {
  for (const SwitchCase& c : SWITCH_CASES) {
    Switches s = {0, 0, 0};
    ScanSwitches(c.text, s);
    EXPECT_EQ(s.hidden, c.hidden) << "text \"" << c.text << "\"";
    EXPECT_EQ(s.install, c.install) << "text \"" << c.text << "\"";
    EXPECT_EQ(s.uninstall, c.uninstall) << "text \"" << c.text << "\"";
  }
}

TEST(ScanSwitches, NullTextSetsNothing) {
  Switches s = {0, 0, 0};
  ScanSwitches(nullptr, s);
  EXPECT_EQ(s.hidden + s.install + s.uninstall, 0);
}

TEST(ScanSwitches, NeverClearsAFlag) {
  Switches s = {1, 1, 1};
  ScanSwitches("-x", s);
  EXPECT_EQ(s.hidden + s.install + s.uninstall, 3);
}

}  // namespace
