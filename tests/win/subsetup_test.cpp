// The driver packages' sub-setups, run for real through the sub-setup stand-in: the command
// line and folder they get, what their exit codes become, the notices, and the device
// interface that a successful install leaves present.
// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on
#include "drivers/subsetup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ground/context.h"
#include "ground/paths.h"
#include "shell/window.h"
#include "tests/win/helpers.h"
#include "tests/win/scratch.h"

namespace {

const GUID QXLINK_INTERFACE = {
    0xD8C6B17A, 0x215D, 0x4082, {0x93, 0x41, 0x1E, 0x16, 0x77, 0xAE, 0x6B, 0x55}};

class SubSetups : public testing::Test {
 protected:
  void SetUp() override {
    folder = ScratchFolder("mixarro-subsetups");
    log = folder + ".log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", log.c_str());
    window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    context = std::make_unique<InstallerContext>();
    memset(context.get(), 0, sizeof *context);
    context->hwnd = window;
    context->postNotice = PostWorkerNotice;  // as the shell sets it
    context->isWindows64 = 1;
    CopyText(context->targetFolder, PATH_CAPACITY, folder.c_str());
  }
  void TearDown() override {
    DestroyWindow(window);
    for (const char* stem : {"QXLINK_SETUP", "QXMXAUX_SETUP"})
      SetEnvironmentVariableA((std::string("MIXARRO_EXIT_") + stem).c_str(), nullptr);
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", nullptr);
    WipeScratchFolder(folder);
    DeleteFileA(log.c_str());
  }
  // The notices waiting in the window's queue, as "wParam/lParam".
  std::vector<std::string> TakeNotices() {
    std::vector<std::string> notices;
    MSG message;
    while (PeekMessageA(&message, window, 0, 0, PM_REMOVE))
      if (message.message == WM_COMMAND)
        notices.push_back(std::to_string(message.wParam) + "/" + std::to_string(message.lParam));
    return notices;
  }

  std::string folder;
  std::string log;
  HWND window = nullptr;
  std::unique_ptr<InstallerContext> context;
};

bool InterfacePresent(const GUID& interfaceClass) {
  HDEVINFO set = SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr,
                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVICE_INTERFACE_DATA data = {};
  data.cbSize = sizeof data;
  bool found = SetupDiEnumDeviceInterfaces(set, nullptr, &interfaceClass, 0, &data);
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

std::string WithoutTrailingBackslash(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

TEST_F(SubSetups, CommandLineProgramAndFolder) {
  // The i686 stand-in stands for the 32-bit sub-setup, run under WoW64.
  ASSERT_TRUE(PlaceStandin("subsetup.exe", folder, "QXLINK_Setup_x64.exe"));
  ASSERT_TRUE(PlaceStandin("subsetup.exe", folder, "QXLINK_Setup.exe", Wow64StandinArch()));
  struct {
    int isWindows64;
    const char* suffix;  // of targetFolder
    int installing;
    const char* program;
    const char* commandLine;
  } cases[] = {
      // clang-format off
      {1, "",   1, "QXLINK_Setup_x64.exe", "-h -i -H -n"},
      {1, "\\", 1, "QXLINK_Setup_x64.exe", "-h -i -H -n"},
      {1, "",   0, "QXLINK_Setup_x64.exe", "-h -u -H"},
      {1, "\\", 0, "QXLINK_Setup_x64.exe", "-h -u -H"},
      {0, "",   1, "QXLINK_Setup.exe",     "-h -i -H -n"},
      {0, "\\", 0, "QXLINK_Setup.exe",     "-h -u -H"},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string stored = folder + c.suffix;
    std::string label = std::string(c.program) + " " + c.commandLine + " in \"" + stored + "\"";
    CopyText(context->targetFolder, PATH_CAPACITY, stored.c_str());
    context->isWindows64 = c.isWindows64;
    DeleteFileA(log.c_str());
    int result = c.installing ? InstallDriverPackage(*context, "QXLINK_Setup")
                              : UninstallDriverPackage(*context, "QXLINK_Setup");
    EXPECT_EQ(result, 0) << label;
    EXPECT_STREQ(context->targetFolder, stored.c_str()) << "folder changed";
    std::vector<std::string> lines = ReadLines(log);
    ASSERT_EQ(lines.size(), 1u) << label;
    std::vector<std::string> fields = SplitTabs(lines[0]);
    ASSERT_EQ(fields.size(), 3u) << lines[0];
    EXPECT_STRCASEEQ(fields[0].c_str(), (folder + "\\" + c.program).c_str()) << label;
    EXPECT_EQ(fields[1], c.commandLine) << label;
    EXPECT_STRCASEEQ(fields[2].c_str(), WithoutTrailingBackslash(stored).c_str()) << label;
    EXPECT_TRUE(TakeNotices().empty()) << label;
  }
}

TEST_F(SubSetups, ExitCodesResultsTextsAndNotices) {
  ASSERT_TRUE(PlaceStandin("subsetup.exe", folder, "QXMXAUX_Setup_x64.exe"));
  const std::string notice = std::to_string(CMD_WORKER_NOTICE) + "/" + std::to_string(NOTICE_ERROR);
  struct {
    int installing;
    const char* exitCode;
    int result;
    const char* text;  // null: no notice, errorText untouched
  } cases[] = {
      // clang-format off
      {1, "-1", -20, SUBSETUP_INSTALL_FAILED_TEXT},
      {1, "-2147483647", -20, SUBSETUP_INSTALL_FAILED_TEXT},
      {1, "0",    0, nullptr},
      {1, "1",  -21, SUBSETUP_RESTART_TEXT},
      {1, "2",    0, nullptr},
      {0, "-1", -20, SUBSETUP_REMOVAL_FAILED_TEXT},
      {0, "0",    0, nullptr},
      {0, "1",    0, nullptr},
      {0, "2",    0, nullptr},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string label = std::string(c.installing ? "install" : "remove") + " exit " + c.exitCode;
    SetEnvironmentVariableA("MIXARRO_EXIT_QXMXAUX_SETUP", c.exitCode);
    CopyText(context->errorText, ERROR_TEXT_CAPACITY, "untouched");
    int result = c.installing ? InstallDriverPackage(*context, "QXMXAUX_Setup")
                              : UninstallDriverPackage(*context, "QXMXAUX_Setup");
    EXPECT_EQ(result, c.result) << label;
    EXPECT_STREQ(context->errorText, c.text ? c.text : "untouched") << label;
    EXPECT_EQ(TakeNotices(), c.text ? std::vector<std::string>{notice} : std::vector<std::string>{})
        << label;
  }
  EXPECT_EQ(ReadLines(log).size(), sizeof cases / sizeof cases[0]) << "one run per call";
  EXPECT_EQ(std::string(SUBSETUP_REMOVAL_FAILED_TEXT).back(), ' ');
}

TEST_F(SubSetups, MissingProgram) {
  // Only the other variant is there; it is never started. The removal looks for the missing
  // program in the payload, and this test program carries none: a removal that cannot run is
  // a failure, not a success.
  ASSERT_TRUE(PlaceStandin("subsetup.exe", folder, "QXLINK_Setup.exe"));
  CopyText(context->errorText, ERROR_TEXT_CAPACITY, "untouched");
  EXPECT_EQ(InstallDriverPackage(*context, "QXLINK_Setup"), -605);
  EXPECT_EQ(UninstallDriverPackage(*context, "QXLINK_Setup"), -605);
  EXPECT_EQ(InstallDriverPackage(*context, "QXMXVAIO3_Setup"), -605);
  EXPECT_EQ(UninstallDriverPackage(*context, "QXMXVAIO3_Setup"), -605);
  EXPECT_FALSE(PathExists(log)) << "something was started";
  EXPECT_TRUE(TakeNotices().empty());
  EXPECT_STREQ(context->errorText, "untouched");
}

TEST_F(SubSetups, InstallLeavesAPresentInterfaceAndRemovalTakesItAway) {
  ASSERT_TRUE(PlaceStandin("subsetup.exe", folder, "QXLINK_Setup_x64.exe"));
  ASSERT_TRUE(PlaceStandin("subsetup.exe", folder, "QXLINK_Setup.exe", Wow64StandinArch()));
  ASSERT_FALSE(InterfacePresent(QXLINK_INTERFACE));
  for (int isWindows64 : {1, 0}) {
    context->isWindows64 = isWindows64;
    SetEnvironmentVariableA("MIXARRO_EXIT_QXLINK_SETUP", "1");
    EXPECT_EQ(InstallDriverPackage(*context, "QXLINK_Setup"), -21);
    EXPECT_FALSE(InterfacePresent(QXLINK_INTERFACE)) << "a refused install made a device";
    SetEnvironmentVariableA("MIXARRO_EXIT_QXLINK_SETUP", nullptr);
    EXPECT_EQ(InstallDriverPackage(*context, "QXLINK_Setup"), 0);
    EXPECT_TRUE(InterfacePresent(QXLINK_INTERFACE)) << "isWindows64 " << isWindows64;
    EXPECT_EQ(UninstallDriverPackage(*context, "QXLINK_Setup"), 0);
    EXPECT_FALSE(InterfacePresent(QXLINK_INTERFACE)) << "isWindows64 " << isWindows64;
  }
}
