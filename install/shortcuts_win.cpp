#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include "ground/paths.h"
#include "install/shortcuts.h"
#include "system/syscalls.h"

int32_t CreateShortcut(const char* target, const char* folder, const char* title,
                       const char* arguments) {
  char linkPath[LINK_PATH_CAPACITY];
  if (!target || !BuildLinkPath(linkPath, sizeof linkPath, folder, title))
    return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  WCHAR widePath[LINK_PATH_CAPACITY];
  if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, LINK_PATH_CAPACITY) == 0)
    return HRESULT_FROM_WIN32(GetLastError());

  IShellLinkA* link = nullptr;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link));
  if (FAILED(result)) return result;

  char workingFolder[LINK_PATH_CAPACITY];
  CopyText(workingFolder, sizeof workingFolder, target);
  CutAtLastBackslash(workingFolder);
  link->SetPath(target);
  link->SetDescription(title);
  link->SetArguments(arguments ? arguments : "");
  link->SetWorkingDirectory(workingFolder);

  IPersistFile* file = nullptr;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(result)) {
    link->Release();
    return result;
  }
  result = SaveShellLink(file, widePath, linkPath);
  file->Release();
  link->Release();
  return result;
}

int DeleteShortcut(const char* folder, const char* title) {
  char linkPath[LINK_PATH_CAPACITY];
  if (!BuildLinkPath(linkPath, sizeof linkPath, folder, title)) return 0;
  return DeleteOneFile(linkPath).ok;
}
