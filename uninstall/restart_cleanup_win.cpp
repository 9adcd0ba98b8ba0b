// What stays after a removal because it is in use (a loaded module, a running program, the
// running uninstaller copy itself) is deleted by Windows at the next restart, which both
// procedures ask for. A reinstall may come before that restart and write the same names, so
// nothing is ever scheduled under a name that an install writes: a file in use is first moved
// to a ".del" name of its own, and only that name is scheduled.
#include <windows.h>

#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "uninstall/removal.h"

namespace {

// Every pass that changes something lists the folder again, up to this many times: files
// renamed while a listing is open may be missed by it.
constexpr int CLEAR_PASSES = 4;
// Free ".del" names tried for one file before it is left where it is.
constexpr int DEL_NAME_ATTEMPTS = 20;

int ScheduleOne(const char* path) {
  BOOL ok = MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  LogAction("delete at the next restart:", path, ok, ok ? 0 : GetLastError());
  return ok ? 1 : 0;
}

int IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Moves a file that cannot be deleted to the first free ".del" name; 1 when moved.
int MoveAside(const char* path) {
  for (int attempt = 0; attempt < DEL_NAME_ATTEMPTS; ++attempt) {
    char moved[PATH_CAPACITY];
    if (!FreeDelName(path, attempt, moved, sizeof moved)) return 0;
    if (MoveFileA(path, moved)) {
      LogAction("move aside to", moved, 1, 0);
      return 1;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
      LogAction("move aside, left in place:", path, 0, error);
      return 0;
    }
  }
  return 0;
}

// Deletes the files of the folder that can go now (the removal's walk ends at the first one
// that cannot) and moves every other one, but ".del" files, aside. 1 when it changed anything.
int ClearFilesPass(const char* folder) {
  char pattern[PATH_CAPACITY];
  if (!JoinPath(pattern, sizeof pattern, folder, "*")) return 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int changed = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    char path[PATH_CAPACITY];
    if (!JoinPath(path, sizeof path, folder, found.cFileName)) continue;
    if (DeleteFileA(path)) {
      LogAction("delete", path, 1, 0);
      TallyRemoved(TALLY_FILE);
      changed = 1;
    } else if (!HasDelExtension(found.cFileName) && MoveAside(path)) {
      changed = 1;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return changed;
}

// Removes an emptied folder, or a link, now, or else at the restart; 1 when either was done.
int RemoveOrSchedule(const char* path, int* count) {
  if (RemoveDirectoryA(path)) {
    LogAction("remove folder", path, 1, 0);
    return 1;
  }
  const int scheduled = ScheduleOne(path);
  *count += scheduled;
  return scheduled;
}

// Clears the folder, then schedules its ".del" files and, deepest first, its sub-folders.
// 1 when nothing in it stays unscheduled, so that the folder itself can go at the restart.
int ScheduleContents(const char* folder, int* count) {
  for (int pass = 0; pass < CLEAR_PASSES && ClearFilesPass(folder); ++pass) {
  }
  char pattern[PATH_CAPACITY];
  if (!JoinPath(pattern, sizeof pattern, folder, "*")) return 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return 1;
  int whole = 1;
  do {
    const char* name = found.cFileName;
    if (IsDotOrDotDot(name)) continue;
    char path[PATH_CAPACITY];
    if (!JoinPath(path, sizeof path, folder, name)) {
      whole = 0;
      continue;
    }
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    int scheduled = 0;
    if (!isFolder) {
      // Whatever is not a ".del" file now could be neither deleted nor moved: it stays, for
      // the next run to delete or overwrite.
      if (HasDelExtension(name)) {
        scheduled = ScheduleOne(path);
        *count += scheduled;
      } else {
        LogAction("in use, left in place:", path, 0, 0);
      }
    } else if (name[0] == '.') {
      // Never entered, as the removal never enters it.
    } else if (isLink) {
      scheduled = RemoveOrSchedule(path, count);  // the link itself, never what it points at
    } else if (ScheduleContents(path, count)) {
      scheduled = RemoveOrSchedule(path, count);
    }
    if (!scheduled) whole = 0;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return whole;
}

}  // namespace

int ScheduleTreeDeletionAtRestart(const char* folder) {
  if (!folder || folder[0] == '\0') return 0;
  if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) return 0;
  int count = 0;
  if (ScheduleContents(folder, &count)) RemoveOrSchedule(folder, &count);
  return count;
}

int ScheduleLeftoverDeletionAtRestart(const char* folder) {
  return ForEachLeftoverFile(folder, ScheduleOne);
}
