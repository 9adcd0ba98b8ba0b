#include "system/presence.h"

#include "shell/context.h"

// Filled in with the presence probe.
int ProbeProductPresent(InstallerContext& context) {
  context.productPresent = 0;
  return 0;
}
