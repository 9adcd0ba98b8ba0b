// The packing tool's logic: builds an edition's payload blob from a folder of product files
// and lists, verifies or extracts a blob. Messages go to the given streams.
#pragma once

#include <cstdio>

// Packs `names` (catalogue order; backslashes are sub-folders of `fromDir`) into the blob
// file `outPath`, written through a temporary file and renamed, so that a failed run leaves
// no output. 0 on success, 1 on bad input (each problem reported on `err`).
int PackFolder(const char* const* names, int count, const char* fromDir, const char* outPath,
               FILE* err);

// What to do with each entry of a blob.
enum BlobAction { BLOB_LIST, BLOB_VERIFY, BLOB_EXTRACT };

// Walks the blob file `blobPath` as a reader of `entryCount` entries would. BLOB_LIST prints
// every entry, BLOB_EXTRACT writes every verified file below `toDir`. Failed entries are named
// on `err`. 0 when every entry verified (and was written), else 1.
int ProcessBlob(BlobAction action, int entryCount, const char* blobPath, const char* toDir,
                FILE* out, FILE* err);

// The command line: pack|list|verify|extract. Returns the exit code.
int RunPackTool(int argc, const char* const* argv, FILE* out, FILE* err);
