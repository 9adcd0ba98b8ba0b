#include "shell/context.h"

InstallerContext& TheContext() {
  static InstallerContext context;
  return context;
}
