#include "install/payload_walk.h"

#include <cstring>

#include "ground/paths.h"
#include "install/entry_pass.h"
#include "install/keystreams.h"
#include "install/name_rules.h"

int WalkPayload(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                PayloadMemory* memory, PayloadEntrySink sink, void* user) {
  if (memory && (memory->blob != blob || memory->blobSize != blobSize)) {
    ZeroBytes(memory, sizeof *memory);
    memory->blob = blob;
    memory->blobSize = blobSize;
  }
  PayloadKey key;
  StartKeyChain(key);
  int failures = 0;
  for (int i = 0; i < entryCount && i < MAX_PAYLOAD_ENTRY_COUNT; ++i) {
    CatalogueEntry entry;
    ReadCatalogueEntry(catalogue, i, entry);
    if (!EntryInBounds(entry.offset, entry.size, blobSize)) {
      ++failures;
      if (sink) sink(user, i, entry, ENTRY_OUT_OF_BOUNDS, nullptr);
      continue;
    }
    uint8_t* data = blob + entry.offset;
    uint8_t scrambled[16], plain[16];
    CurrentEntryPass()(data, entry.size, key.seed, key.keyTable, scrambled, plain);
    if (memory && memory->plain[i] && BytesEqual(scrambled, memory->leftDigest[i], 16)) {
      // Descrambled by an earlier walk and untouched since: the pass has just scrambled the
      // plain bytes, so the keystream (its own inverse) puts them back, and the chain's digest
      // is the remembered one. Only a second extraction in one process gets here.
      DescrambleEntry(data, data, entry.size, key.seed, key.keyTable);
      CopyBytes(plain, scrambled, 16);
      CopyBytes(scrambled, memory->scrambledDigest[i], 16);
    } else {
      if (memory) {
        memory->plain[i] = 1;
        CopyBytes(memory->scrambledDigest[i], scrambled, 16);
        CopyBytes(memory->leftDigest[i], plain, 16);
      }
    }
    EntryVerdict verdict = ENTRY_VERIFIED;
    if (!EntryNameIsSafe(entry.name))
      verdict = ENTRY_UNSAFE_NAME;
    else if (!BytesEqual(plain, entry.digest, 16))
      verdict = ENTRY_DIGEST_MISMATCH;
    if (verdict != ENTRY_VERIFIED) {
      ++failures;
      if (sink) sink(user, i, entry, verdict, nullptr);
    } else if (sink && !sink(user, i, entry, verdict, data)) {
      ++failures;
    }
    AdvanceKeyChain(key, scrambled);
  }
  return failures;
}

int ScramblePayload(uint8_t* blob, uint64_t blobSize, int entryCount) {
  PayloadKey key;
  StartKeyChain(key);
  for (int i = 0; i < entryCount; ++i) {
    CatalogueEntry entry;
    ReadCatalogueEntry(blob, i, entry);
    if (!EntryInBounds(entry.offset, entry.size, blobSize)) return 0;
    uint8_t* data = blob + entry.offset;
    uint8_t scrambled[16];
    DescrambleAndDigest(data, entry.size, key.seed, key.keyTable, scrambled);
    AdvanceKeyChain(key, scrambled);
  }
  return 1;
}

namespace {

struct ExtractJob {
  const char* targetFolder;
  const char* onlyName;
  const PayloadFileOps* ops;
};

void ReportEntry(const ExtractJob& job, const CatalogueEntry& entry, EntryVerdict verdict,
                 int written) {
  if (!job.ops->report) return;
  // The stored name need not be terminated within its 128 bytes.
  char name[CATALOGUE_NAME_SIZE + 1];
  memcpy(name, entry.name, CATALOGUE_NAME_SIZE);
  name[CATALOGUE_NAME_SIZE] = '\0';
  job.ops->report(job.ops->user, name, entry.size, verdict, written);
}

// Writes one verified entry when it is selected; 0 counts a failure.
int WriteSelectedEntry(void* user, int, const CatalogueEntry& entry, EntryVerdict verdict,
                       const uint8_t* data) {
  const ExtractJob& job = *static_cast<const ExtractJob*>(user);
  if (verdict != ENTRY_VERIFIED) {
    ReportEntry(job, entry, verdict, 0);
    return 0;
  }
  if (job.onlyName && strncmp(job.onlyName, entry.name, CATALOGUE_NAME_SIZE) != 0) return 1;
  char path[1024];
  int written = JoinPath(path, sizeof path, job.targetFolder, entry.name);
  if (written) {
    char folder[1024];
    CopyText(folder, sizeof folder, path);
    CutAtLastBackslash(folder);
    if (strcmp(folder, job.targetFolder) != 0) job.ops->createFolderPath(job.ops->user, folder);
    written = job.ops->writeFile(job.ops->user, path, data, entry.size);
  }
  ReportEntry(job, entry, ENTRY_VERIFIED, written);
  return written;
}

}  // namespace

int ExtractFromBlob(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                    PayloadMemory* memory, const char* targetFolder, const char* onlyName,
                    const PayloadFileOps& ops) {
  ExtractJob job = {targetFolder ? targetFolder : "", onlyName, &ops};
  return WalkPayload(blob, blobSize, catalogue, entryCount, memory, WriteSelectedEntry, &job);
}
