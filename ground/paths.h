// Path, text and memory helpers shared by the installation and removal procedures.
// All work on NUL-terminated 8-bit texts in fixed buffers.
#pragma once

#include <cstddef>

// Cuts the text at its last backslash (a backslash at index 0 too); no backslash: unchanged.
void CutAtLastBackslash(char* path);
// Moves the text after the last backslash to the start; no backslash: unchanged.
void KeepFileName(char* path);
// Replaces the extension after the last dot of the file name with `extension` (with or
// without its dot); 1 when done, 0 when the file name has no dot (text unchanged).
// `capacity` bounds the result; a result that would not fit leaves the text unchanged (0).
int ReplaceExtension(char* path, const char* extension, size_t capacity);

// Copies `src` into `dest` of `capacity` bytes, always terminating; 1 when it fit whole.
int CopyText(char* dest, size_t capacity, const char* src);
// Appends `src`; 1 when it fit whole (a cut text is still terminated).
int AppendText(char* dest, size_t capacity, const char* src);
// dest = folder, a backslash unless the folder is empty or already ends with one, then name.
// 1 when the whole path fit; 0 leaves a terminated but cut path, which callers refuse.
int JoinPath(char* dest, size_t capacity, const char* folder, const char* name);
// 1 when the text ends with a backslash.
int EndsWithBackslash(const char* text);
// 1 for a full path that names the same place whatever the current folder and drive are:
// a drive, a colon and a backslash (C:\...), or a UNC path (two backslashes, a server, ...).
// An empty, relative, drive-relative (C:folder) or rooted-only (\folder) path gives 0.
int IsFullPath(const char* path);
// How a path that the system gives in UTF-16 reached the program's 8-bit text: whole, as its
// short (8.3) form, or not at all (it was then left empty, never replaced by a look-alike).
enum PathReach { PATH_REACH_WHOLE = 0, PATH_REACH_SHORT = 1, PATH_REACH_NONE = 2 };

// ASCII-only case-insensitive comparison; 1 when equal.
int EqualIgnoringAsciiCase(const char* a, const char* b);

// Copies n bytes forward; nothing when dest == src or n == 0.
void CopyBytes(void* dest, const void* src, size_t n);
// 1 when a == b, n == 0 or all n bytes are equal, else 0.
int BytesEqual(const void* a, const void* b, size_t n);
void ZeroBytes(void* p, size_t n);
