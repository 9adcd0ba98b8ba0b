#include <windows.h>

#include <cstdio>

#include "ground/run_log.h"
#include "system/syscalls.h"
#include "uninstall/pending_renames.h"

namespace {

const wchar_t SESSION_MANAGER_KEY[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t PENDING_VALUE[] = L"PendingFileRenameOperations";
// Larger lists are left alone: this program never rewrites what it could not read whole.
constexpr size_t PENDING_CAPACITY = 32768;

}  // namespace

int ForgetPendingDeletionsBelow(const char* folder) {
  if (!folder || folder[0] == '\0') return 0;
  wchar_t wideFolder[1024];
  if (!MultiByteToWideChar(CP_ACP, 0, folder, -1, wideFolder, 1024)) return -1;
  HKEY key = nullptr;
  LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
  if (status != ERROR_SUCCESS) {
    LogAction("read the operations pending at the next restart", folder, 0,
              static_cast<unsigned long>(status));
    return -1;
  }
  // The wide calls: the value holds other programs' paths, which must go back unchanged.
  static_assert(sizeof(wchar_t) == sizeof(uint16_t), "the value is read as UTF-16");
  uint16_t value[PENDING_CAPACITY];
  uint16_t kept[PENDING_CAPACITY];
  DWORD type = 0;
  DWORD size = sizeof value;
  status =
      RegQueryValueExW(key, PENDING_VALUE, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  int result = 0;
  if (status == ERROR_FILE_NOT_FOUND) {
    result = 0;
  } else if (status != ERROR_SUCCESS || type != REG_MULTI_SZ || size % 2 != 0) {
    LogAction("read the operations pending at the next restart", folder, 0,
              status != ERROR_SUCCESS ? static_cast<unsigned long>(status) : ERROR_INVALID_DATA);
    result = -1;
  } else {
    size_t keptUnits = 0;
    result = DropPendingDeletionsBelow(value, size / 2, reinterpret_cast<uint16_t*>(wideFolder),
                                       kept, PENDING_CAPACITY, &keptUnits);
    if (result < 0) {
      LogAction("read the operations pending at the next restart", folder, 0, ERROR_INVALID_DATA);
    } else if (result > 0) {
      status = keptUnits == 0 ? DeleteRegistryValueWide(key, PENDING_VALUE)
                              : SetRegistryValueWide(key, PENDING_VALUE, REG_MULTI_SZ, kept,
                                                     static_cast<unsigned long>(keptUnits * 2));
      char action[96];
      snprintf(action, sizeof action, "forget %d deletions pending at the next restart below",
               result);
      LogAction(action, folder, status == ERROR_SUCCESS, static_cast<unsigned long>(status));
      if (status != ERROR_SUCCESS) result = -1;
    }
  }
  RegCloseKey(key);
  return result;
}
