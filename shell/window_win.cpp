#include "editions/edition.h"
#include "ground/paths.h"
#include "ground/results.h"
#include "ground/run_log.h"
#include "install/registry.h"
#include "install/uninstall_entry.h"
#include "procedures/install_procedure.h"
#include "procedures/uninstall_procedure.h"
#include "shell/layout.h"
#include "shell/links.h"
#include "shell/paint.h"
#include "shell/startup.h"
#include "shell/texts.h"
#include "shell/window.h"
#include "shell/window_actions.h"
#include "shell/window_logic.h"
#include "shell/worker.h"

namespace {

constexpr UINT BOX_ERROR = MB_SYSTEMMODAL | MB_ICONERROR;
constexpr UINT BOX_WARNING = MB_SYSTEMMODAL | MB_ICONWARNING;
constexpr UINT BLINK_PERIOD_MS = 500;
constexpr DWORD PRESSED_PAUSE_MS = 200;

// The pressed or busy look is on the screen (drawn since the last normal look).
int busyLookShown = 0;
// The install's final notice has arrived; the window is about to close.
int finalNoticeSeen = 0;
// A procedure has posted a notice that the window has not shown yet. Written before the
// posting (by the worker, or by the window thread during a removal) and read by the window
// thread only after the worker has ended or the removal has returned.
volatile int noticePending = 0;
// The program's exit code, given to PostQuitMessage when the window goes: 0, or the result
// of a shown switch run that ends after its notice's box.
int exitCode = 0;

// 1 when the run ends through the box of a notice still in the queue: asking for the end
// now would end that box's own message loop the moment it opens (a quit request, or the
// WM_DESTROY that it dispatches), and with it the box and the result. The box's WM_CLOSE
// ends the run instead.
int EndsThroughNoticeBox() {
  return noticePending && !hiddenMode;
}

// The notice box is dismissed the moment it appears by a quick user or by automation,
// possibly before the worker has cleared workerRunning: wait for the thread to end, or the
// WM_CLOSE that follows would be refused and the window would stay open for good. The
// worker never sends to this window, so the wait cannot dead-lock.
void WaitForWorkerEnd(const InstallerContext& context) {
  if (context.workerThread) WaitForSingleObject(context.workerThread, INFINITE);
}

void HandleCreate(InstallerContext& context, HWND window) {
  context.hwnd = window;
  PrepareWindowResources(context);
  int frame = 0, caption = 0;
  GetFrameMetrics(&frame, &caption);
  if (!hiddenMode) {
    int width = 0, height = 0;
    FormulaWindowSize(context.backgroundWidth, context.backgroundHeight, frame, caption, &width,
                      &height);
    SetWindowPos(window, HWND_TOP, 0, 0, width, height, SWP_NOMOVE | SWP_SHOWWINDOW);
    int clientWidth = 0, clientHeight = 0;
    ClientSizeFor(context.backgroundWidth, context.backgroundHeight, &clientWidth, &clientHeight);
    FitClientArea(window, clientWidth, clientHeight);
    context.blinkTimerId =
        static_cast<unsigned>(SetTimer(window, BLINK_TIMER_ID, BLINK_PERIOD_MS, nullptr));
  }
  switch (DecideCreationPost(installSwitch, uninstallSwitch, context.productPresent)) {
    case CREATION_POST_SWITCH_RUN:
      PostMessageA(window, WM_COMMAND, CMD_SWITCH_RUN, SWITCH_RUN_TAG);
      break;
    case CREATION_CHECK_SETUP:
      if (!IsSameSetupProgram(context) && !hiddenMode)
        PostMessageA(window, WM_COMMAND, CMD_FOREIGN_SETUP, 0);
      break;
    case CREATION_POST_NOTHING: break;
  }
  SetFocus(window);
}

void HandleCommand(InstallerContext& context, HWND window, WPARAM wParam, LPARAM lParam) {
  switch (DecideCommand(wParam, lParam, hiddenMode)) {
    case COMMAND_ERROR_BOX:
      finalNoticeSeen = 1;
      noticePending = 0;
      MessageBoxA(context.hwnd, context.errorText, context.errorCaption, BOX_ERROR);
      WaitForWorkerEnd(context);
      PostMessageA(context.hwnd, WM_CLOSE, 0, 0);
      break;
    case COMMAND_DONE_BOX:
      finalNoticeSeen = 1;
      noticePending = 0;
      OpenLink(context, COMPLETION_LINK, COMPLETION_LINK_SIZE);
      MessageBoxA(context.hwnd, COMPLETE_TEXT, REBOOT_CAPTION, BOX_WARNING);
      WaitForWorkerEnd(context);
      PostMessageA(context.hwnd, WM_CLOSE, 0, 0);
      break;
    case COMMAND_SWITCH_RUN: {
      int result = 0;
      const int same = context.productPresent ? IsSameSetupProgram(context) : 1;
      switch (DecideSwitchRun(context.productPresent, installSwitch, same)) {
        case SWITCH_RUN_UNINSTALL: result = UninstallProduct(context); break;
        case SWITCH_RUN_INSTALL: result = StartWorker(context, 1); break;
        case SWITCH_RUN_REFUSE_FOREIGN:
          LogFormatted(FormatFailureLine, "switch run",
                       "the uninstall entry names another setup program: nothing changed");
          if (!hiddenMode)
            MessageBoxA(window, ThisEdition().foreignSetupText, FOREIGN_SETUP_CAPTION, BOX_ERROR);
          result = RESULT_FOREIGN_SETUP;
          break;
        case SWITCH_RUN_NOTHING: break;
      }
      if (EndsThroughNoticeBox()) {
        exitCode = result;
        break;
      }
      ReleaseWindowResources(context);
      PostQuitMessage(result);
      break;
    }
    case COMMAND_FOREIGN_SETUP_BOX:
      MessageBoxA(window, ThisEdition().foreignSetupText, FOREIGN_SETUP_CAPTION, BOX_ERROR);
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case COMMAND_NOTHING: break;
  }
}

void HandleTimer(InstallerContext& context, HWND window, WPARAM timerId) {
  if (DrawsBlinkTick(context, timerId)) {
    ++context.blinkCount;
    HDC dc = GetDC(window);
    DrawBusyButton(context, dc, BlinkPhase(context.blinkCount));
    ReleaseDC(window, dc);
    busyLookShown = 1;
    return;
  }
  // The worker ended without a notice (a sub-setup that could not start): the window
  // offers Install again, so show the Install button instead of the dead busy look.
  if (timerId == BLINK_TIMER_ID && busyLookShown && !finalNoticeSeen) {
    busyLookShown = 0;
    context.blinkCount = 0;
    HDC dc = GetDC(window);
    DrawActionButton(context, window, dc, 0);
    ReleaseDC(window, dc);
  }
}

}  // namespace

void PostWorkerNotice(const InstallerContext& context, long notice) {
  noticePending = 1;
  PostMessageA(context.hwnd, WM_COMMAND, CMD_WORKER_NOTICE, notice);
}

void FitClientArea(HWND window, int width, int height) {
  // The frame metrics do not always describe the real frame (Wine, newer Windows): measure
  // what the window got and correct by the difference. A second pass catches a frame that
  // changed with the size.
  for (int pass = 0; pass < 2; ++pass) {
    RECT client, outer;
    if (!GetClientRect(window, &client) || !GetWindowRect(window, &outer)) return;
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    if (clientWidth == width && clientHeight == height) return;
    int newWidth = 0, newHeight = 0;
    CorrectedWindowSize(outer.right - outer.left, outer.bottom - outer.top, clientWidth,
                        clientHeight, width, height, &newWidth, &newHeight);
    SetWindowPos(window, nullptr, 0, 0, newWidth, newHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int IsSameSetupProgram(const InstallerContext& context) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS &&
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
          ERROR_SUCCESS)
    return 1;
  // One byte beyond the 1,024 that are read, so a value stored without its zero still ends.
  char value[PATH_CAPACITY + 1];
  ZeroBytes(value, sizeof value);
  DWORD type = 0;
  DWORD size = PATH_CAPACITY;
  const LONG read = RegQueryValueExA(key, UNINSTALL_STRING_VALUE, nullptr, &type,
                                     reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ || !value[0]) return 1;
  value[size < PATH_CAPACITY ? size : PATH_CAPACITY] = '\0';
  // The entry names the copy, which has the edition's name when ours could not be carried.
  char own[PATH_CAPACITY];
  UninstallerCopyName(own, sizeof own, context.setupPath, context.setupPathReach,
                      ThisEdition().setupBaseName);
  return NamesSameSetupProgram(own, value);
}

void PressActionButton(InstallerContext& context, HWND window) {
  HDC dc = GetDC(window);
  DrawActionButton(context, window, dc, 1);
  ReleaseDC(window, dc);
  Sleep(PRESSED_PAUSE_MS);
  if (!context.productPresent) {
    context.blinkCount = 0;
    busyLookShown = 1;
    if (StartWorker(context, 0) == 0) return;
    if (!hiddenMode) MessageBoxA(window, LAUNCH_FAILURE_TEXT, INSTALL_ERROR_CAPTION, BOX_ERROR);
    PostDestroy();
    return;
  }
  UninstallProduct(context);
  if (!EndsThroughNoticeBox()) PostDestroy();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  InstallerContext& context = TheContext();
  switch (message) {
    case WM_CREATE: HandleCreate(context, window); return 0;
    case WM_DESTROY:
      if (context.blinkTimerId) KillTimer(window, context.blinkTimerId);
      context.blinkTimerId = 0;
      ReleaseWindowResources(context);
      PostQuitMessage(exitCode);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintMainWindow(context, window, dc);
      EndPaint(window, &paint);
      busyLookShown = 0;
      return 0;
    }
    case WM_CLOSE:
      if (AcceptsClose(context)) PostDestroy();
      return 0;
    case WM_ERASEBKGND:
      DrawBackground(reinterpret_cast<HDC>(wParam), 0, 0, context.backgroundBitmap);
      return 1;
    case WM_KEYDOWN:
      switch (DecideKey(context, static_cast<int>(wParam))) {
        case KEY_PRESS_BUTTON: PressActionButton(context, window); break;
        case KEY_POST_CLOSE: PostMessageA(window, WM_CLOSE, 0, 0); break;
        case KEY_NOTHING: break;
      }
      return 0;
    case WM_COMMAND: HandleCommand(context, window, wParam, lParam); return 0;
    case WM_TIMER: HandleTimer(context, window, wParam); return 0;
    case WM_MOUSEMOVE:
      if (ShowsHandCursor(context, MouseY(static_cast<uint32_t>(lParam))))
        SetCursor(context.handCursor);
      return 0;
    case WM_LBUTTONDOWN:
      switch (DecideClick(context, MouseX(static_cast<uint32_t>(lParam)),
                          MouseY(static_cast<uint32_t>(lParam)))) {
        case CLICK_PRESS_BUTTON: PressActionButton(context, window); break;
        case CLICK_OPEN_PICTURE_LINK: OpenLink(context, PICTURE_LINK, PICTURE_LINK_SIZE); break;
        case CLICK_NOTHING: break;
      }
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
