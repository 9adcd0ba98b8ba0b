// Removal primitives: leftover ".del" files, installed files, folder and registry trees.
#pragma once

#include <cstddef>

#include "ground/platform.h"

struct InstallerContext;

// Calls `act` on each ".del" file of the folder (not of its subfolders); the sum of its results.
int ForEachLeftoverFile(const char* folder, int (*act)(const char* path));
// Deletes the "*.del" files of the folder (not of its subfolders); the number it tried.
int DeleteLeftoverFiles(const char* folder);
// Deletes every catalogue file from the program folder; with the edition's locked-file
// handling a file that cannot be deleted is moved to its ".del" name. Returns 0.
int DeleteInstalledFiles(InstallerContext& context);
// Makes what is left of the folder go at the next restart without ever naming a file that a
// later install writes: a file that can be deleted now is deleted, one that cannot is moved
// to a free ".del" name first and only that name is scheduled; then the emptied folders,
// deepest first, and the folder itself when nothing else stays in it. Folders whose name
// begins with "." are never entered, and links are never followed. The number scheduled.
int ScheduleTreeDeletionAtRestart(const char* folder);
// Schedules the ".del" files still in the folder (the ones in use) likewise.
int ScheduleLeftoverDeletionAtRestart(const char* folder);
// Removes the folder with everything in it that can be removed; returns 1. The walk of a
// folder ends at the first file, or subfolder, that is still there after its removal.
int RemoveFolderTree(const char* folder);
#ifdef _WIN32
// Removes the key root\path with all its subkeys; 1, or 0 when it (or a subkey, which then
// ends the walk) could not be opened or deleted, with the registry's error in GetLastError.
int RemoveRegistryTree(HKEY root, const char* path);
#endif

// The name of catalogue entry `index` (the first 128 bytes of its 156-byte record) into
// `out`; 1 when it is NUL-terminated within those bytes, fits and is safe, else 0.
int CatalogueEntryName(const unsigned char* catalogue, int index, char* out, size_t capacity);
// The ".del" name that a file that cannot be deleted moves to: attempt 0 is the path with
// its extension replaced by ".del" (".del" added when it has none), attempt n the same with
// "~<n+1>" before ".del", for when that name is taken. 1 when it fit, else 0 (n above 99 too).
int FreeDelName(const char* path, int attempt, char* out, size_t capacity);
// 1 when the file name ends in ".del", in any letter case.
int HasDelExtension(const char* name);
