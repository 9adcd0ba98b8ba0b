// The system layer: one thin wrapper per Win32 call that is easy to get wrong, each with its
// contract in one line. The components call these instead of repeating the pattern, so that
// a fault (a short write, an error code read too late, a handle left open) has one place.
#pragma once

#include <cstdint>

#include "ground/platform.h"

// The result of a call: ok (1 or 0) and GetLastError read once, at the failing call (0 when ok).
struct SysResult {
  int ok;
  unsigned long error;
};

#ifdef _WIN32
// No time limit for StartAndWait.
constexpr unsigned long WAIT_NO_LIMIT = 0xFFFFFFFFul;

struct ProgramRun {
  int created;          // 1 when CreateProcessA succeeded
  int started;          // 1 when it also gave back a process handle
  int finished;         // 1 when it ended within the limit (its exit code is then read)
  int32_t exitCode;     // the exit code read as signed; -1 when it could not be read
  unsigned long error;  // CreateProcessA's error when not created
};
// Starts `program` with a private copy of `commandLine` (CreateProcessA may write into it) in
// `folder` (null: this process's), closes its thread handle and waits at most `waitMs`; one
// that runs longer is left running.
ProgramRun StartAndWait(const char* program, const char* commandLine, const char* folder,
                        unsigned long waitMs);

struct FolderEntry {
  const char* name;
  int isFolder;
  int isLink;  // a reparse point (link or junction): never to be followed into
  unsigned long attributes;
};
// 1 to go on with the walk, 0 to stop it.
using FolderVisitor = int (*)(void* user, const FolderEntry& entry);
// Calls `visit` for every name that `pattern` ("<folder>\*", "<folder>\*.del") matches,
// skipping "." and ".."; not ok, with the error, when nothing could be listed.
SysResult WalkFolder(const char* pattern, FolderVisitor visit, void* user);

// The bytes of resource `id` of `type` in `module` and their count; null when there is none.
// Nothing is to be freed: resource memory lives as long as its module.
const uint8_t* LoadResourceBytes(HINSTANCE module, int id, const char* type, uint32_t* size);

// Creates or truncates the file and writes all `size` bytes; a short write is a failure (with
// the write's error, or ERROR_WRITE_FAULT when it gave none), after which the file is deleted
// again. `written` (when given) receives the count of bytes written.
SysResult WriteWholeBuffer(const char* path, const void* data, uint32_t size,
                           uint32_t* written = nullptr);

// The calls below are CopyFileA, DeleteFileA, MoveFileA, MoveFileExA (path, null,
// MOVEFILE_DELAY_UNTIL_REBOOT), SetFileAttributesA, CreateDirectoryA (no security attributes)
// and RemoveDirectoryA, each giving back the error read at the failing call.
SysResult CopyOneFile(const char* from, const char* to, int failIfExists);
// CopyFileW of the running program (its UTF-16 path, for a file that no 8-bit path can name).
SysResult CopyOwnProgram(const char* to, int failIfExists);
SysResult DeleteOneFile(const char* path);
SysResult MoveOneFile(const char* from, const char* to);
SysResult DeleteAtRestart(const char* path);
SysResult SetAttributes(const char* path, unsigned long attributes);
SysResult MakeFolder(const char* path);
SysResult RemoveFolder(const char* path);

// RegCreateKeyA, RegSetValueExA and RegDeleteKeyA: the registry's status (ERROR_SUCCESS, or the
// error, which is also left in GetLastError).
long CreateRegistryKey(HKEY root, const char* subKey, HKEY* key);
long SetRegistryValue(HKEY key, const char* valueName, unsigned long type, const void* data,
                      unsigned long size);
long DeleteRegistryKey(HKEY root, const char* subKey);
// RegSetValueExW and RegDeleteValueW, for values that hold other programs' paths unchanged.
long SetRegistryValueWide(HKEY key, const wchar_t* valueName, unsigned long type, const void* data,
                          unsigned long size);
long DeleteRegistryValueWide(HKEY key, const wchar_t* valueName);

// IPersistFile::Save (widePath, fRemember TRUE) of a shell link, `path` being the same path in
// ANSI: S_OK, or the failing result.
struct IPersistFile;
long SaveShellLink(IPersistFile* file, const wchar_t* widePath, const char* path);

// Sleeps for a pause the program makes on purpose (the settling time after a module's
// registration), as long as PauseLength says: `ms`, except in a test that shortened it.
void PauseOnPurpose(unsigned long ms);

// 1 when both paths name files of the same bytes (also when they are one file); 0 when
// either cannot be read (missing, a folder, held without read sharing) or they differ.
int SameFileContents(const char* a, const char* b);

// The program runs elevated from a folder full of other downloads: first thing at start, DLLs
// loaded by name come from System32 only (SetDefaultDllDirectories, bound at run time), or at
// least not from the current folder (SetDllDirectoryA("")) where that is missing. This also
// covers what the system's own DLLs load on our behalf (user32 loads uxtheme.dll for a window).
// 1 when the System32-only search is in force.
int UseSafeDllSearch();
// A system DLL ("SHELL32.DLL") from System32 and nowhere else, whatever lies beside the
// program or in the current folder; null when it cannot be loaded (the error is then set).
HMODULE LoadSystemLibrary(const char* name);
// A module of our own payload by its full path, its dependencies looked up in its own folder
// and System32, never in the installer's folder.
HMODULE LoadModuleFromItsFolder(const char* path);
#endif
