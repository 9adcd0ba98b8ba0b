#include "ground/context.h"

InstallerContext& TheContext() {
  static InstallerContext context;
  return context;
}
