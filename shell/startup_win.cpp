#include <objbase.h>

#include <cstdio>

#include "ground/paths.h"
#include "ground/results.h"
#include "ground/run_log.h"
#include "shell/startup.h"
#include "shell/switches.h"
#include "shell/window.h"
#include "shell/window_match.h"
#include "system/folders.h"
#include "system/os_version.h"
#include "system/syscalls.h"

namespace {

typedef int(WINAPI* InternalGetWindowTextFn)(HWND, LPWSTR, int);

// "User32.dll" loaded from System32 at start, and its InternalGetWindowText (reads a title
// without sending the window a message, so a hung application cannot block us).
HMODULE user32Module = nullptr;
InternalGetWindowTextFn internalGetWindowText = nullptr;

BOOL CALLBACK CloseByClass(HWND window, LPARAM prefix) {
  if (!window) return TRUE;
  char className[512] = "";
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, PRODUCT_WINDOW_CLASS) != 0) return TRUE;
  char title[512] = "";
  GetWindowTextA(window, title, sizeof title);
  if (MatchesProductClass(className, title, reinterpret_cast<const char*>(prefix)))
    PostMessageA(window, WM_DESTROY, 0, 0);
  return TRUE;
}

BOOL CALLBACK CloseByTitle(HWND window, LPARAM prefix) {
  if (!window || GetWindow(window, GW_OWNER)) return TRUE;
  wchar_t title[512] = L"";
  internalGetWindowText(window, title, 512);
  title[511] = L'\0';
  if (MatchesProductTitle(title, 0, reinterpret_cast<const wchar_t*>(prefix)))
    PostMessageA(window, WM_DESTROY, 0, 0);
  return TRUE;
}

void StartupError(const char* text) {
  MessageBoxA(nullptr, text, STARTUP_ERROR_CAPTION, MB_ICONWARNING);
}

}  // namespace

void CloseProductWindowsByClass(const char* titlePrefix) {
  EnumWindows(CloseByClass, reinterpret_cast<LPARAM>(titlePrefix));
}

void CloseProductWindowsByTitle(const wchar_t* titlePrefix) {
  if (!internalGetWindowText) return;
  EnumWindows(CloseByTitle, reinterpret_cast<LPARAM>(titlePrefix));
}

int InitInstallerContext(InstallerContext& context, HINSTANCE instance) {
  ZeroBytes(&context, sizeof context);
  context.hInstance = instance;
  context.isWindows64 = IsWindows64();
  context.postNotice = PostWorkerNotice;
  return 0;
}

void GetFrameMetrics(int* frameWidth, int* captionHeight) {
  NONCLIENTMETRICSA metrics;
  ZeroBytes(&metrics, sizeof metrics);
  static_assert(sizeof(NONCLIENTMETRICSA) == 344, "the layout that ends with iPaddedBorderWidth");
  metrics.cbSize = sizeof metrics;
  int frame, caption;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    frame = metrics.iBorderWidth + metrics.iPaddedBorderWidth;
    caption = metrics.iCaptionHeight;
  } else {
    frame = GetSystemMetrics(SM_CXFIXEDFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
    caption = GetSystemMetrics(SM_CYCAPTION);
  }
  if (frameWidth) *frameWidth = frame;
  if (captionHeight) *captionHeight = caption;
}

void PostDestroy() {
  PostMessageA(TheContext().hwnd, WM_DESTROY, 0, 0);
}

HWND CreateMainWindow(HINSTANCE instance, WNDPROC handler, const char* menuName,
                      const char* title) {
  WNDCLASSA windowClass;
  ZeroBytes(&windowClass, sizeof windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = handler;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(100));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INACTIVEBORDER + 1);
  windowClass.lpszMenuName = menuName;
  windowClass.lpszClassName = MAIN_WINDOW_CLASS;
  if (!RegisterClassA(&windowClass)) {
    LogAction("register the window class", MAIN_WINDOW_CLASS, 0, GetLastError());
    StartupError(CLASS_FAILURE_TEXT);
    return nullptr;
  }
  HWND window = CreateWindowExA(0, MAIN_WINDOW_CLASS, title, 0x02CB0000, CW_USEDEFAULT,
                                CW_USEDEFAULT, 900, 300, nullptr, nullptr, instance, nullptr);
  if (!window) {
    // Ends with -1 like a second instance: the log tells them apart.
    LogAction("create the main window", MAIN_WINDOW_CLASS, 0, GetLastError());
    StartupError(WINDOW_FAILURE_TEXT);
    return nullptr;
  }
  if (hiddenMode) {
    ShowWindow(window, SW_HIDE);
  } else {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
  }
  return window;
}

int RunSetupProgram(HINSTANCE instance, const char* arguments) {
  // Before anything else is loaded on our behalf.
  UseSafeDllSearch();
  ParseSwitches(arguments);

  HANDLE mutex = CreateMutexA(nullptr, TRUE, INSTALLER_MUTEX_NAME);
  if (!mutex) return RESULT_REFUSED;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return RESULT_REFUSED;
  }
  WaitForSingleObject(mutex, INFINITE);

  user32Module = LoadSystemLibrary(USER32_NAME);
  internalGetWindowText = user32Module
                              ? reinterpret_cast<InternalGetWindowTextFn>(reinterpret_cast<void*>(
                                    GetProcAddress(user32Module, INTERNAL_GET_WINDOW_TEXT)))
                              : nullptr;

  CloseProductWindowsByClass(PRODUCT_TITLE_PREFIX);
  for (int i = 0; i < PRODUCT_WIDE_TITLE_COUNT; ++i)
    CloseProductWindowsByTitle(PRODUCT_WIDE_TITLES[i]);

  QuerySystemFolders();
  InstallerContext& context = TheContext();
  InitInstallerContext(context, instance);
  const int osCode = DetectOsCode();
  OpenRunLog(context, arguments, osCode, OsCodeLabel(osCode));
  LogSystemFolderReach();

  char title[128];
  snprintf(title, sizeof title, WINDOW_TITLE_FORMAT, ThisEdition().versionText);

  HRESULT com = CoInitialize(nullptr);
  int exitCode = RESULT_REFUSED;
  // After a "Startup Error" box there is no window to end the loop: end with -1 at once.
  if (CreateMainWindow(instance, MainWindowProc, nullptr, title)) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  }

  CloseRunLog(exitCode);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  if (com == S_OK) CoUninitialize();
  if (user32Module) FreeLibrary(user32Module);
  return exitCode;
}
