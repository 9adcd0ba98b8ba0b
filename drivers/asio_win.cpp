#include <objbase.h>
#include <windows.h>

#include "drivers/asio.h"
#include "editions/edition.h"
#include "install/paths.h"
#include "shell/context.h"

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
  HMODULE module = LoadLibraryA(modulePath);
  if (!module) return 0;
  RegistrationEntry entry = FindEntry(module, "DllRegisterServer");
  if (!entry) {
    FreeLibrary(module);
    return 0;
  }
  if (entry() != S_OK) {
    CoFreeLibrary(module);
    return 0;
  }
  CoFreeLibrary(module);
  Sleep(REGISTRATION_PAUSE_MS);
  return 1;
}

int UnregisterModuleInProcess(const char* modulePath) {
  HMODULE module = LoadLibraryA(modulePath);
  if (!module) return 0;
  RegistrationEntry entry = FindEntry(module, "DllUnregisterServer");
  if (!entry) {
    CoFreeLibrary(module);
    return 0;
  }
  entry();
  CoFreeLibrary(module);
  Sleep(REGISTRATION_PAUSE_MS);
  return 1;
}

void RunRegistrationProgram(InstallerContext& context, int direction, const char* module64) {
  char program[PATH_CAPACITY];
  char commandLine[2 * PATH_CAPACITY];
  if (!BuildRegistrationProgramPath(program, sizeof program, context.targetFolder) ||
      !BuildRegistrationCommandLine(commandLine, sizeof commandLine, context.targetFolder, module64,
                                    direction))
    return;
  STARTUPINFOA startup;
  ZeroBytes(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ZeroBytes(&process, sizeof process);
  if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      nullptr, &startup, &process))
    return;
  if (process.hThread) CloseHandle(process.hThread);
  if (!process.hProcess) return;
  // One that takes longer is left running; the next module does not wait for it.
  WaitForSingleObject(process.hProcess, REGISTRATION_WAIT_MS);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
}
