// The walk over the catalogue that extracts the payload: bounds, the one pass over each entry,
// the name and digest checks and the key chain, handing each entry to a sink; the extractor
// built on it, which writes through the platform's file operations; and the packer's
// scrambler, the walk's inverse.
#pragma once

#include <cstdint>

#include "install/catalogue_entry.h"
#include "install/payload.h"

// What the reader remembers about each entry it has descrambled in a blob, so that a second
// walk over the same memory neither scrambles plain bytes again nor loses the chain.
struct PayloadMemory {
  const uint8_t* blob;
  uint64_t blobSize;
  uint8_t plain[MAX_PAYLOAD_ENTRY_COUNT];
  uint8_t scrambledDigest[MAX_PAYLOAD_ENTRY_COUNT][16];  // D of the chain
  uint8_t leftDigest[MAX_PAYLOAD_ENTRY_COUNT][16];       // digest of the bytes as left
};

// Verdict on one entry as the walk hands it over.
enum EntryVerdict {
  ENTRY_VERIFIED = 0,
  ENTRY_OUT_OF_BOUNDS = 1,
  ENTRY_UNSAFE_NAME = 2,
  ENTRY_DIGEST_MISMATCH = 3,
};

// Called for every entry in catalogue order; for a verified entry `data` holds its plain
// bytes. Returns 1 when it dealt with the entry, 0 to count one failure (a failed write).
// Not-verified entries are counted by the walk itself; their result is ignored.
using PayloadEntrySink = int (*)(void* user, int index, const CatalogueEntry& entry,
                                 EntryVerdict verdict, const uint8_t* data);

// Walks `entryCount` entries of `catalogue` over the blob: bounds check, digest of the stored
// bytes, descramble in place, name check, digest check, sink, chain. `memory` (may be null)
// carries the state of earlier walks over the same blob. Returns the number of failures.
int WalkPayload(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                PayloadMemory* memory, PayloadEntrySink sink, void* user);

// Scrambles in place the data of every entry of a blob that the packer has laid out with
// plain bytes and plain digests. Entries must lie in bounds. Returns 1, or 0 when one does not.
int ScramblePayload(uint8_t* blob, uint64_t blobSize, int entryCount);

// The platform's file operations as the extractor needs them (WriteWholeFile and a
// CreateFolderPath whose result is ignored).
struct PayloadFileOps {
  int (*writeFile)(void* user, const char* path, const uint8_t* data, uint32_t size);
  int (*createFolderPath)(void* user, const char* path);
  void* user;
  // Told of every entry the extractor dealt with (may be null): its name (terminated), size,
  // why it did not verify (ENTRY_VERIFIED when it did) and whether it was written.
  void (*report)(void* user, const char* name, uint32_t size, EntryVerdict verdict, int written);
};

// The extractor over a blob already in memory: walks every entry (descrambling in place) and
// writes each verified entry that `onlyName` selects (all when null) to targetFolder\name,
// creating its sub-folder first. A target path that does not fit 1,024 bytes counts as a
// failure. Returns the number of failed entries.
int ExtractFromBlob(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                    PayloadMemory* memory, const char* targetFolder, const char* onlyName,
                    const PayloadFileOps& ops);
