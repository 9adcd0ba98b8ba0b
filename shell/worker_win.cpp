#include <objbase.h>

#include "ground/results.h"
#include "procedures/install_procedure.h"
#include "shell/worker.h"

int StartWorker(InstallerContext& context, int wait) {
  // A worker that ended without a notice leaves its handle behind; a second install in the
  // same run starts afresh.
  if (context.workerThread) {
    WaitForSingleObject(context.workerThread, INFINITE);
    CloseHandle(context.workerThread);
    context.workerThread = nullptr;
  }
  context.workerResult = RESULT_REFUSED;
  context.workerRunning = 1;
  DWORD threadId = 0;
  context.workerThread = CreateThread(nullptr, 0, WorkerMain, &context, 0, &threadId);
  context.workerThreadId = threadId;
  if (!context.workerThread) {
    // Nothing will ever clear the flag otherwise, and the window would refuse to close.
    context.workerRunning = 0;
    return RESULT_REFUSED;
  }
  if (wait != 1) return 0;
  WaitForSingleObject(context.workerThread, INFINITE);
  CloseHandle(context.workerThread);
  context.workerThread = nullptr;
  return context.workerResult;
}

DWORD WINAPI WorkerMain(LPVOID parameter) {
  InstallerContext& context = *static_cast<InstallerContext*>(parameter);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  HRESULT com = CoInitialize(nullptr);
  context.workerResult = RunInstall(context);
  if (com == S_OK) CoUninitialize();
  context.workerRunning = 0;
  return 0;
}
