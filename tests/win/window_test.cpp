// The main window in this test process: MainWindowProc on a window of its own, with the
// picture taken from the built Indigo program. Message boxes of this process are closed
// the moment they appear (tests/win/main.cpp), like a user who dismisses them at once.
#include "shell/window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ground/context.h"
#include "install/registry.h"
#include "shell/layout.h"
#include "shell/paint.h"
#include "shell/startup.h"
#include "shell/window_actions.h"
#include "shell/worker.h"
#include "tests/win/helpers.h"

namespace {

constexpr char TEST_CLASS[] = "MixarroWindowUnderTest";

struct Pumped {
  bool quit;
  WPARAM exitCode;
};

// Handles this thread's messages until WM_QUIT or until `ms` have passed.
Pumped PumpMessages(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return {true, message.wParam};
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return {false, 0};
}

// Creates the main window as the program does, shown, with the program's picture; the
// context's module is then switched to this test program, which carries no payload, so that
// an install started here fails at its first step instead of installing.
HWND CreateWindowUnderTest() {
  HMODULE program = LoadLibraryExA(SetupProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!program) return nullptr;
  InstallerContext& context = TheContext();
  InitInstallerContext(context, program);
  hiddenMode = installSwitch = uninstallSwitch = 0;
  WNDCLASSA windowClass;
  ZeroMemory(&windowClass, sizeof windowClass);
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.lpszClassName = TEST_CLASS;
  RegisterClassA(&windowClass);
  HWND window =
      CreateWindowExA(0, TEST_CLASS, "window under test", 0x02CB0000, CW_USEDEFAULT, CW_USEDEFAULT,
                      900, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window) return nullptr;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  context.hInstance = GetModuleHandleA(nullptr);
  return window;
}

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

// A stand-in worker: keeps workerRunning for a while after the notice, as the real one
// does between posting its last notice and returning.
DWORD WINAPI LateWorker(LPVOID) {
  Sleep(800);
  TheContext().workerRunning = 0;
  return 0;
}

}  // namespace

TEST(MainWindow, ClientAreaIsExactlyThePictureAndTheBand) {
  HWND window = CreateWindowUnderTest();
  ASSERT_NE(window, nullptr) << "error " << GetLastError();
  const InstallerContext& context = TheContext();
  EXPECT_EQ(context.backgroundWidth, 900);
  EXPECT_EQ(context.backgroundHeight, 424);
  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(client.right - client.left, 900);
  EXPECT_EQ(client.bottom - client.top, 524);
  EXPECT_EQ(context.hwnd, window);
  EXPECT_NE(context.blinkTimerId, 0u);
  EXPECT_EQ(context.productPresent, 0);
  PumpMessages(300);
  // The first painting placed the button where clicks are tested.
  EXPECT_EQ(context.buttonRect.left, 580);
  EXPECT_EQ(context.buttonRect.top, 444);
  EXPECT_EQ(context.buttonRect.right, 880);
  EXPECT_EQ(context.buttonRect.bottom, 504);
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  const Pumped end = PumpMessages(10000);
  EXPECT_TRUE(end.quit) << "Escape must close the window";
  EXPECT_EQ(end.exitCode, 0u);
}

TEST(MainWindow, ClickOnTheButtonBorderIsNoPress) {
  HWND window = CreateWindowUnderTest();
  ASSERT_NE(window, nullptr);
  PumpMessages(300);
  InstallerContext& context = TheContext();
  const POINT border[] = {{580, 470}, {880, 470}, {700, 444}, {700, 504}, {580, 444}};
  for (const POINT& p : border) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y));
    EXPECT_EQ(context.workerThread, nullptr) << "(" << p.x << ", " << p.y << ") started a worker";
    EXPECT_EQ(context.workerRunning, 0);
  }
  // Just inside is a press: the worker starts (and fails at once here, without a payload).
  context.workerResult = 12345;
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(581, 445));
  EXPECT_NE(context.workerThread, nullptr);
  ASSERT_EQ(WaitForSingleObject(context.workerThread, 30000), WAIT_OBJECT_0);
  EXPECT_NE(context.workerResult, 12345);
  EXPECT_EQ(context.workerRunning, 0);
  DestroyWindow(window);
}

TEST(MainWindow, EnterEscapeAndCloseIgnoredWhileTheWorkerRuns) {
  HWND window = CreateWindowUnderTest();
  ASSERT_NE(window, nullptr);
  PumpMessages(300);
  InstallerContext& context = TheContext();
  lstrcpyA(context.statusLine, "Extracting files...");
  context.workerRunning = 1;
  SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(700, 470));
  EXPECT_EQ(context.workerThread, nullptr) << "a press while the worker runs";
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  // The blink ticks draw the busy look meanwhile.
  EXPECT_FALSE(PumpMessages(1500).quit) << "closed while the worker runs";
  EXPECT_GE(context.blinkCount, 2);
  EXPECT_TRUE(IsWindow(window));
  context.workerRunning = 0;
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpMessages(10000).quit) << "the close box must work again";
}

TEST(MainWindow, NoticeBoxDismissedAtOnceStillClosesTheWindow) {
  // The error notice: the done notice takes the same path but also opens a web page.
  HWND window = CreateWindowUnderTest();
  ASSERT_NE(window, nullptr);
  PumpMessages(300);
  InstallerContext& context = TheContext();
  lstrcpyA(context.errorCaption, "Mixarro Installation Error");
  lstrcpyA(context.errorText, "test failure");
  context.workerRunning = 1;
  DWORD id = 0;
  context.workerThread = CreateThread(nullptr, 0, LateWorker, nullptr, 0, &id);
  ASSERT_NE(context.workerThread, nullptr);
  PostWorkerNotice(context, NOTICE_ERROR);
  const Pumped end = PumpMessages(20000);
  EXPECT_TRUE(end.quit) << "the WM_CLOSE after the box was refused: the window stays open";
  EXPECT_EQ(context.workerRunning, 0);
}

TEST(MainWindow, NoticesInHiddenModeShowNothingAndKeepTheWindow) {
  HWND window = CreateWindowUnderTest();
  ASSERT_NE(window, nullptr);
  hiddenMode = 1;
  PostWorkerNotice(TheContext(), NOTICE_ERROR);
  PostWorkerNotice(TheContext(), NOTICE_DONE);
  EXPECT_FALSE(PumpMessages(800).quit);
  EXPECT_TRUE(IsWindow(window));
  DestroyWindow(window);
}

TEST(MainWindow, SecondInstallAfterAnInstallWithoutNotice) {
  InstallerContext& context = TheContext();
  InitInstallerContext(context, GetModuleHandleA(nullptr));  // no payload: fails at once
  for (int run = 0; run < 2; ++run) {
    context.workerResult = 12345;
    ASSERT_EQ(StartWorker(context, 0), 0) << "run " << run;
    ASSERT_NE(context.workerThread, nullptr);
    HANDLE thread = context.workerThread;
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0) << "run " << run;
    EXPECT_EQ(context.workerRunning, 0) << "run " << run;
    EXPECT_NE(context.workerResult, 12345) << "run " << run;
  }
  // A waited-for run returns the result and leaves no handle behind.
  const int result = StartWorker(context, 1);
  EXPECT_EQ(result, context.workerResult);
  EXPECT_EQ(context.workerThread, nullptr);
  EXPECT_EQ(context.workerRunning, 0);
}

TEST(MainWindow, ReleasingResourcesTwiceIsHarmless) {
  InstallerContext& context = TheContext();
  HMODULE program = LoadLibraryExA(SetupProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  InitInstallerContext(context, program);
  PrepareWindowResources(context);
  EXPECT_NE(context.backgroundBitmap, nullptr);
  EXPECT_NE(context.statusFont, nullptr);
  EXPECT_EQ(ReleaseWindowResources(context), 0);
  EXPECT_EQ(context.backgroundBitmap, nullptr);
  EXPECT_EQ(context.buttonFont, nullptr);
  EXPECT_EQ(ReleaseWindowResources(context), 0);
}

TEST(SetupProgramCheck, UninstallEntryNamesThisProgram) {
  struct Case {
    const char* stored;
    int same;
  };
  const Case cases[] = {
      {"\"C:\\Program Files\\QX\\Mixarro\\MixarroSetup-Indigo.exe\"", 1},
      {"C:\\Program Files\\QX\\Mixarro\\mixarrosetup-indigo.EXE", 1},  // earlier, unquoted
      {"\"C:\\Other\\MixarroSetup-Indigo.exe\"", 1},  // another folder, same program
      {"\"C:\\Program Files\\QX\\Mixarro\\OtherSetup.exe\"", 0},
      {"", 1},
  };
  InstallerContext& context = TheContext();
  InitInstallerContext(context, GetModuleHandleA(nullptr));
  lstrcpyA(context.setupPath, "C:\\Downloads\\MixarroSetup-Indigo.exe");
  EXPECT_EQ(IsSameSetupProgram(context), 1) << "no uninstall entry";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const Case& c : cases) {
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.stored),
                   lstrlenA(c.stored) + 1);
    EXPECT_EQ(IsSameSetupProgram(context), c.same) << "stored [" << c.stored << "]";
  }
  const DWORD number = 7;
  RegSetValueExA(key, "UninstallString", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  EXPECT_EQ(IsSameSetupProgram(context), 1) << "not a string";
  RegCloseKey(key);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}
