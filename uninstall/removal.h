// Removal primitives: leftover ".del" files, installed files, folder and registry trees.
#pragma once

#include <cstddef>

#include "system/platform.h"

struct InstallerContext;

// Calls `act` on each ".del" file of the folder (not of its subfolders); the sum of its results.
int ForEachLeftoverFile(const char* folder, int (*act)(const char* path));
// Deletes the "*.del" files of the folder (not of its subfolders); the number it tried.
int DeleteLeftoverFiles(const char* folder);
// Deletes every catalogue file from the program folder; with the edition's locked-file
// handling a file that cannot be deleted is moved to its ".del" name. Returns 0.
int DeleteInstalledFiles(InstallerContext& context);
// Schedules what is left of the folder for deletion at the next restart: every file first,
// then the sub-folders deepest first, the folder itself last. The number scheduled.
int ScheduleTreeDeletionAtRestart(const char* folder);
// Schedules the ".del" files still in the folder (the ones in use) likewise.
int ScheduleLeftoverDeletionAtRestart(const char* folder);
// Removes the folder with everything in it that can be removed; returns 1. The walk of a
// folder ends at the first file, or subfolder, that is still there after its removal.
int RemoveFolderTree(const char* folder);
#ifdef _WIN32
// Removes the key root\path with all its subkeys; 1, or 0 when it (or a subkey, which then
// ends the walk) could not be opened or deleted.
int RemoveRegistryTree(HKEY root, const char* path);
#endif

// The name of catalogue entry `index` (the first 128 bytes of its 156-byte record) into
// `out`; 1 when it is NUL-terminated within those bytes, fits and is safe, else 0.
int CatalogueEntryName(const unsigned char* catalogue, int index, char* out, size_t capacity);
// 1 when the file name ends in ".del", in any letter case.
int HasDelExtension(const char* name);
