// Is a device of the product's virtual audio drivers present? Decides Install or Remove.
#pragma once

struct InstallerContext;

// Sets and returns productPresent: 1 when any interface class of the edition has a present
// device interface.
int ProbeProductPresent(InstallerContext& context);

#ifdef _WIN32
#include "ground/platform.h"
// The first present device interface of the class, opened; null when none is enumerated.
HANDLE OpenFirstDeviceInterface(GUID interfaceClass);
#endif
