// The main window: its message handler and the notices that procedures post to it.
#pragma once

#include "ground/context.h"

constexpr unsigned CMD_WORKER_NOTICE = 180;
constexpr unsigned CMD_SWITCH_RUN = 165;
constexpr long SWITCH_RUN_TAG = 101;
constexpr unsigned CMD_FOREIGN_SETUP = 1492;
constexpr unsigned BLINK_TIMER_ID = 12347;

#ifdef _WIN32
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Posts CMD_WORKER_NOTICE with the given notice to the main window.
void PostWorkerNotice(const InstallerContext& context, long notice);
#endif
