#include <windows.h>

#include "drivers/subsetup.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/payload.h"
#include "install/payload_entry.h"
#include "system/syscalls.h"

namespace {

// Starts the sub-setup with the given switches as its whole command line, in the program
// folder exactly as stored, and waits for it without a time limit; 0, -20, -21, -604, -605.
int RunSubSetup(InstallerContext& context, const char* program, int installing) {
  const char* commandLine = installing ? SUBSETUP_INSTALL_COMMAND : SUBSETUP_REMOVE_COMMAND;
  ProgramRun run = StartAndWait(program, commandLine, context.targetFolder, WAIT_NO_LIMIT);
  if (!run.started) {
    LogFormatted(FormatProgramRunLine, "sub-setup", program, commandLine, context.targetFolder, 0,
                 0, run.error);
    return run.created ? SUBSETUP_NO_PROCESS : SUBSETUP_NOT_STARTED;
  }
  LogFormatted(FormatProgramRunLine, "sub-setup", program, commandLine, context.targetFolder, 1,
               run.exitCode, 0);

  int result = SubSetupResult(installing, run.exitCode);
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
  // A sub-setup gone from the program folder does not mean that its driver is gone: the other
  // edition's removal, or an earlier version of this program, deletes the folder and can leave
  // a package behind whose devices still make this program offer Remove. The payload carries
  // that very program; without it the package's removal cannot run, and that is a failure.
  if (!FileExists(program)) {
    LogAction("sub-setup not in the program folder, taken from the payload:", program, 1, 0);
    char name[PATH_CAPACITY];
    CopyText(name, sizeof name, program);
    KeepFileName(name);
    if (!ExtractPayloadEntry(context, name)) {
      LogFormatted(FormatFailureLine, name,
                   "the sub-setup is missing and cannot be taken from the payload");
      return SUBSETUP_NOT_STARTED;
    }
  }
  return RunSubSetup(context, program, 0);
}
