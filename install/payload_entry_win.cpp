#include <windows.h>

#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/payload.h"
#include "install/payload_core.h"
#include "install/payload_entry.h"

namespace {

// 1 when the file's bytes digest to `digest`.
int FileHasDigest(const char* path, const uint8_t digest[16]) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  Md5State md5;
  Md5Begin(md5);
  static uint8_t chunk[64 * 1024];
  DWORD got = 0;
  int ok = 1;
  for (;;) {
    if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
      ok = 0;
      break;
    }
    if (got == 0) break;
    Md5Add(md5, chunk, got);
  }
  CloseHandle(file);
  uint8_t read[16];
  Md5End(md5, read);
  return ok && BytesEqual(read, digest, 16);
}

}  // namespace

int ExtractPayloadEntry(InstallerContext& context, const char* name) {
  char path[PATH_CAPACITY];
  if (!JoinPath(path, sizeof path, context.targetFolder, name)) return 0;
  // The other edition's removal, or an earlier version of this one, may have taken the whole
  // program folder.
  CreateFolderPath(context.targetFolder);
  // Its result counts every entry's failure; only this entry's file matters here, and the
  // read-back below decides that.
  ExtractPayload(context, name);
  CatalogueEntry entry;
  const int index =
      FindCatalogueEntry(context.catalogue, ThisEdition().payloadEntryCount, name, entry);
  const int ok = index >= 0 && FileHasDigest(path, entry.digest);
  const DWORD error = ok ? 0 : GetLastError();
  LogAction("take from the payload", path, ok, error);
  return ok;
}
