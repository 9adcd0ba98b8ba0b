// The payload's portable core, shared by the installer, the packing tool and the fuzzers:
// MD5, the catalogue record, the key chain, the name safety rules, the verifying walk (with
// its memory of earlier walks over the same blob), the packer's scrambler, folder creation
// level by level and the extractor. All of it works on a blob in memory and reaches files
// only through the callbacks it is given; the Win32 side (payload_win.cpp) finds the blob in
// the program's resource, copies the catalogue into the context, makes the blob's pages
// writable and supplies the file operations.
#pragma once

#include <cstddef>
#include <cstdint>

#include "editions/edition.h"
#include "install/payload.h"

// One catalogue record as it lies in the blob (integers little-endian there).
struct CatalogueEntry {
  char name[CATALOGUE_NAME_SIZE];
  uint32_t offset;
  uint32_t size;
  uint8_t digest[16];
  uint32_t reserved;
};

// Incremental MD5, for callers that feed the bytes in pieces.
struct Md5State {
  uint32_t state[4];
  uint64_t length;
  uint8_t buffer[64];
};
void Md5Begin(Md5State& md5);
void Md5Add(Md5State& md5, const void* data, size_t length);
void Md5End(Md5State& md5, uint8_t out[16]);

// Md5Digest of the bytes as they lie, DescrambleEntry in place and Md5Digest of the result,
// in one pass over the bytes.
void DigestDescrambleDigest(uint8_t* data, uint32_t count, uint32_t seed,
                            const uint8_t keyTable[16], uint8_t scrambledDigest[16],
                            uint8_t plainDigest[16]);
// DescrambleEntry in place followed by Md5Digest of the result, in one pass over the bytes.
void DescrambleAndDigest(uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
                         uint8_t plainDigest[16]);

// Reads record `index` of `catalogue` (156 bytes each).
void ReadCatalogueEntry(const uint8_t* catalogue, int index, CatalogueEntry& entry);
// Writes `entry` as 156 bytes at `out`, little-endian.
void WriteCatalogueEntry(const CatalogueEntry& entry, uint8_t* out);

// The running key of the chain: the seed and table that key the next entry.
struct PayloadKey {
  uint32_t seed;
  uint8_t keyTable[16];
};
// The key of entry 0.
void StartKeyChain(PayloadKey& key);
// Moves the key on past an entry whose scrambled bytes digest to `scrambledDigest`.
void AdvanceKeyChain(PayloadKey& key, const uint8_t scrambledDigest[16]);

// 1 when `offset` + `size` lies within a blob of `blobSize` bytes (no 32-bit wrap-around).
int EntryInBounds(uint32_t offset, uint32_t size, uint64_t blobSize);
// 1 when the 128-byte name field holds a name that may be used below the program folder:
// terminated within the field, not empty, not absolute, no colon, no ".." component.
int EntryNameIsSafe(const char name[CATALOGUE_NAME_SIZE]);
// The same rule for a terminated name: relative, no colon, no empty component, no component
// made of dots and blanks only.
int CatalogueNameIsSafe(const char* name);

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

// Creates every missing level of `path` below its root (drive, or \\server\share) through
// `makeFolder`, which returns 1 when the level exists afterwards. 1 on success, 0 when the
// path is null, shorter than 5 characters, longer than 1,023, or a level fails.
using MakeFolderFn = int (*)(void* user, const char* folder);
int CreateFolderLevels(const char* path, MakeFolderFn makeFolder, void* user);

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

// How a write of an entry ended, for its log line.
struct EntryWrite {
  int attempted;        // 0: its path did not fit, nothing was written
  uint32_t written;     // bytes written before the write ended
  unsigned long error;  // the Windows error of the failing call; 0 when none was read
};
// The log line of one entry: "file <name> (<size> bytes): " and what came of it, a distinct
// text for each reason it failed (out of the payload's bounds, an unsafe name, a digest
// mismatch: "FAILED verification", a path too long, a short write, a Windows error).
// 1 when the whole line fit.
int FormatExtractedEntryLine(char* out, size_t capacity, const char* name, uint32_t size,
                             EntryVerdict verdict, int written, const EntryWrite& write);

// The extractor over a blob already in memory: walks every entry (descrambling in place) and
// writes each verified entry that `onlyName` selects (all when null) to targetFolder\name,
// creating its sub-folder first. A target path that does not fit 1,024 bytes counts as a
// failure. Returns the number of failed entries.
int ExtractFromBlob(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                    PayloadMemory* memory, const char* targetFolder, const char* onlyName,
                    const PayloadFileOps& ops);
