// The catalogue record: 156 bytes per entry at the start of the blob, and the bounds rule for
// the data range it names.
#pragma once

#include <cstdint>

#include "install/payload.h"

// One catalogue record as it lies in the blob (integers little-endian there).
struct CatalogueEntry {
  char name[CATALOGUE_NAME_SIZE];
  uint32_t offset;
  uint32_t size;
  uint8_t digest[16];
  uint32_t reserved;
};

// Reads record `index` of `catalogue` (156 bytes each).
void ReadCatalogueEntry(const uint8_t* catalogue, int index, CatalogueEntry& entry);
// Writes `entry` as 156 bytes at `out`, little-endian.
void WriteCatalogueEntry(const CatalogueEntry& entry, uint8_t* out);

// 1 when `offset` + `size` lies within a blob of `blobSize` bytes (no 32-bit wrap-around).
int EntryInBounds(uint32_t offset, uint32_t size, uint64_t blobSize);
