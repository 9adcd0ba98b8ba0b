// Start-up of the real program: the single-instance mutex, the passes over the product's
// running windows, the system folders and the architecture flag.
#include "shell/startup.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "ground/context.h"
#include "system/folders.h"
#include "system/os_version.h"
#include "tests/win/helpers.h"

namespace {

// Waits until a hidden first instance owns the installer mutex; false after 20 s.
bool WaitForMutex() {
  for (int i = 0; i < 400; ++i) {
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, INSTALLER_MUTEX_NAME);
    if (m) {
      CloseHandle(m);
      return true;
    }
    Sleep(50);
  }
  return false;
}

// Waits for the installer's main window to exist (it exists once the loop runs).
HWND WaitForMainWindow() {
  for (int i = 0; i < 400; ++i) {
    if (HWND w = FindWindowA(MAIN_WINDOW_CLASS, nullptr)) return w;
    Sleep(50);
  }
  return nullptr;
}

// The hidden first instance ends through WM_CLOSE with exit code 0.
void CloseFirstInstance(HANDLE first) {
  HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitExit(first, 20000), 0);
}

}  // namespace

// Also run by the 32-bit build under WoW64 (names with "Deliverable").
TEST(StartupDeliverable, SecondInstanceEndsAtOnceWithMinusOne) {
  Started first = StartProgram(SetupProgram(), "-h");
  ASSERT_NE(first.process, nullptr) << "error " << GetLastError();
  ASSERT_TRUE(WaitForMutex());

  DWORD before = GetTickCount();
  EXPECT_EQ(RunProgram(SetupProgram(), "-h -i"), -1);
  EXPECT_LT(GetTickCount() - before, 15000u);

  EXPECT_EQ(WaitForSingleObject(first.process, 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the first instance must be unharmed";
  CloseFirstInstance(first.process);
}

TEST(StartupDeliverable, ArchitectureFlagOnWow64) {
  // Both test builds run on 64-bit Wine: the 64-bit one knows it, the 32-bit one asks
  // IsWow64Process.
  EXPECT_EQ(IsWindows64(), 1);
  InstallerContext& context = TheContext();
  context.isWindows64 = 7;
  InitInstallerContext(context, GetModuleHandleA(nullptr));
  EXPECT_EQ(context.isWindows64, 1);
  EXPECT_EQ(context.hwnd, nullptr);
  EXPECT_EQ(context.targetFolder[0], '\0');
}

namespace {

struct TestWindow {
  const char* className;
  const wchar_t* title;
  bool owned;
  bool expectDestroyed;
};

int destroyedCount[8];

LRESULT CALLBACK RecordDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    int index = static_cast<int>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (index >= 0 && index < 8) ++destroyedCount[index];
    return 0;  // recorded only; the window stays
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST(Startup, TellsTheProductWindowsToEnd) {
  const TestWindow windows[] = {
      // class                            title                           owned  destroyed
      {"QXLINK0Mixarro0MainWindow0", L"MixArro Indigo 3.0", false, true},
      {"QXLINK0Mixarro0MainWindow0", L"Mixarro Indigo", false, false},
      {"OtherClass", L"MixArro Indigo", false, false},
      {"OtherClass", L"QX-Audio Matrix 8 (outputs)", false, true},
      {"OtherClass", L"MX-Stream Scope", false, true},
      {"OtherClass", L"Mixarro.Remote", true, false},
      {"OtherClass", L"QX-Audio Graphic EQ", false, false},
  };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const wchar_t* name : {L"QXLINK0Mixarro0MainWindow0", L"OtherClass"}) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RecordDestroy;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    RegisterClassW(&wc);
  }
  HWND owner = CreateWindowExW(0, L"OtherClass", L"owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, instance, nullptr);
  SetWindowLongPtrA(owner, GWLP_USERDATA, -1);
  HWND made[8] = {};
  int count = static_cast<int>(sizeof windows / sizeof windows[0]);
  for (int i = 0; i < count; ++i) {
    std::wstring wclass(windows[i].className, windows[i].className + strlen(windows[i].className));
    made[i] = CreateWindowExW(0, wclass.c_str(), windows[i].title, WS_OVERLAPPED, 0, 0, 10, 10,
                              windows[i].owned ? owner : nullptr, nullptr, instance, nullptr);
    ASSERT_NE(made[i], nullptr);
    SetWindowLongPtrA(made[i], GWLP_USERDATA, i);
  }

  Started setup = StartProgram(SetupProgram(), "-h");
  ASSERT_NE(setup.process, nullptr);
  // The passes run before the main window exists; pump our queue while we wait for it.
  HWND main = nullptr;
  for (int i = 0; i < 400 && !main; ++i) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    main = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
    Sleep(50);
  }
  ASSERT_NE(main, nullptr);
  for (int i = 0; i < 10; ++i) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    Sleep(20);
  }
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitExit(setup.process, 20000), 0);

  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(destroyedCount[i], windows[i].expectDestroyed ? 1 : 0)
        << "window " << i << " class " << windows[i].className;
    DestroyWindow(made[i]);
  }
  DestroyWindow(owner);
}

TEST(Startup, SystemFoldersAreThePrefixFolders) {
  QuerySystemFolders();
  char expected[MAX_PATH] = "";
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, expected, CSIDL_COMMON_PROGRAMS, FALSE));
  EXPECT_STREQ(GetCommonProgramsFolder(), expected);
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, expected, CSIDL_STARTUP, FALSE));
  EXPECT_STREQ(GetStartupFolder(), expected);

  InstallerContext& context = TheContext();
  ASSERT_EQ(ComputeTargetFolder(context, "QX\\Mixarro"), 0);
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, expected, CSIDL_PROGRAM_FILES, FALSE));
  EXPECT_EQ(std::string(context.targetFolder), std::string(expected) + "\\QX\\Mixarro");
#ifdef _WIN64
  EXPECT_STREQ(context.targetFolder, "C:\\Program Files\\QX\\Mixarro");
#else
  EXPECT_STREQ(context.targetFolder, "C:\\Program Files (x86)\\QX\\Mixarro");
#endif
}
