#include "install/payload_entry.h"

#include <cstring>

#include "ground/paths.h"
#include "install/payload_core.h"

int FindCatalogueEntry(const uint8_t* catalogue, int entryCount, const char* name,
                       CatalogueEntry& entry) {
  if (!catalogue || !name || !name[0]) return -1;
  for (int i = 0; i < entryCount && i < MAX_PAYLOAD_ENTRY_COUNT; ++i) {
    ReadCatalogueEntry(catalogue, i, entry);
    // A stored name that fills its whole field has no end: the extractor never writes it.
    if (strnlen(entry.name, CATALOGUE_NAME_SIZE) == CATALOGUE_NAME_SIZE) continue;
    if (EqualIgnoringAsciiCase(entry.name, name)) return i;
  }
  return -1;
}
