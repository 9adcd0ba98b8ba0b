// Removal primitives: leftover ".del" files, installed files, folder and registry trees.
#pragma once

#include "system/platform.h"

struct InstallerContext;

// Deletes the "*.del" files of the folder (not of its subfolders); the number it tried.
int DeleteLeftoverFiles(const char* folder);
// Deletes every catalogue file from the program folder; with the edition's locked-file
// handling a file that cannot be deleted is moved to its ".del" name. Returns 0.
int DeleteInstalledFiles(InstallerContext& context);
// Removes the folder with everything in it that can be removed; returns 1.
int RemoveFolderTree(const char* folder);
#ifdef _WIN32
// Removes the key root\path with all its subkeys; 1, or 0 when it could not be opened or
// deleted.
int RemoveRegistryTree(HKEY root, const char* path);
#endif
