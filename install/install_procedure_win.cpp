#include "install/install_procedure.h"

#include "shell/context.h"

const char VENDOR_ADDRESS[] = "https://www.qx-audio.com/mixarro";

// Filled in with the install procedure.
int RunInstall(InstallerContext&) { return 0; }
