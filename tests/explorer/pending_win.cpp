// Puts back the operations pending at the restart of a machine snapshot. Every Wine session
// starts as a boot, which carries out what is pending; the explorer sets those operations aside
// under another value name before it starts a session on a snapshot (so that starting one is
// not a restart) and this program moves them back once the session runs.
//   pending.exe
#include <windows.h>

namespace {

const char SESSION_MANAGER[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char SET_ASIDE[] = "MixarroExplorerPending";
const char PENDING[] = "PendingFileRenameOperations";

}  // namespace

int main() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, KEY_READ | KEY_WRITE, &key)) return 2;
  static BYTE value[1 << 20];
  DWORD size = sizeof value;
  DWORD type = 0;
  int result = 0;
  if (RegQueryValueExA(key, SET_ASIDE, nullptr, &type, value, &size) == ERROR_SUCCESS) {
    if (RegSetValueExA(key, PENDING, 0, type, value, size) != ERROR_SUCCESS ||
        RegDeleteValueA(key, SET_ASIDE) != ERROR_SUCCESS)
      result = 3;
  }
  RegCloseKey(key);
  return result;
}
