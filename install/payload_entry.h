// One named entry of the payload, taken out alone: a removal that finds a driver package's
// sub-setup gone from the program folder takes that very program from its own payload.
#pragma once

#include <cstdint>

struct InstallerContext;
struct CatalogueEntry;

// The index of the catalogue entry whose name is `name` (ASCII case ignored, as Windows names
// compare), or -1 when there is none. Its record goes to `entry`.
int FindCatalogueEntry(const uint8_t* catalogue, int entryCount, const char* name,
                       CatalogueEntry& entry);

// Win32 side.
// Writes the payload entry `name` into targetFolder (made first when it is gone), verified as
// every payload file is, and reads the written file back against the catalogue's digest.
// 1 when the file is there with the right bytes, else 0. Other entries are walked for the key
// chain but not written, and their own failures do not count here.
int ExtractPayloadEntry(InstallerContext& context, const char* name);
