// The driver packages' own setup programs (sub-setups), started and waited for.
#pragma once

struct InstallerContext;

// Runs "<stem>_x64.exe" (64-bit Windows) or "<stem>.exe" with "-h -i -H -n" in the program
// folder: 0, -20 (failed), -21 (restart needed), -604 or -605 (cannot be started).
int InstallDriverPackage(InstallerContext& context, const char* stem);
// Runs it with "-h -u -H": 0 (also when the program is missing), -20, -604 or -605.
int UninstallDriverPackage(InstallerContext& context, const char* stem);
