// The driver packages' own setup programs (sub-setups), started and waited for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "drivers/texts.h"
#include "ground/results.h"

struct InstallerContext;

// Runs "<stem>_x64.exe" (64-bit Windows) or "<stem>.exe" with "-h -i -H -n" in the program
// folder: 0, -20 (failed), -21 (restart needed), -604 or -605 (cannot be started).
int InstallDriverPackage(InstallerContext& context, const char* stem);
// Runs it with "-h -u -H": 0, -20, -604 or -605. A program missing from the program folder is
// first taken from the payload; -605 when that fails.
int UninstallDriverPackage(InstallerContext& context, const char* stem);

// Portable parts.
constexpr int SUBSETUP_FAILED = RESULT_SUBSETUP_FAILED;
constexpr int SUBSETUP_RESTART_NEEDED = RESULT_SUBSETUP_RESTART_NEEDED;
constexpr int SUBSETUP_NO_PROCESS = RESULT_SUBSETUP_NO_PROCESS;
constexpr int SUBSETUP_NOT_STARTED = RESULT_SUBSETUP_NOT_STARTED;

// "<folder>[\]<stem>_x64.exe" when isWindows64 is 1, else "<folder>[\]<stem>.exe";
// 1 when the whole path fit.
int BuildSubSetupPath(char* out, size_t capacity, const char* folder, const char* stem,
                      int isWindows64);
// The result of a sub-setup that ended with `exitCode`: 0, SUBSETUP_FAILED or (installing
// only) SUBSETUP_RESTART_NEEDED.
int SubSetupResult(int installing, int32_t exitCode);
// The error text that goes with a result, or null when the result posts no notice.
const char* SubSetupErrorText(int installing, int result);
