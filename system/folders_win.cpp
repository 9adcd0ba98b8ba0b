#include <shlobj.h>

#include <cstring>

#include "ground/context.h"
#include "ground/paths.h"
#include "ground/platform.h"
#include "system/folders.h"
#include "system/syscalls.h"

namespace {

typedef BOOL(WINAPI* SHGetSpecialFolderPathAFn)(HWND, LPSTR, int, BOOL);
typedef HRESULT(WINAPI* SHGetFolderPathAFn)(HWND, int, HANDLE, DWORD, LPSTR);

// One shell folder to look up and where its path goes (MAX_PATH characters at least).
struct FolderQuery {
  int csidl;
  char* path;
};

// What a lookup pass gives when it could not ask at all.
constexpr int LIBRARY_MISSING = -2;
constexpr int FUNCTION_MISSING = -1;

// Filled once per process by QuerySystemFolders.
char commonPrograms[SYSTEM_FOLDER_CAPACITY] = "";
char startup[SYSTEM_FOLDER_CAPACITY] = "Startup";
int foldersQueried = 0;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The shell's lookup (SHELL32.DLL's SHGetSpecialFolderPathA, bound at run time) for every
// query in order. Gives how many failed (their paths emptied), or LIBRARY_MISSING /
// FUNCTION_MISSING when it could not ask; the library is freed again in every case.
int LookUpWithShell(FolderQuery* queries, int count, BOOL create) {
  HMODULE shell32 = LoadSystemLibrary("SHELL32.DLL");
  if (!shell32) return LIBRARY_MISSING;
  auto special = Lookup<SHGetSpecialFolderPathAFn>(shell32, "SHGetSpecialFolderPathA");
  int failed = FUNCTION_MISSING;
  if (special) {
    failed = 0;
    for (int i = 0; i < count; ++i) {
      if (special(nullptr, queries[i].path, queries[i].csidl, create) != TRUE) {
        queries[i].path[0] = '\0';
        ++failed;
      }
    }
  }
  FreeLibrary(shell32);
  return failed;
}

// The older lookup (SHFOLDER.DLL's SHGetFolderPathA: the current path, nothing created) for
// every query whose path is still empty: a path that holds text is never asked again. Gives
// how many failed (their paths emptied again), or LIBRARY_MISSING / FUNCTION_MISSING.
int LookUpWithShFolder(FolderQuery* queries, int count) {
  HMODULE shfolder = LoadSystemLibrary("SHFOLDER.DLL");
  if (!shfolder) return LIBRARY_MISSING;
  auto getFolderPath = Lookup<SHGetFolderPathAFn>(shfolder, "SHGetFolderPathA");
  int failed = FUNCTION_MISSING;
  if (getFolderPath) {
    failed = 0;
    for (int i = 0; i < count; ++i) {
      if (queries[i].path[0] != '\0') continue;
      if (getFolderPath(nullptr, queries[i].csidl, nullptr, 0, queries[i].path) != S_OK) {
        queries[i].path[0] = '\0';
        ++failed;
      }
    }
  }
  FreeLibrary(shfolder);
  return failed;
}

}  // namespace

void QuerySystemFolders() {
  if (foldersQueried) return;
  foldersQueried = 1;
  FolderQuery table[] = {{CSIDL_COMMON_PROGRAMS, commonPrograms}, {CSIDL_STARTUP, startup}};
  // Without SHELL32 the entries keep what they held; with it, SHFOLDER is asked only for
  // what the shell did not give (or for everything, when the shell has no such function).
  const int failed = LookUpWithShell(table, 2, TRUE);
  if (failed == LIBRARY_MISSING || failed == 0) return;
  LookUpWithShFolder(table, 2);
}

const char* GetCommonProgramsFolder() {
  return commonPrograms;
}

const char* GetStartupFolder() {
  return startup;
}

int ComputeTargetFolder(InstallerContext& context, const char* subfolder) {
  char programFiles[MAX_PATH + PATH_CAPACITY] = "";
  FolderQuery query = {CSIDL_PROGRAM_FILES, programFiles};
  if (LookUpWithShell(&query, 1, FALSE) != 0) LookUpWithShFolder(&query, 1);
  char windows[2000];
  const char* windowsFolder = nullptr;
  if (programFiles[0] == '\0') {
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (n > 0 && n < sizeof windows && n == strlen(windows)) windowsFolder = windows;
  }
  ComposeTargetFolder(context.targetFolder, sizeof context.targetFolder, programFiles,
                      windowsFolder, subfolder);
  return 0;
}
