// Registration of the ASIO driver modules: the 32-bit ones in process, the 64-bit ones
// through the registration program "qxregsvr64.exe" on 64-bit Windows.
#pragma once

#include <cstddef>

#include "drivers/texts.h"

struct InstallerContext;

// Registers (direction non-zero) or unregisters every module of the edition; returns 0.
int SetAsioRegistration(InstallerContext& context, int direction);
// 1 when the module's DllRegisterServer reported success.
int RegisterModuleInProcess(const char* modulePath);
// 1 when the module's DllUnregisterServer was called.
int UnregisterModuleInProcess(const char* modulePath);
// One run of the registration program for a 64-bit module, waited for at most 10 s.
void RunRegistrationProgram(InstallerContext& context, int direction, const char* module64);

// Portable parts.
constexpr unsigned REGISTRATION_WAIT_MS = 10000;
constexpr unsigned REGISTRATION_PAUSE_MS = 50;

// "<folder>[\]qxregsvr64.exe"; 1 when the whole path fit.
int BuildRegistrationProgramPath(char* out, size_t capacity, const char* folder);
// The registration program's whole command line: " -f<folder>[\]<module>" to register,
// " -u  -f<folder>[\]<module>" to unregister (direction 0); 1 when it fit.
int BuildRegistrationCommandLine(char* out, size_t capacity, const char* folder,
                                 const char* module64, int direction);
