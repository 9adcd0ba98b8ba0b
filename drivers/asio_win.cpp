#include <objbase.h>
#include <windows.h>

#include "drivers/asio.h"
#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "system/syscalls.h"

namespace {

using RegistrationEntry = HRESULT(__stdcall*)();

RegistrationEntry FindEntry(HMODULE module, const char* name) {
  return reinterpret_cast<RegistrationEntry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

int SetAsioRegistration(InstallerContext& context, int direction) {
  const EditionConfig& edition = ThisEdition();
  for (int i = 0; i < edition.asioModuleCount; ++i) {
    char path[PATH_CAPACITY];
    if (!JoinPath(path, sizeof path, context.targetFolder, edition.asioModules[i].module32))
      continue;
    if (direction)
      RegisterModuleInProcess(path);
    else
      UnregisterModuleInProcess(path);
  }
  if (context.isWindows64 == 1)
    for (int i = 0; i < edition.asioModuleCount; ++i)
      RunRegistrationProgram(context, direction, edition.asioModules[i].module64);
  return 0;
}

int RegisterModuleInProcess(const char* modulePath) {
  HMODULE module = LoadModuleFromItsFolder(modulePath);
  if (!module) {
    LogAction("load module", modulePath, 0, GetLastError());
    return 0;
  }
  RegistrationEntry entry = FindEntry(module, REGISTER_ENTRY);
  if (!entry) {
    LogAction("find DllRegisterServer in", modulePath, 0, GetLastError());
    FreeLibrary(module);
    return 0;
  }
  HRESULT result = entry();
  LogFormatted(FormatModuleLine, REGISTER_ENTRY, modulePath, result == S_OK, result);
  if (result == S_OK) TallyWritten(TALLY_MODULE);
  if (result != S_OK) {
    CoFreeLibrary(module);
    return 0;
  }
  CoFreeLibrary(module);
  PauseOnPurpose(REGISTRATION_PAUSE_MS);
  return 1;
}

int UnregisterModuleInProcess(const char* modulePath) {
  HMODULE module = LoadModuleFromItsFolder(modulePath);
  if (!module) {
    LogAction("load module", modulePath, 0, GetLastError());
    return 0;
  }
  RegistrationEntry entry = FindEntry(module, UNREGISTER_ENTRY);
  if (!entry) {
    LogAction("find DllUnregisterServer in", modulePath, 0, GetLastError());
    CoFreeLibrary(module);
    return 0;
  }
  HRESULT result = entry();
  LogFormatted(FormatModuleLine, UNREGISTER_ENTRY, modulePath, result == S_OK, result);
  if (result == S_OK) TallyRemoved(TALLY_MODULE);
  CoFreeLibrary(module);
  PauseOnPurpose(REGISTRATION_PAUSE_MS);
  return 1;
}

void RunRegistrationProgram(InstallerContext& context, int direction, const char* module64) {
  char program[PATH_CAPACITY];
  char commandLine[2 * PATH_CAPACITY];
  if (!BuildRegistrationProgramPath(program, sizeof program, context.targetFolder) ||
      !BuildRegistrationCommandLine(commandLine, sizeof commandLine, context.targetFolder, module64,
                                    direction))
    return;
  // One that takes longer is left running; the next module does not wait for it.
  ProgramRun run = StartAndWait(program, commandLine, nullptr, REGISTRATION_WAIT_MS);
  if (!run.started)
    LogFormatted(FormatProgramRunLine, "registration program", program, commandLine, nullptr, 0, 0,
                 run.error);
  else if (!run.finished)
    LogAction("registration program still running after 10 s, left running:", commandLine, 1, 0);
  else
    LogFormatted(FormatProgramRunLine, "registration program", program, commandLine, nullptr, 1,
                 run.exitCode, 0);
  if (run.finished && run.exitCode == 0) {
    if (direction)
      TallyWritten(TALLY_MODULE);
    else
      TallyRemoved(TALLY_MODULE);
  }
}
