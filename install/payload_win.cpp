// The payload reader's Win32 side: the resource of the module in the context, the writable
// blob, and the file and folder operations that the extractor and the removal share.
#include <windows.h>

#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/payload.h"
#include "install/payload_core.h"
#include "system/syscalls.h"

namespace {

// What earlier extractions in this process did to the blob (which entries are plain now).
PayloadMemory payloadMemory;

// The blob of the module's payload resource: its address and size.
struct LoadedPayload {
  uint8_t* bytes;
  uint32_t size;
};

// Finds the payload resource; 0 when there is none.
int FindPayload(HINSTANCE module, LoadedPayload& payload) {
  // The module's own handle, not null: null would mean the process's main program, which is
  // a different module when the payload is read from a loaded copy of the installer.
  payload.bytes = const_cast<uint8_t*>(
      LoadResourceBytes(module, PAYLOAD_RESOURCE_ID, RT_RCDATA, &payload.size));
  return payload.bytes != nullptr;
}

// Copies the catalogue when the blob holds data after it; 1 when copied.
int CopyCatalogue(InstallerContext& context, const LoadedPayload& payload) {
  const uint32_t catalogueSize = uint32_t(ThisEdition().catalogueSize);
  if (!payload.bytes || payload.size <= catalogueSize || catalogueSize > sizeof context.catalogue)
    return 0;
  CopyBytes(context.catalogue, payload.bytes, catalogueSize);
  return 1;
}

// The error of the last failed write, read at the write itself, for the report that follows.
unsigned long lastWriteError = 0;

int WriteForExtractor(void*, const char* path, const uint8_t* data, uint32_t size) {
  SysResult result = WriteWholeBuffer(path, data, size);
  lastWriteError = result.error;
  return result.ok;
}

void LogExtractedEntry(void*, const char* name, uint32_t size, int verified, int written) {
  LogFormatted(FormatPayloadEntryLine, name, size, verified, written, written ? 0 : lastWriteError);
  if (written) TallyWritten(TALLY_FILE);
}

int CreateFolderForExtractor(void*, const char* path) {
  return CreateFolderPath(path);
}

int MakeOneFolder(void*, const char* folder) {
  if (CreateDirectoryA(folder, nullptr)) return 1;
  return GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0;
}

}  // namespace

int LoadCatalogue(InstallerContext& context) {
  LoadedPayload payload;
  if (!FindPayload(context.hInstance, payload)) return -1;
  return CopyCatalogue(context, payload) ? 0 : -1;
}

int ExtractPayload(InstallerContext& context, const char* onlyName) {
  LoadedPayload payload;
  if (!FindPayload(context.hInstance, payload)) return -1;
  if (!CopyCatalogue(context, payload)) return -1;
  // Resource memory is read-only in a loaded image; copy-on-write pages let the blob be
  // descrambled where it lies while the file on disk stays as it is.
  DWORD oldProtection = 0;
  if (!VirtualProtect(payload.bytes, payload.size, PAGE_WRITECOPY, &oldProtection) &&
      !VirtualProtect(payload.bytes, payload.size, PAGE_READWRITE, &oldProtection))
    return -1;
  PayloadFileOps ops = {WriteForExtractor, CreateFolderForExtractor, nullptr, LogExtractedEntry};
  int failures = ExtractFromBlob(payload.bytes, payload.size, context.catalogue,
                                 ThisEdition().payloadEntryCount, &payloadMemory,
                                 context.targetFolder, onlyName, ops);
  DWORD ignored = 0;
  VirtualProtect(payload.bytes, payload.size, oldProtection, &ignored);
  return failures > 0 ? -100 - failures : 0;
}

int WriteWholeFile(const char* path, const void* data, uint32_t size) {
  return WriteWholeBuffer(path, data, size).ok;
}

int FileExists(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  CloseHandle(file);
  return 1;
}

int CreateFolderPath(const char* path) {
  return CreateFolderLevels(path, MakeOneFolder, nullptr);
}
