// The payload reader's Win32 side: the resource of the module in the context, the writable
// blob, and the file and folder operations that the extractor and the removal share.
#include <windows.h>

#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/payload.h"
#include "install/payload_core.h"
#include "install/payload_log.h"
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

// How the last write ended, read at the write itself, for the report that follows.
EntryWrite lastWrite = {0, 0, 0};

int WriteForExtractor(void*, const char* path, const uint8_t* data, uint32_t size) {
  // A file of an earlier run that was made read-only (or hidden or system, which CREATE_ALWAYS
  // also refuses to replace) is ours to replace.
  const DWORD attributes = GetFileAttributesA(path);
  const DWORD refusing = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      (attributes & refusing)) {
    SysResult cleared = SetAttributes(path, (attributes & ~refusing) | FILE_ATTRIBUTE_NORMAL);
    LogAction("clear the read-only, hidden and system attributes of", path, cleared.ok,
              cleared.error);
  }
  uint32_t written = 0;
  SysResult result = WriteWholeBuffer(path, data, size, &written);
  // A write that ended early without an error of its own is told as a short write.
  const int shortWrite = !result.ok && result.error == ERROR_WRITE_FAULT && written < size;
  lastWrite = {1, written, shortWrite ? 0 : result.error};
  return result.ok;
}

void LogExtractedEntry(void*, const char* name, uint32_t size, EntryVerdict verdict, int written) {
  LogFormatted(FormatExtractedEntryLine, name, size, verdict, written, lastWrite);
  if (written) TallyWritten(TALLY_FILE);
  // The next entry's write (if any) sets it afresh; one whose path does not fit has none.
  lastWrite = {0, 0, 0};
}

int CreateFolderForExtractor(void*, const char* path) {
  return CreateFolderPath(path);
}

int MakeOneFolder(void*, const char* folder) {
  SysResult made = MakeFolder(folder);
  if (made.ok || made.error == ERROR_ALREADY_EXISTS) return 1;
  // The level that failed, for whichever caller (the program folder, a sub-folder of the
  // payload, a Start-menu folder) reports the failure after it.
  LogAction("create folder", folder, 0, made.error);
  SetLastError(made.error);
  return 0;
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
  UseEntryPass(ChooseEntryPass());
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
