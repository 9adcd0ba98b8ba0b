// What stays after a removal because it is in use (a loaded module, a running program, the
// running uninstaller copy itself) is deleted by Windows at the next restart, which both
// procedures ask for. A reinstall may come before that restart and write the same names, so
// nothing is ever scheduled under a name that an install writes: a file in use is first moved
// to a ".del" name of its own, and only that name is scheduled.
#include <windows.h>

#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "system/syscalls.h"
#include "uninstall/removal.h"

namespace {

// Every pass that changes something lists the folder again, up to this many times: files
// renamed while a listing is open may be missed by it.
constexpr int CLEAR_PASSES = 4;
// Free ".del" names tried for one file before it is left where it is.
constexpr int DEL_NAME_ATTEMPTS = 20;

int ScheduleOne(const char* path) {
  SysResult scheduled = DeleteAtRestart(path);
  LogAction("delete at the next restart:", path, scheduled.ok, scheduled.error);
  return scheduled.ok;
}

// Moves a file that cannot be deleted to the first free ".del" name; 1 when moved.
int MoveAside(const char* path) {
  for (int attempt = 0; attempt < DEL_NAME_ATTEMPTS; ++attempt) {
    char moved[PATH_CAPACITY];
    if (!FreeDelName(path, attempt, moved, sizeof moved)) return 0;
    SysResult renamed = MoveOneFile(path, moved);
    if (renamed.ok) {
      LogAction("move aside to", moved, 1, 0);
      return 1;
    }
    const DWORD error = renamed.error;
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
  struct Pass {
    const char* folder;
    int changed;
  } pass = {folder, 0};
  WalkFolder(
      pattern,
      [](void* user, const FolderEntry& entry) {
        Pass& p = *static_cast<Pass*>(user);
        char path[PATH_CAPACITY];
        if (entry.isFolder || !JoinPath(path, sizeof path, p.folder, entry.name)) return 1;
        if (DeleteOneFile(path).ok) {
          LogAction("delete", path, 1, 0);
          TallyRemoved(TALLY_FILE);
          p.changed = 1;
        } else if (!HasDelExtension(entry.name) && MoveAside(path)) {
          p.changed = 1;
        }
        return 1;
      },
      &pass);
  return pass.changed;
}

// Removes an emptied folder, or a link, now, or else at the restart; 1 when either was done.
int RemoveOrSchedule(const char* path, int* count) {
  if (RemoveFolder(path).ok) {
    LogAction("remove folder", path, 1, 0);
    return 1;
  }
  const int scheduled = ScheduleOne(path);
  *count += scheduled;
  return scheduled;
}

struct Contents {
  const char* folder;
  int* count;
  int whole;  // nothing in the folder stays unscheduled
};

int ScheduleContents(const char* folder, int* count);

// One entry of a cleared folder: a ".del" file or an emptied sub-folder is scheduled.
int ScheduleEntry(void* user, const FolderEntry& entry) {
  Contents& c = *static_cast<Contents*>(user);
  char path[PATH_CAPACITY];
  if (!JoinPath(path, sizeof path, c.folder, entry.name)) {
    c.whole = 0;
    return 1;
  }
  int scheduled = 0;
  if (!entry.isFolder) {
    // Whatever is not a ".del" file now could be neither deleted nor moved: it stays, for the
    // next run to delete or overwrite.
    if (HasDelExtension(entry.name)) {
      scheduled = ScheduleOne(path);
      *c.count += scheduled;
    } else {
      LogAction("in use, left in place:", path, 0, 0);
    }
  } else if (entry.name[0] == '.') {
    // Never entered, as the removal never enters it.
  } else if (entry.isLink) {
    scheduled = RemoveOrSchedule(path, c.count);  // the link itself, never what it points at
  } else if (ScheduleContents(path, c.count)) {
    scheduled = RemoveOrSchedule(path, c.count);
  }
  if (!scheduled) c.whole = 0;
  return 1;
}

// Clears the folder, then schedules its ".del" files and, deepest first, its sub-folders.
// 1 when nothing in it stays unscheduled, so that the folder itself can go at the restart.
int ScheduleContents(const char* folder, int* count) {
  for (int pass = 0; pass < CLEAR_PASSES && ClearFilesPass(folder); ++pass) {
  }
  char pattern[PATH_CAPACITY];
  if (!JoinPath(pattern, sizeof pattern, folder, "*")) return 0;
  Contents contents = {folder, count, 1};
  WalkFolder(pattern, ScheduleEntry, &contents);
  return contents.whole;
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
