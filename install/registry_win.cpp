#include <windows.h>

#include <cstring>

#include "ground/capacities.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/registry.h"
#include "system/ansi_paths.h"
#include "system/syscalls.h"

namespace {

// Opens the sub-key, creating it when it is not there yet; null when neither works (the
// registry's error code is then in GetLastError).
HKEY OpenOrCreate(HKEY root, const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyA(root, subKey, &key) == ERROR_SUCCESS) return key;
  key = nullptr;
  LONG status = CreateRegistryKey(root, subKey, &key);
  if (status == ERROR_SUCCESS) return key;
  SetLastError(static_cast<DWORD>(status));
  return nullptr;
}

// Writes one REG_DWORD; 1 when written, else 0 with the error code in GetLastError.
int SetDword(HKEY root, const char* subKey, const char* valueName, unsigned value) {
  if (!subKey) return 0;
  HKEY key = OpenOrCreate(root, subKey);
  if (!key) return 0;
  DWORD data = value;
  LONG status = SetRegistryValue(key, valueName, REG_DWORD, &data, sizeof data);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}

}  // namespace

int SetMachineString(const char* subKey, const char* valueName, const char* text) {
  if (!subKey || !text) return 0;
  HKEY key = OpenOrCreate(HKEY_LOCAL_MACHINE, subKey);
  if (!key) return 0;
  // The stored length is that of the text alone, without its NUL.
  LONG status =
      SetRegistryValue(key, valueName, REG_SZ, text, static_cast<unsigned long>(strlen(text)));
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}

int SetMachineDword(const char* subKey, const char* valueName, unsigned value) {
  return SetDword(HKEY_LOCAL_MACHINE, subKey, valueName, value);
}

int SetUserDword(const char* subKey, const char* valueName, unsigned value) {
  return SetDword(HKEY_CURRENT_USER, subKey, valueName, value);
}

int ReadUserString(const char* subKey, const char* valueName, char* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = '\0';
  if (!subKey) return 0;
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, subKey, &key) != ERROR_SUCCESS) return 0;
  // One byte more than the size handed to the query, so that a full value stored without
  // its NUL still has room to be terminated.
  char buffer[USER_STRING_LIMIT + 1];
  buffer[0] = '\0';
  DWORD type = REG_SZ;
  DWORD size = USER_STRING_LIMIT;
  LONG status =
      RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ || size > USER_STRING_LIMIT) return 0;
  // A cut path would name some other folder: a text that does not fit is not read at all.
  if (TakeRegistryText(buffer, size, out, capacity)) return 1;
  out[0] = '\0';
  return 0;
}

int CountMachineValues(const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return 0;
  DWORD values = 0;
  LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                 nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? static_cast<int>(values) : 0;
}

int ReadUserProgramsFolder(char* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = '\0';
  // In UTF-16: the 8-bit query would give a look-alike of a folder that the code page cannot
  // name, and the shortcuts would go to another user's Start menu or to a folder made for them.
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, &key) != ERROR_SUCCESS) return 0;
  wchar_t wide[USER_STRING_LIMIT / 2 + 1];
  DWORD type = REG_SZ;
  DWORD size = USER_STRING_LIMIT;
  LONG status =
      RegQueryValueExW(key, L"Programs", nullptr, &type, reinterpret_cast<BYTE*>(wide), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ || size > USER_STRING_LIMIT) return 0;
  // A value stored without its terminator still ends; one that ends early is cut there.
  wide[size / sizeof(wchar_t)] = L'\0';
  if (ReachWidePathLogged(wide, out, capacity, "the current user's \"Programs\" folder",
                          "current user's shortcuts skipped") == PATH_REACH_NONE)
    return 0;
  if (IsFullPath(out)) return 1;
  char line[LOG_LINE_CAPACITY];
  CopyText(line, sizeof line, "current user's shortcuts skipped: the \"Programs\" folder \"");
  AppendText(line, sizeof line, out);
  AppendText(line, sizeof line, "\" is not a full path");
  LogLine(line);
  return 0;
}
