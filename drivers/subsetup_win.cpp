#include <windows.h>

#include "drivers/subsetup.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/payload.h"

namespace {

// Starts the sub-setup with the given switches as its whole command line, in the program
// folder exactly as stored, and waits for it without a time limit; 0, -20, -21, -604, -605.
int RunSubSetup(InstallerContext& context, const char* program, int installing) {
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  char commandLine[32];
  CopyText(commandLine, sizeof commandLine,
           installing ? SUBSETUP_INSTALL_COMMAND : SUBSETUP_REMOVE_COMMAND);
  STARTUPINFOA startup;
  ZeroBytes(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ZeroBytes(&process, sizeof process);
  DWORD exitCode = static_cast<DWORD>(-1);
  if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      context.targetFolder, &startup, &process)) {
    LogProgramRun("sub-setup", program, commandLine, context.targetFolder, 0, 0, GetLastError());
    return SUBSETUP_NOT_STARTED;
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (!process.hProcess) {
    LogProgramRun("sub-setup", program, commandLine, context.targetFolder, 0, 0, 0);
    return SUBSETUP_NO_PROCESS;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  if (!GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = static_cast<DWORD>(-1);
  CloseHandle(process.hProcess);
  LogProgramRun("sub-setup", program, commandLine, context.targetFolder, 1,
                static_cast<int32_t>(exitCode), 0);

  int result = SubSetupResult(installing, static_cast<int32_t>(exitCode));
  if (const char* text = SubSetupErrorText(installing, result)) {
    CopyText(context.errorText, sizeof context.errorText, text);
    PostNotice(context, NOTICE_ERROR);
  }
  return result;
}

}  // namespace

int InstallDriverPackage(InstallerContext& context, const char* stem) {
  char program[PATH_CAPACITY];
  if (!BuildSubSetupPath(program, sizeof program, context.targetFolder, stem, context.isWindows64))
    return SUBSETUP_NOT_STARTED;
  return RunSubSetup(context, program, 1);
}

int UninstallDriverPackage(InstallerContext& context, const char* stem) {
  char program[PATH_CAPACITY];
  if (!BuildSubSetupPath(program, sizeof program, context.targetFolder, stem, context.isWindows64))
    return 0;
  // A package whose sub-setup is not there has nothing to remove.
  if (!FileExists(program)) {
    LogAction("sub-setup not present, nothing to remove:", program, 1, 0);
    return 0;
  }
  return RunSubSetup(context, program, 0);
}
