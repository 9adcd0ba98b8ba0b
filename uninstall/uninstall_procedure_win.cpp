#include "uninstall/uninstall_procedure.h"

#include "shell/context.h"

// Filled in with the removal procedure.
int UninstallProduct(InstallerContext&) { return 0; }
