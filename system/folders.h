// The places on disk the installer writes to: the program folder under Program Files, the
// common Start-menu programs folder and the current user's Startup folder.
#pragma once

#include <cstddef>

struct InstallerContext;

constexpr int SYSTEM_FOLDER_CAPACITY = 512;

// Cuts a path in place to its root ("C:\", "C:", "\\server\"); 1 when it had one, else 0
// with the path emptied.
int PathRoot(char* path);

// The program folder from the shell's answers: `programFiles` is the Program Files folder
// the shell reported (empty when it reported none); otherwise the folder is made from the
// root of `windowsFolder` (null when it could not be read: "C:") and "\Program Files\".
// Writes "<folder>\<subfolder>" to `out`; 1 when it fit.
int ComposeTargetFolder(char* out, size_t capacity, const char* programFiles,
                        const char* windowsFolder, const char* subfolder);

// Win32 side.
void QuerySystemFolders();
// A log line for each of the two folders above that did not reach the program whole (the
// folders are looked up before the log is opened).
void LogSystemFolderReach();
const char* GetCommonProgramsFolder();
const char* GetStartupFolder();
int ComputeTargetFolder(InstallerContext& context, const char* subfolder);
