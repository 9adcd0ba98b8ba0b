#include "install/catalogue_entry.h"

#include <cstring>

#include "install/little_endian.h"

void ReadCatalogueEntry(const uint8_t* catalogue, int index, CatalogueEntry& entry) {
  const uint8_t* p = catalogue + size_t(index) * CATALOGUE_ENTRY_SIZE;
  memcpy(entry.name, p, CATALOGUE_NAME_SIZE);
  entry.offset = LoadLe32(p + 128);
  entry.size = LoadLe32(p + 132);
  memcpy(entry.digest, p + 136, 16);
  entry.reserved = LoadLe32(p + 152);
}

void WriteCatalogueEntry(const CatalogueEntry& entry, uint8_t* out) {
  memcpy(out, entry.name, CATALOGUE_NAME_SIZE);
  StoreLe32(out + 128, entry.offset);
  StoreLe32(out + 132, entry.size);
  memcpy(out + 136, entry.digest, 16);
  StoreLe32(out + 152, entry.reserved);
}

int EntryInBounds(uint32_t offset, uint32_t size, uint64_t blobSize) {
  return uint64_t(offset) + uint64_t(size) <= blobSize;
}
