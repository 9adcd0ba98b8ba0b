// Is a device of the product's virtual audio drivers present? Decides Install or Remove.
#pragma once

struct InstallerContext;

// Sets and returns productPresent: 1 when any interface class of the edition has a present
// device interface.
int ProbeProductPresent(InstallerContext& context);
