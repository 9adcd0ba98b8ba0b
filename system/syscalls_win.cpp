#include <objidl.h>
#include <windows.h>

#include "ground/capacities.h"
#include "ground/paths.h"
#include "system/ansi_paths.h"
#include "system/faults.h"
#include "system/syscalls.h"

namespace {

SysResult Failed() {
  return {0, GetLastError()};
}

// The failure that an injected fault stands for: the error left where the call leaves it.
SysResult Refused(unsigned long error) {
  SetLastError(error);
  return {0, error};
}

// The same for the registry, whose calls give their error as their result.
long RefusedStatus(unsigned long error) {
  SetLastError(error);
  return static_cast<long>(error);
}

SysResult Made(BOOL ok) {
  return ok ? SysResult{1, 0} : Failed();
}

// The LOAD_LIBRARY_SEARCH_* flags of LoadLibraryExA, known only where kernel32 offers
// SetDefaultDllDirectories (Windows 8, and 7 or Vista with its update); an older system
// rejects them.
constexpr DWORD SEARCH_DLL_LOAD_DIR = 0x00000100;
constexpr DWORD SEARCH_SYSTEM32 = 0x00000800;
constexpr DWORD ALTERED_SEARCH_PATH = 0x00000008;

int SearchFlagsKnown() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel && GetProcAddress(kernel, "SetDefaultDllDirectories") != nullptr;
}

}  // namespace

ProgramRun StartAndWait(const char* program, const char* commandLine, const char* folder,
                        unsigned long waitMs) {
  ProgramRun run = {0, 0, 0, -1, 0};
  char line[2 * PATH_CAPACITY + 64];
  if (!CopyText(line, sizeof line, commandLine ? commandLine : "")) {
    run.error = ERROR_INSUFFICIENT_BUFFER;
    return run;
  }
  STARTUPINFOA startup;
  ZeroBytes(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ZeroBytes(&process, sizeof process);
  if (InjectedFault fault = FaultFor(FAULT_PROGRAM_START, program); fault.error) {
    run.error = Refused(fault.error).error;
    return run;
  }
  if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      folder, &startup, &process)) {
    run.error = GetLastError();
    return run;
  }
  run.created = 1;
  if (process.hThread) CloseHandle(process.hThread);
  if (!process.hProcess) return run;
  run.started = 1;
  if (WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0) {
    run.finished = 1;
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process.hProcess, &exitCode))
      run.exitCode = static_cast<int32_t>(exitCode);
  }
  CloseHandle(process.hProcess);
  return run;
}

SysResult WalkFolder(const char* pattern, FolderVisitor visit, void* user) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return Failed();
  do {
    const char* name = found.cFileName;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    FolderEntry entry = {name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                         found.dwFileAttributes};
    if (!visit(user, entry)) break;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return {1, 0};
}

const uint8_t* LoadResourceBytes(HINSTANCE module, int id, const char* type, uint32_t* size) {
  *size = 0;
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!resource) return nullptr;
  HGLOBAL handle = LoadResource(module, resource);
  if (!handle) return nullptr;
  const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(handle));
  if (bytes) *size = SizeofResource(module, resource);
  return bytes;
}

SysResult WriteWholeBuffer(const char* path, const void* data, uint32_t size,
                           uint32_t* writtenOut) {
  if (writtenOut) *writtenOut = 0;
  const InjectedFault fault = FaultFor(FAULT_FILE_WRITE, path);
  if (fault.error && !fault.partial) return Refused(fault.error);
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed();
  DWORD written = 0;
  SysResult result = {1, 0};
  if (fault.error) {
    // A disk that fills up takes the first half of the bytes and refuses the rest.
    WriteFile(file, data, size / 2, &written, nullptr);
    result = Refused(fault.error);
  } else if (!WriteFile(file, data, size, &written, nullptr)) {
    result = Failed();
  } else if (written != size) {
    result = {0, ERROR_WRITE_FAULT};
  }
  if (writtenOut) *writtenOut = written;
  CloseHandle(file);
  // A file cut short (or left empty) is never kept: whoever starts it later would run part of
  // a program. The error stays that of the write.
  if (!result.ok) {
    DeleteFileA(path);
    SetLastError(result.error);
  }
  return result;
}

SysResult CopyOneFile(const char* from, const char* to, int failIfExists) {
  if (InjectedFault fault = FaultFor(FAULT_FILE_COPY, to); fault.error) return Refused(fault.error);
  return Made(CopyFileA(from, to, failIfExists ? TRUE : FALSE));
}

SysResult CopyOwnProgram(const char* to, int failIfExists) {
  if (InjectedFault fault = FaultFor(FAULT_FILE_COPY, to); fault.error) return Refused(fault.error);
  wchar_t own[PATH_CAPACITY], wideTo[PATH_CAPACITY];
  const DWORD n = GetModuleFileNameW(nullptr, own, PATH_CAPACITY);
  if (n == 0) return Refused(GetLastError());
  if (n >= PATH_CAPACITY) return Refused(ERROR_BUFFER_OVERFLOW);
  if (!AnsiToWide(to, wideTo, PATH_CAPACITY)) return Refused(ERROR_INVALID_NAME);
  return Made(CopyFileW(own, wideTo, failIfExists ? TRUE : FALSE));
}

SysResult DeleteOneFile(const char* path) {
  if (InjectedFault fault = FaultFor(FAULT_FILE_DELETE, path); fault.error)
    return Refused(fault.error);
  return Made(DeleteFileA(path));
}

SysResult MoveOneFile(const char* from, const char* to) {
  if (InjectedFault fault = FaultFor(FAULT_FILE_MOVE, from); fault.error)
    return Refused(fault.error);
  return Made(MoveFileA(from, to));
}

SysResult DeleteAtRestart(const char* path) {
  if (InjectedFault fault = FaultFor(FAULT_FILE_MOVE, path); fault.error)
    return Refused(fault.error);
  return Made(MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

SysResult SetAttributes(const char* path, unsigned long attributes) {
  if (InjectedFault fault = FaultFor(FAULT_FILE_ATTRIBUTES, path); fault.error)
    return Refused(fault.error);
  return Made(SetFileAttributesA(path, attributes));
}

SysResult MakeFolder(const char* path) {
  if (InjectedFault fault = FaultFor(FAULT_FOLDER_CREATE, path); fault.error)
    return Refused(fault.error);
  return Made(CreateDirectoryA(path, nullptr));
}

SysResult RemoveFolder(const char* path) {
  if (InjectedFault fault = FaultFor(FAULT_FOLDER_REMOVE, path); fault.error)
    return Refused(fault.error);
  return Made(RemoveDirectoryA(path));
}

void PauseOnPurpose(unsigned long ms) {
  if (const unsigned long length = PauseLength(ms)) Sleep(length);
}

long CreateRegistryKey(HKEY root, const char* subKey, HKEY* key) {
  if (InjectedFault fault = FaultFor(FAULT_REGISTRY_WRITE, subKey); fault.error)
    return RefusedStatus(fault.error);
  return RegCreateKeyA(root, subKey, key);
}

long SetRegistryValue(HKEY key, const char* valueName, unsigned long type, const void* data,
                      unsigned long size) {
  if (InjectedFault fault = FaultFor(FAULT_REGISTRY_WRITE, valueName); fault.error)
    return RefusedStatus(fault.error);
  return RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
}

long DeleteRegistryKey(HKEY root, const char* subKey) {
  if (InjectedFault fault = FaultFor(FAULT_REGISTRY_DELETE, subKey); fault.error)
    return RefusedStatus(fault.error);
  return RegDeleteKeyA(root, subKey);
}

namespace {

// A value's name as the fault points record it.
void NarrowName(const wchar_t* name, char* out, int capacity) {
  if (!name || !WideCharToMultiByte(CP_ACP, 0, name, -1, out, capacity, nullptr, nullptr))
    out[0] = '\0';
}

}  // namespace

long SetRegistryValueWide(HKEY key, const wchar_t* valueName, unsigned long type, const void* data,
                          unsigned long size) {
  char name[256];
  NarrowName(valueName, name, sizeof name);
  if (InjectedFault fault = FaultFor(FAULT_REGISTRY_WRITE, name); fault.error)
    return RefusedStatus(fault.error);
  return RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
}

long DeleteRegistryValueWide(HKEY key, const wchar_t* valueName) {
  char name[256];
  NarrowName(valueName, name, sizeof name);
  if (InjectedFault fault = FaultFor(FAULT_REGISTRY_DELETE, name); fault.error)
    return RefusedStatus(fault.error);
  return RegDeleteValueW(key, valueName);
}

long SaveShellLink(IPersistFile* file, const wchar_t* widePath, const char* path) {
  if (InjectedFault fault = FaultFor(FAULT_LINK_SAVE, path); fault.error) {
    SetLastError(fault.error);
    return HRESULT_FROM_WIN32(fault.error);
  }
  return file->Save(widePath, TRUE);
}

int UseSafeDllSearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return 0;
  typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
  typedef BOOL(WINAPI * SetDllDirectoryAFn)(LPCSTR);
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault && setDefault(SEARCH_SYSTEM32)) return 1;
  // XP SP1 and later: takes the current folder out of the search.
  auto setDllDirectory = reinterpret_cast<SetDllDirectoryAFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDllDirectory) setDllDirectory("");
  return 0;
}

HMODULE LoadSystemLibrary(const char* name) {
  if (SearchFlagsKnown()) return LoadLibraryExA(name, nullptr, SEARCH_SYSTEM32);
  char path[PATH_CAPACITY];
  UINT n = GetSystemDirectoryA(path, sizeof path);
  if (n == 0 || n >= sizeof path || !AppendText(path, sizeof path, "\\") ||
      !AppendText(path, sizeof path, name)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nullptr;
  }
  // Its own dependencies from System32 too, not from the program's folder.
  return LoadLibraryExA(path, nullptr, ALTERED_SEARCH_PATH);
}

HMODULE LoadModuleFromItsFolder(const char* path) {
  if (InjectedFault fault = FaultFor(FAULT_MODULE_LOAD, path); fault.error) {
    SetLastError(fault.error);
    return nullptr;
  }
  if (SearchFlagsKnown())
    return LoadLibraryExA(path, nullptr, SEARCH_DLL_LOAD_DIR | SEARCH_SYSTEM32);
  return LoadLibraryExA(path, nullptr, ALTERED_SEARCH_PATH);
}

namespace {

HANDLE OpenToRead(const char* path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Fills `buffer` unless the file ends first; the count read, or -1 on a read error.
long ReadUpTo(HANDLE file, uint8_t* buffer, DWORD capacity) {
  DWORD total = 0;
  while (total < capacity) {
    DWORD n = 0;
    if (!ReadFile(file, buffer + total, capacity - total, &n, nullptr)) return -1;
    if (n == 0) break;
    total += n;
  }
  return static_cast<long>(total);
}

}  // namespace

int SameFileContents(const char* a, const char* b) {
  HANDLE first = OpenToRead(a);
  if (first == INVALID_HANDLE_VALUE) return 0;
  HANDLE second = OpenToRead(b);
  if (second == INVALID_HANDLE_VALUE) {
    CloseHandle(first);
    return 0;
  }
  int same = 1;
  LARGE_INTEGER sizeA, sizeB;
  if (!GetFileSizeEx(first, &sizeA) || !GetFileSizeEx(second, &sizeB) ||
      sizeA.QuadPart != sizeB.QuadPart)
    same = 0;
  uint8_t chunkA[8192], chunkB[8192];
  while (same) {
    long n = ReadUpTo(first, chunkA, sizeof chunkA);
    long m = ReadUpTo(second, chunkB, sizeof chunkB);
    if (n < 0 || m != n || !BytesEqual(chunkA, chunkB, static_cast<size_t>(n)))
      same = 0;
    else if (n == 0)
      break;
  }
  CloseHandle(second);
  CloseHandle(first);
  return same;
}
