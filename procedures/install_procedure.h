// The installation, run on the worker thread.
#pragma once

struct InstallerContext;

// The vendor's address that ends the error texts.
extern const char VENDOR_ADDRESS[];
// The program folder below Program Files, and the Start-menu group below each Programs folder.
extern const char PROGRAM_SUBFOLDER[];
extern const char START_MENU_SUBFOLDER[];

// The whole installation; 0, -1, -3, -10, or a sub-setup's -20, -21, -604, -605.
int RunInstall(InstallerContext& context);
