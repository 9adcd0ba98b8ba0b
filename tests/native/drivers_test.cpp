// Paths, command lines and result codes of the driver steps.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "drivers/asio.h"
#include "drivers/subsetup.h"
#include "drivers/usbgpi.h"

TEST(SubSetupPath, VariantByArchitectureAndOneBackslash) {
  struct {
    const char* folder;
    const char* stem;
    int isWindows64;
    const char* path;
  } cases[] = {
      // clang-format off
      {"C:\\P\\QX\\Mixarro",   "QXLINK_Setup",    1, "C:\\P\\QX\\Mixarro\\QXLINK_Setup_x64.exe"},
      {"C:\\P\\QX\\Mixarro\\", "QXLINK_Setup",    1, "C:\\P\\QX\\Mixarro\\QXLINK_Setup_x64.exe"},
      {"C:\\P\\QX\\Mixarro",   "QXMXVAIO3_Setup", 0, "C:\\P\\QX\\Mixarro\\QXMXVAIO3_Setup.exe"},
      {"C:\\P\\QX\\Mixarro\\", "QXMXAUX_Setup",   0, "C:\\P\\QX\\Mixarro\\QXMXAUX_Setup.exe"},
      {"C:\\P",                "QXLINK_Setup",    2, "C:\\P\\QXLINK_Setup.exe"},
      // clang-format on
  };
  for (const auto& c : cases) {
    char out[1024];
    EXPECT_EQ(BuildSubSetupPath(out, sizeof out, c.folder, c.stem, c.isWindows64), 1) << c.path;
    EXPECT_STREQ(out, c.path);
  }
  char small[16];
  EXPECT_EQ(BuildSubSetupPath(small, sizeof small, "C:\\P\\QX\\Mixarro", "QXLINK_Setup", 1), 0);
}

TEST(SubSetupResults, ExitCodeContract) {
  struct {
    int installing;
    int32_t exitCode;
    int result;
    const char* text;
  } cases[] = {
      // clang-format off
      {1, -1,        -20, SUBSETUP_INSTALL_FAILED_TEXT},
      {1, INT32_MIN, -20, SUBSETUP_INSTALL_FAILED_TEXT},
      {1, 0,           0, nullptr},
      {1, 1,         -21, SUBSETUP_RESTART_TEXT},
      {1, 2,           0, nullptr},
      {1, INT32_MAX,   0, nullptr},
      {0, -1,        -20, SUBSETUP_REMOVAL_FAILED_TEXT},
      {0, 0,           0, nullptr},
      {0, 1,           0, nullptr},
      {0, 2,           0, nullptr},
      // clang-format on
  };
  for (const auto& c : cases) {
    int result = SubSetupResult(c.installing, c.exitCode);
    EXPECT_EQ(result, c.result) << "installing " << c.installing << " exit " << c.exitCode;
    EXPECT_EQ(SubSetupErrorText(c.installing, result), c.text)
        << "installing " << c.installing << " exit " << c.exitCode;
  }
  EXPECT_EQ(SubSetupErrorText(1, -605), nullptr);
  EXPECT_EQ(SubSetupErrorText(0, -604), nullptr);
  EXPECT_STREQ(SUBSETUP_INSTALL_COMMAND, "-h -i -H -n");
  EXPECT_STREQ(SUBSETUP_REMOVE_COMMAND, "-h -u -H");
  EXPECT_STREQ(SUBSETUP_INSTALL_FAILED_TEXT,
               "Failed to install mixarro virtual i/o driver...\nCheck running setup in "
               "administrator mode");
  EXPECT_STREQ(SUBSETUP_RESTART_TEXT,
               "Cannot install Mixarro Package now...\nYou must RESTART your system and then "
               "relaunch setup program");
  EXPECT_STREQ(SUBSETUP_REMOVAL_FAILED_TEXT,
               "Failed to uninstall mixarro virtual i/o driver...\nOne or several applications "
               "are still using it\nClose all possible programs using mixarro\n(including "
               "control panels) and try to remove it again ");
}

TEST(RegistrationCommandLine, CharacterByCharacter) {
  struct {
    const char* folder;
    const char* module;
    int direction;
    const char* line;
  } cases[] = {
      // clang-format off
      {"C:\\P\\QX\\Mixarro",   "qxmx_asiodriver64.dll",    1, " -fC:\\P\\QX\\Mixarro\\qxmx_asiodriver64.dll"},
      {"C:\\P\\QX\\Mixarro\\", "qxmx_asiodriver64.dll",    1, " -fC:\\P\\QX\\Mixarro\\qxmx_asiodriver64.dll"},
      {"C:\\P\\QX\\Mixarro",   "qxmx_asiodriver64.dll",    0, " -u  -fC:\\P\\QX\\Mixarro\\qxmx_asiodriver64.dll"},
      {"C:\\Program Files\\M", "qxmxpins_asiodriver64.dll", 0, " -u  -fC:\\Program Files\\M\\qxmxpins_asiodriver64.dll"},
      {"C:\\Program Files\\M", "qxmxaux_asiodriver64.dll",  7, " -fC:\\Program Files\\M\\qxmxaux_asiodriver64.dll"},
      // clang-format on
  };
  for (const auto& c : cases) {
    char out[2048];
    EXPECT_EQ(BuildRegistrationCommandLine(out, sizeof out, c.folder, c.module, c.direction), 1);
    EXPECT_EQ(std::string(out), c.line);
  }
  char path[1024];
  EXPECT_EQ(BuildRegistrationProgramPath(path, sizeof path, "C:\\P\\"), 1);
  EXPECT_STREQ(path, "C:\\P\\qxregsvr64.exe");
  char small[24];
  EXPECT_EQ(
      BuildRegistrationCommandLine(small, sizeof small, "C:\\P\\QX", "qxmx_asiodriver64.dll", 1), 0)
      << "a cut command line accepted";
}

TEST(UsbGpiFile, ChoiceByOperatingSystemCode) {
  struct {
    int osCode;
    const char* file;
    int choice;
  } cases[] = {
      // clang-format off
      {-1, nullptr,                      0},  // OS_UNKNOWN
      {0,  "qxusbgpi_uart_xp_vista.inf", 1},  // OS_PRE_XP
      {1,  "qxusbgpi_uart_xp_vista.inf", 1},  // OS_XP
      {2,  "qxusbgpi_uart_xp_vista.inf", 1},  // OS_SERVER_2003
      {3,  "qxusbgpi_uart_xp_vista.inf", 1},  // OS_VISTA
      {4,  "qxusbgpi_uart.inf",          2},  // OS_WIN7
      {5,  "qxusbgpi_uart.inf",          2},  // OS_WIN8
      {6,  "qxusbgpi_uart.inf",          2},  // OS_WIN81
      {7,  nullptr,                      0},  // OS_WIN10
      {8,  nullptr,                      0},  // OS_POST_WIN10
      {-2, nullptr,                      0},
      {99, nullptr,                      0},
      // clang-format on
  };
  for (const auto& c : cases) {
    int choice = -7;
    const char* file = UsbGpiFileFor(c.osCode, &choice);
    EXPECT_EQ(choice, c.choice) << "osCode " << c.osCode;
    if (c.file)
      EXPECT_STREQ(file, c.file) << "osCode " << c.osCode;
    else
      EXPECT_EQ(file, nullptr) << "osCode " << c.osCode;
  }
}
