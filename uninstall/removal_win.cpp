#include <windows.h>

#include <cstring>

#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "install/payload.h"
#include "system/syscalls.h"
#include "uninstall/removal.h"

namespace {

int PathIsThere(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// 1 when a folder of the catalogue name (the "mp3lame" of "mp3lame\lame_enc.dll") is a link
// or junction below `folder`: what lies behind it is the user's, wherever it is.
int GoesThroughLink(const char* folder, const char* name) {
  char path[PATH_CAPACITY];
  if (!JoinPath(path, sizeof path, folder, "")) return 1;
  const size_t start = strlen(path);
  if (!AppendText(path, sizeof path, name)) return 1;
  for (size_t i = start; path[i] != '\0'; ++i) {
    if (path[i] != '\\') continue;
    path[i] = '\0';
    DWORD attributes = GetFileAttributesA(path);
    path[i] = '\\';
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return 1;
  }
  return 0;
}

}  // namespace

int ForEachLeftoverFile(const char* folder, int (*act)(const char* path)) {
  // An empty folder would make the pattern relative to whatever the current folder is.
  if (!folder || folder[0] == '\0') return 0;
  char pattern[PATH_CAPACITY];
  if (!JoinPath(pattern, sizeof pattern, folder, "*.del")) return 0;
  struct Walk {
    const char* folder;
    int (*act)(const char* path);
    int count;
  } walk = {folder, act, 0};
  WalkFolder(
      pattern,
      [](void* user, const FolderEntry& entry) {
        Walk& w = *static_cast<Walk*>(user);
        // The pattern also matches through short names ("x.delta" is "X~1.DEL"); only real
        // ".del" names are leftovers.
        char path[PATH_CAPACITY];
        if (!entry.isFolder && HasDelExtension(entry.name) &&
            JoinPath(path, sizeof path, w.folder, entry.name))
          w.count += w.act(path);
        return 1;
      },
      &walk);
  return walk.count;
}

int DeleteLeftoverFiles(const char* folder) {
  // Every leftover counts, whether or not it could be deleted.
  return ForEachLeftoverFile(folder, [](const char* path) {
    SysResult deleted = DeleteOneFile(path);
    LogAction("delete leftover", path, deleted.ok, deleted.error);
    if (deleted.ok) TallyRemoved(TALLY_FILE);
    return 1;
  });
}

int DeleteInstalledFiles(InstallerContext& context) {
  const EditionConfig& edition = ThisEdition();
  if (context.targetFolder[0] == '\0') return 0;
  int count = edition.payloadEntryCount;
  if (count > MAX_PAYLOAD_ENTRY_COUNT) count = MAX_PAYLOAD_ENTRY_COUNT;
  for (int i = 0; i < count; ++i) {
    char name[CATALOGUE_NAME_SIZE];
    char path[PATH_CAPACITY];
    if (!CatalogueEntryName(context.catalogue, i, name, sizeof name)) continue;
    if (!JoinPath(path, sizeof path, context.targetFolder, name)) continue;
    if (GoesThroughLink(context.targetFolder, name)) {
      // The link itself goes with the folder tree.
      LogAction("not deleted, a linked folder on its way:", path, 1, 0);
      continue;
    }
    SysResult deleted = DeleteOneFile(path);
    LogAction("delete", path, deleted.ok, deleted.error);
    if (deleted.ok) {
      TallyRemoved(TALLY_FILE);
      continue;
    }
    if (!edition.lockedFileHandling) continue;
    // A file in use cannot be deleted but can be renamed; the next run deletes the ".del"
    // file. A name without extension has no ".del" name and stays as it is.
    char moved[PATH_CAPACITY];
    CopyText(moved, sizeof moved, path);
    if (!ReplaceExtension(moved, ".del", sizeof moved)) continue;
    SysResult renamed = MoveOneFile(path, moved);
    LogAction("move aside to", moved, renamed.ok, renamed.error);
  }
  return 0;
}

int RemoveFolderTree(const char* folder) {
  if (!folder || folder[0] == '\0') return 1;
  char pattern[PATH_CAPACITY];
  char path[PATH_CAPACITY];
  // The first entry of a listing that the walk may remove: not a folder whose name starts
  // with "." (the user's own, such as ".user").
  struct First {
    char name[MAX_PATH];
    int isFolder;
    int isLink;
    int found;
  };
  int walking = JoinPath(pattern, sizeof pattern, folder, "*.*");
  // Every pass lists the folder afresh and removes its first removable entry; the listing is
  // always closed before anything is removed. A pass that finds only "."-named folders, or
  // an entry that stays, ends the walk.
  while (walking) {
    First first = {};
    WalkFolder(
        pattern,
        [](void* user, const FolderEntry& entry) {
          if (entry.isFolder && entry.name[0] == '.') return 1;
          First& f = *static_cast<First*>(user);
          CopyText(f.name, sizeof f.name, entry.name);
          f.isFolder = entry.isFolder;
          f.isLink = entry.isLink;
          f.found = 1;
          return 0;
        },
        &first);
    if (!first.found || !JoinPath(path, sizeof path, folder, first.name)) break;
    if (!first.isFolder) {
      SysResult deleted = DeleteOneFile(path);
      if (!deleted.ok) {
        LogAction("delete", path, 0, deleted.error);
        break;
      }
      TallyRemoved(TALLY_FILE);
    } else if (first.isLink) {
      // A junction or link is removed itself; what it points at is not ours.
      SysResult removed = RemoveFolder(path);
      LogAction("remove the link", path, removed.ok, removed.error);
    } else {
      RemoveFolderTree(path);
    }
    // Still there (a folder holding something in use, or a file only marked for deletion):
    // listing again would find it first again.
    if (PathIsThere(path)) break;
  }
  SysResult removed = RemoveFolder(folder);
  LogAction("remove folder", folder, removed.ok, removed.error);
  return 1;
}

int RemoveRegistryTree(HKEY root, const char* path) {
  if (!path) return 0;
  HKEY key = nullptr;
  LONG opened = RegOpenKeyExA(root, path, 0, DELETE | KEY_ENUMERATE_SUB_KEYS, &key);
  if (opened != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(opened));
    return 0;
  }
  int result = 1;
  DWORD error = ERROR_SUCCESS;
  for (;;) {
    char name[1024];
    DWORD size = sizeof name - 1;
    LONG status = RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) {
      LONG deleted = DeleteRegistryKey(root, path);
      if (deleted != ERROR_SUCCESS) {
        result = 0;
        error = static_cast<DWORD>(deleted);
      }
      break;
    }
    if (status != ERROR_SUCCESS) break;
    // Index 0 again on every pass, since a removed subkey moves the next one to the front;
    // a subkey that stays would come back at the front for ever, so it ends the walk.
    result = RemoveRegistryTree(key, name);
    if (!result) {
      error = GetLastError();
      break;
    }
  }
  RegCloseKey(key);
  SetLastError(error);
  return result;
}
