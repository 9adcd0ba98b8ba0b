#include <shlobj.h>

#include <cstring>
#include <cwchar>

#include "ground/context.h"
#include "ground/paths.h"
#include "ground/platform.h"
#include "ground/run_log.h"
#include "system/ansi_paths.h"
#include "system/folders.h"
#include "system/syscalls.h"

namespace {

typedef BOOL(WINAPI* SHGetSpecialFolderPathWFn)(HWND, LPWSTR, int, BOOL);
typedef HRESULT(WINAPI* SHGetFolderPathWFn)(HWND, int, HANDLE, DWORD, LPWSTR);

// One shell folder to look up and where its path goes. The shell is asked in UTF-16 and the
// answer taken only as it reached the 8-bit text (`reach`): a folder that the code page cannot
// name stays empty, as if the shell had none, and is never replaced by a look-alike.
struct FolderQuery {
  int csidl;
  char* path;
  size_t capacity;
  int reach;
};

// What a lookup pass gives when it could not ask at all.
constexpr int LIBRARY_MISSING = -2;
constexpr int FUNCTION_MISSING = -1;

// Filled once per process by QuerySystemFolders.
char commonPrograms[SYSTEM_FOLDER_CAPACITY] = "";
char startup[SYSTEM_FOLDER_CAPACITY] = "Startup";
int commonProgramsReach = PATH_REACH_WHOLE;
int startupReach = PATH_REACH_WHOLE;
int foldersQueried = 0;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Takes the shell's answer for one query: 1 when it reached the 8-bit text.
int TakeAnswer(FolderQuery& query, const wchar_t* answer) {
  query.reach = ReachWidePath(answer, query.path, query.capacity);
  return query.reach != PATH_REACH_NONE;
}

// The shell's lookup (SHELL32.DLL's SHGetSpecialFolderPathW, bound at run time) for every
// query in order. Gives how many failed (their paths emptied), or LIBRARY_MISSING /
// FUNCTION_MISSING when it could not ask; the library is freed again in every case.
int LookUpWithShell(FolderQuery* queries, int count, BOOL create) {
  HMODULE shell32 = LoadSystemLibrary("SHELL32.DLL");
  if (!shell32) return LIBRARY_MISSING;
  auto special = Lookup<SHGetSpecialFolderPathWFn>(shell32, "SHGetSpecialFolderPathW");
  int failed = FUNCTION_MISSING;
  if (special) {
    failed = 0;
    for (int i = 0; i < count; ++i) {
      wchar_t answer[MAX_PATH + 1] = L"";
      if (special(nullptr, answer, queries[i].csidl, create) != TRUE ||
          !TakeAnswer(queries[i], answer)) {
        queries[i].path[0] = '\0';
        ++failed;
      }
    }
  }
  FreeLibrary(shell32);
  return failed;
}

// The older lookup (SHFOLDER.DLL's SHGetFolderPathW: the current path, nothing created) for
// every query whose path is still empty: a path that holds text is never asked again. Gives
// how many failed (their paths emptied again), or LIBRARY_MISSING / FUNCTION_MISSING.
int LookUpWithShFolder(FolderQuery* queries, int count) {
  HMODULE shfolder = LoadSystemLibrary("SHFOLDER.DLL");
  if (!shfolder) return LIBRARY_MISSING;
  auto getFolderPath = Lookup<SHGetFolderPathWFn>(shfolder, "SHGetFolderPathW");
  int failed = FUNCTION_MISSING;
  if (getFolderPath) {
    failed = 0;
    for (int i = 0; i < count; ++i) {
      if (queries[i].path[0] != '\0') continue;
      wchar_t answer[MAX_PATH + 1] = L"";
      if (getFolderPath(nullptr, queries[i].csidl, nullptr, 0, answer) != S_OK ||
          !TakeAnswer(queries[i], answer)) {
        queries[i].path[0] = '\0';
        ++failed;
      }
    }
  }
  FreeLibrary(shfolder);
  return failed;
}

// The log line for a folder that did not reach the program whole.
void LogReach(const char* what, int reach, const char* path, const char* consequence) {
  if (reach == PATH_REACH_WHOLE) return;
  char line[LOG_LINE_CAPACITY];
  FormatPathReachLine(line, sizeof line, what, reach, GetACP(), path, consequence);
  LogLine(line);
}

}  // namespace

void QuerySystemFolders() {
  if (foldersQueried) return;
  foldersQueried = 1;
  FolderQuery table[] = {
      {CSIDL_COMMON_PROGRAMS, commonPrograms, sizeof commonPrograms, PATH_REACH_WHOLE},
      {CSIDL_STARTUP, startup, sizeof startup, PATH_REACH_WHOLE}};
  // Without SHELL32 the entries keep what they held; with it, SHFOLDER is asked only for
  // what the shell did not give (or for everything, when the shell has no such function).
  const int failed = LookUpWithShell(table, 2, TRUE);
  if (failed != LIBRARY_MISSING && failed != 0) LookUpWithShFolder(table, 2);
  commonProgramsReach = table[0].reach;
  startupReach = table[1].reach;
}

void LogSystemFolderReach() {
  LogReach("the common Start-menu programs folder", commonProgramsReach, commonPrograms,
           "no shortcuts for all users are made or removed");
  LogReach("the user's Startup folder", startupReach, startup,
           "the autostart shortcut is not removed");
}

const char* GetCommonProgramsFolder() {
  return commonPrograms;
}

const char* GetStartupFolder() {
  return startup;
}

int ComputeTargetFolder(InstallerContext& context, const char* subfolder) {
  char programFiles[MAX_PATH + PATH_CAPACITY] = "";
  FolderQuery query = {CSIDL_PROGRAM_FILES, programFiles, sizeof programFiles, PATH_REACH_WHOLE};
  if (LookUpWithShell(&query, 1, FALSE) != 0) LookUpWithShFolder(&query, 1);
  LogReach("the Program Files folder", query.reach, programFiles,
           "the program folder is made from the Windows folder's drive");
  char windows[2000];
  const char* windowsFolder = nullptr;
  if (programFiles[0] == '\0') {
    wchar_t wide[2000];
    UINT n = GetWindowsDirectoryW(wide, 2000);
    if (n > 0 && n < 2000 && n == wcslen(wide) &&
        ReachWidePath(wide, windows, sizeof windows) != PATH_REACH_NONE)
      windowsFolder = windows;
  }
  ComposeTargetFolder(context.targetFolder, sizeof context.targetFolder, programFiles,
                      windowsFolder, subfolder);
  return 0;
}
