// Folder creation level by level below a path's root, through the platform's one-level call.
#pragma once

// Creates every missing level of `path` below its root (drive, or \\server\share) through
// `makeFolder`, which returns 1 when the level exists afterwards. 1 on success, 0 when the
// path is null, shorter than 5 characters, longer than 1,023, or a level fails.
using MakeFolderFn = int (*)(void* user, const char* folder);
int CreateFolderLevels(const char* path, MakeFolderFn makeFolder, void* user);
