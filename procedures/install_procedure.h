// The installation, run on the worker thread.
#pragma once

struct InstallerContext;

// The whole installation; 0, -1, -3, -10, or a sub-setup's -20, -21, -604, -605.
int RunInstall(InstallerContext& context);
