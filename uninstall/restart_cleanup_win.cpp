// What stays after a removal because it is in use (".del" files, payload files that could be
// neither deleted nor renamed, the running uninstaller copy) and the program folder itself
// are deleted by Windows at the next restart, which both procedures ask for.
#include <windows.h>

#include "install/paths.h"
#include "shell/context.h"
#include "shell/run_log.h"
#include "uninstall/removal.h"

namespace {

int ScheduleOne(const char* path) {
  BOOL ok = MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  LogAction("delete at the next restart:", path, ok, ok ? 0 : GetLastError());
  return ok ? 1 : 0;
}

// Schedules every file below `folder` (files: 1) or every sub-folder below it, deepest
// first (folders: 0). Returns the number scheduled.
int ScheduleBelow(const char* folder, int files) {
  char pattern[PATH_CAPACITY];
  if (!JoinPath(pattern, sizeof pattern, folder, "*")) return 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    const char* name = found.cFileName;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    char path[PATH_CAPACITY];
    if (!JoinPath(path, sizeof path, folder, name)) continue;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!isFolder) {
      if (files) count += ScheduleOne(path);
    } else if (!isLink) {
      count += ScheduleBelow(path, files);
      if (!files) count += ScheduleOne(path);
    } else if (!files) {
      count += ScheduleOne(path);  // the link itself, never what it points at
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

}  // namespace

int ScheduleTreeDeletionAtRestart(const char* folder) {
  if (!folder || folder[0] == '\0') return 0;
  if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) return 0;
  int count = ScheduleBelow(folder, 1);
  count += ScheduleBelow(folder, 0);
  return count + ScheduleOne(folder);
}

int ScheduleLeftoverDeletionAtRestart(const char* folder) {
  return ForEachLeftoverFile(folder, ScheduleOne);
}
