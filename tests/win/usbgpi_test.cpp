// The USB GPI driver information file copied into and deleted from the prefix's own
// Windows "inf" folder.
#include "drivers/usbgpi.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "ground/context.h"
#include "ground/paths.h"
#include "tests/win/helpers.h"
#include "tests/win/scratch.h"

namespace {

std::string InfFile(const char* name) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\inf\\" + name;
}

}  // namespace

TEST(UsbGpi, CopiedAndDeletedInTheInfFolder) {
  const char* const OLD = "qxusbgpi_uart_xp_vista.inf";
  const char* const NEW = "qxusbgpi_uart.inf";
  std::string folder = ScratchFolder("mixarro-usbgpi");
  ASSERT_TRUE(MakeScratchFile(folder + "\\" + OLD, "old generations"));
  ASSERT_TRUE(MakeScratchFile(folder + "\\" + NEW, "new generations"));
  auto context = std::make_unique<InstallerContext>();
  memset(context.get(), 0, sizeof *context);
  ASSERT_FALSE(PathExists(InfFile(OLD)));
  ASSERT_FALSE(PathExists(InfFile(NEW)));

  struct {
    int osCode;
    const char* suffix;  // of targetFolder
    int result;
    const char* file;
    const char* text;
  } cases[] = {
      // clang-format off
      {3,  "",   1, OLD,     "old generations"},
      {4,  "\\", 2, NEW,     "new generations"},
      {6,  "",   2, NEW,     "new generations"},
      {0,  "\\", 1, OLD,     "old generations"},
      {7,  "",   0, nullptr, nullptr},
      {8,  "",   0, nullptr, nullptr},
      {-1, "",   0, nullptr, nullptr},
      // clang-format on
  };
  for (const auto& c : cases) {
    context->osCode = c.osCode;
    CopyText(context->targetFolder, PATH_CAPACITY, (folder + c.suffix).c_str());
    // An older copy in the inf folder is replaced without a question.
    if (c.file) {
      ASSERT_TRUE(WriteText(InfFile(c.file), "stale"));
    }
    EXPECT_EQ(SetUsbGpiDriverInfo(*context, 1), c.result) << "osCode " << c.osCode;
    if (c.file) {
      EXPECT_EQ(ReadWholeFile(InfFile(c.file)), c.text) << "osCode " << c.osCode;
    }
    EXPECT_EQ(SetUsbGpiDriverInfo(*context, 0), c.result) << "osCode " << c.osCode;
    EXPECT_FALSE(PathExists(InfFile(OLD))) << "osCode " << c.osCode;
    EXPECT_FALSE(PathExists(InfFile(NEW))) << "osCode " << c.osCode;
    // Removing what was never copied is quiet.
    EXPECT_EQ(SetUsbGpiDriverInfo(*context, 0), c.result) << "osCode " << c.osCode;
  }

  // Windows 10 and later leave a copy made before an upgrade where it is.
  ASSERT_TRUE(WriteText(InfFile(NEW), "before the upgrade"));
  context->osCode = 7;
  EXPECT_EQ(SetUsbGpiDriverInfo(*context, 0), 0);
  EXPECT_EQ(ReadWholeFile(InfFile(NEW)), "before the upgrade");
  DeleteFileA(InfFile(NEW).c_str());

  // A missing source copies nothing and changes nothing else.
  DeleteFileA((folder + "\\" + NEW).c_str());
  context->osCode = 4;
  EXPECT_EQ(SetUsbGpiDriverInfo(*context, 1), 2);
  EXPECT_FALSE(PathExists(InfFile(NEW)));
  WipeScratchFolder(folder);
}
