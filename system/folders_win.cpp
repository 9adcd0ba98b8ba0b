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

struct SystemFolder {
  int csidl;
  char path[SYSTEM_FOLDER_CAPACITY];
};

// Filled once per process by QuerySystemFolders.
SystemFolder commonPrograms = {CSIDL_COMMON_PROGRAMS, ""};
SystemFolder startup = {CSIDL_STARTUP, "Startup"};
int foldersQueried = 0;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void QuerySystemFolders() {
  if (foldersQueried) return;
  foldersQueried = 1;
  SystemFolder* table[] = {&commonPrograms, &startup};

  HMODULE shell32 = LoadSystemLibrary("SHELL32.DLL");
  if (!shell32) return;
  auto special = Lookup<SHGetSpecialFolderPathAFn>(shell32, "SHGetSpecialFolderPathA");
  if (special) {
    int failed = 0;
    for (SystemFolder* f : table) {
      if (special(nullptr, f->path, f->csidl, TRUE) != TRUE) {
        f->path[0] = '\0';
        failed = 1;
      }
    }
    FreeLibrary(shell32);
    if (!failed) return;
  } else {
    FreeLibrary(shell32);
  }

  HMODULE shfolder = LoadSystemLibrary("SHFOLDER.DLL");
  if (!shfolder) return;
  auto getFolderPath = Lookup<SHGetFolderPathAFn>(shfolder, "SHGetFolderPathA");
  if (getFolderPath) {
    for (SystemFolder* f : table) {
      if (f->path[0] != '\0') continue;
      if (getFolderPath(nullptr, f->csidl, nullptr, 0, f->path) != S_OK) f->path[0] = '\0';
    }
  }
  FreeLibrary(shfolder);
}

const char* GetCommonProgramsFolder() {
  return commonPrograms.path;
}

const char* GetStartupFolder() {
  return startup.path;
}

int ComputeTargetFolder(InstallerContext& context, const char* subfolder) {
  char programFiles[MAX_PATH + PATH_CAPACITY] = "";
  if (HMODULE shell32 = LoadSystemLibrary("SHELL32.DLL")) {
    if (auto special = Lookup<SHGetSpecialFolderPathAFn>(shell32, "SHGetSpecialFolderPathA")) {
      if (special(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE) != TRUE) programFiles[0] = 0;
    }
    FreeLibrary(shell32);
  }
  if (programFiles[0] == '\0') {
    if (HMODULE shfolder = LoadSystemLibrary("SHFOLDER.DLL")) {
      if (auto getFolderPath = Lookup<SHGetFolderPathAFn>(shfolder, "SHGetFolderPathA")) {
        if (getFolderPath(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles) != S_OK)
          programFiles[0] = '\0';
      }
      FreeLibrary(shfolder);
    }
  }
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
