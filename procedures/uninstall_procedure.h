// The removal, run on the window thread.
#pragma once

struct InstallerContext;

// The whole removal; 0, -1, or a sub-setup's -20, -604, -605.
int UninstallProduct(InstallerContext& context);
