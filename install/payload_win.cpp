// The payload reader's Win32 side: the resource of the module in the context, the writable
// blob, and the file and folder operations that the extractor and the removal share.
#include <windows.h>

#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/payload.h"
#include "install/payload_core.h"

namespace {

// What earlier extractions in this process did to the blob (which entries are plain now).
PayloadMemory payloadMemory;

// The blob of the module's payload resource: its address and size, and the handle to free.
struct LoadedPayload {
  HGLOBAL handle;
  uint8_t* bytes;
  DWORD size;
};

// Finds and loads the payload resource; 0 when it is absent, 1 when found (handle may be null).
int FindPayload(HINSTANCE module, LoadedPayload& payload) {
  payload = {nullptr, nullptr, 0};
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(PAYLOAD_RESOURCE_ID), RT_RCDATA);
  if (!resource) return 0;
  // The module's own handle, not null: null would mean the process's main program, which is
  // a different module when the payload is read from a loaded copy of the installer.
  payload.handle = LoadResource(module, resource);
  if (payload.handle) {
    payload.bytes = static_cast<uint8_t*>(LockResource(payload.handle));
    payload.size = SizeofResource(module, resource);
  }
  return 1;
}

// Copies the catalogue when the blob holds data after it; 1 when copied.
int CopyCatalogue(InstallerContext& context, const LoadedPayload& payload) {
  const uint32_t catalogueSize = uint32_t(ThisEdition().catalogueSize);
  if (!payload.bytes || payload.size <= catalogueSize || catalogueSize > sizeof context.catalogue)
    return 0;
  CopyBytes(context.catalogue, payload.bytes, catalogueSize);
  return 1;
}

int WriteForExtractor(void*, const char* path, const uint8_t* data, uint32_t size) {
  return WriteWholeFile(path, data, size);
}

void LogExtractedEntry(void*, const char* name, uint32_t size, int verified, int written) {
  LogPayloadEntry(name, size, verified, written, written ? 0 : GetLastError());
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
  int copied = CopyCatalogue(context, payload);
  FreeResource(payload.handle);
  return copied ? 0 : -1;
}

int ExtractPayload(InstallerContext& context, const char* onlyName) {
  LoadedPayload payload;
  if (!FindPayload(context.hInstance, payload)) return -1;
  if (!CopyCatalogue(context, payload)) {
    FreeResource(payload.handle);
    return -1;
  }
  // Resource memory is read-only in a loaded image; copy-on-write pages let the blob be
  // descrambled where it lies while the file on disk stays as it is.
  DWORD oldProtection = 0;
  if (!VirtualProtect(payload.bytes, payload.size, PAGE_WRITECOPY, &oldProtection) &&
      !VirtualProtect(payload.bytes, payload.size, PAGE_READWRITE, &oldProtection)) {
    FreeResource(payload.handle);
    return -1;
  }
  PayloadFileOps ops = {WriteForExtractor, CreateFolderForExtractor, nullptr, LogExtractedEntry};
  int failures = ExtractFromBlob(payload.bytes, payload.size, context.catalogue,
                                 ThisEdition().payloadEntryCount, &payloadMemory,
                                 context.targetFolder, onlyName, ops);
  DWORD ignored = 0;
  VirtualProtect(payload.bytes, payload.size, oldProtection, &ignored);
  FreeResource(payload.handle);
  return failures > 0 ? -100 - failures : 0;
}

int WriteWholeFile(const char* path, const void* data, uint32_t size) {
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD written = 0;
  BOOL ok = WriteFile(file, data, size, &written, nullptr);
  CloseHandle(file);
  return ok && written == size;
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
