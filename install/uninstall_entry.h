// The Programs and Features entry as deployment tools read it: the texts derived from the
// installer copy's path and the payload.
#pragma once

#include <cstddef>
#include <cstdint>

// "\"<path>\"": Windows would otherwise try "C:\Program.exe" first for a path with a space.
int BuildQuotedPath(char* out, size_t capacity, const char* path);
// "\"<path>\" -h -u": removes the product silently, its result being the exit code.
int BuildQuietUninstallString(char* out, size_t capacity, const char* path);
// The payload's size (the catalogue's file sizes added up) in KiB, rounded up.
uint32_t EstimatedSizeKiB(const uint8_t* catalogue, int entryCount);
// The name of the installer's copy in the program folder: the running file's own name when its
// path reached the program whole (PATH_REACH_WHOLE), else "<setupBaseName>.exe", the name the
// program was built with (a short form's "MIXARR~1.EXE" would name the uninstaller for good).
// 1 when it fit.
int UninstallerCopyName(char* out, size_t capacity, const char* setupPath, int setupPathReach,
                        const char* setupBaseName);
