// The one worker thread, which runs the install procedure while the window blinks.
#pragma once

#include "ground/context.h"

#ifdef _WIN32
// Starts the worker. wait 1: returns the install procedure's result once the thread has
// ended; otherwise 0 at once. -1 (workerRunning back to 0) when no thread could be made.
int StartWorker(InstallerContext& context, int wait);
// The thread body: below-normal priority, its own COM, RunInstall; exit code 0.
DWORD WINAPI WorkerMain(LPVOID context);
#endif
