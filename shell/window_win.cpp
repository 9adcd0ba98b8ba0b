#include "shell/window.h"

#include "shell/startup.h"

void PostWorkerNotice(const InstallerContext& context, long notice) {
  PostMessageA(context.hwnd, WM_COMMAND, CMD_WORKER_NOTICE, notice);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  InstallerContext& context = TheContext();
  switch (message) {
    case WM_CREATE:
      context.hwnd = window;
      return 0;
    case WM_CLOSE:
      if (!context.workerRunning) PostDestroy();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
