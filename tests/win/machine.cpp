#include "tests/win/machine.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "tests/win/helpers.h"
#include "tests/win/scratch.h"

namespace {

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
  return path;
}

void Walk(const std::string& root, const std::string& relative, std::vector<std::string>& files,
          std::vector<std::string>* folders) {
  WIN32_FIND_DATAA found;
  std::string pattern = root + "\\" + relative + (relative.empty() ? "" : "\\") + "*";
  HANDLE h = FindFirstFileA(pattern.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string rel = relative.empty() ? name : relative + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (folders) folders->push_back(rel + "\\");
      Walk(root, rel, files, folders);
    } else {
      files.push_back(rel + " " + std::to_string(found.nFileSizeLow));
    }
  } while (FindNextFileA(h, &found));
  FindClose(h);
}

}  // namespace

std::string ProgramFolder() { return SpecialFolder(CSIDL_PROGRAM_FILES) + "\\QX\\Mixarro"; }

std::string UserStartMenuGroup() {
  return ReadUserText("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Programs") +
         "\\QX Audio\\Mixarro";
}

std::string CommonStartMenuGroup() {
  return SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\QX Audio\\Mixarro";
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> files;
  Walk(folder, "", files, nullptr);
  for (std::string& f : files) f = f.substr(0, f.rfind(' '));
  std::sort(files.begin(), files.end());
  return files;
}

std::string DescribeTree(const std::string& folder) {
  std::vector<std::string> files, folders;
  Walk(folder, "", files, &folders);
  files.insert(files.end(), folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  std::string out = PathExists(folder) ? folder + " exists\n" : folder + " absent\n";
  for (const std::string& f : files) out += "  " + f + "\n";
  return out;
}

std::string ReadMachineText(const char* key, const char* value, bool* found, REGSAM view) {
  char data[4096] = "";
  DWORD size = sizeof data - 1, type = 0;
  HKEY h;
  bool ok = false;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &h) == ERROR_SUCCESS) {
    ok = RegQueryValueExA(h, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
         ERROR_SUCCESS;
    RegCloseKey(h);
  }
  if (found) *found = ok;
  return ok ? std::string(data, strnlen(data, size)) : std::string();
}

std::string ReadUserText(const char* key, const char* value) {
  char data[4096] = "";
  DWORD size = sizeof data - 1, type = 0;
  HKEY h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return "";
  LONG r = RegQueryValueExA(h, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(h);
  return r == ERROR_SUCCESS ? std::string(data, strnlen(data, size)) : std::string();
}

DWORD ReadUserNumber(const char* key, const char* value, bool* found) {
  DWORD data = 0xdeadbeef, size = sizeof data, type = 0;
  HKEY h;
  bool ok = false;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) == ERROR_SUCCESS) {
    ok = RegQueryValueExA(h, value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
             ERROR_SUCCESS &&
         type == REG_DWORD;
    RegCloseKey(h);
  }
  if (found) *found = ok;
  return data;
}

bool MachineKeyExists(const char* key, REGSAM view) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &h) != ERROR_SUCCESS)
    return false;
  RegCloseKey(h);
  return true;
}

std::string DescribeKey(HKEY root, const char* key, REGSAM view) {
  HKEY h;
  if (RegOpenKeyExA(root, key, 0, KEY_READ | view, &h) != ERROR_SUCCESS)
    return std::string(key) + " absent\n";
  std::string out = std::string(key) + "\n";
  for (DWORD i = 0;; ++i) {
    char name[512];
    BYTE data[4096];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(h, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
      break;
    out += "  " + std::string(name) + " type " + std::to_string(type) + " = ";
    if (type == REG_DWORD)
      out += std::to_string(*reinterpret_cast<DWORD*>(data));
    else
      out += std::string(reinterpret_cast<char*>(data), strnlen((char*)data, dataSize));
    out += "\n";
  }
  std::vector<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(h, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    subkeys.push_back(name);
  }
  RegCloseKey(h);
  for (const std::string& s : subkeys) out += DescribeKey(root, (std::string(key) + "\\" + s).c_str(), view);
  return out;
}

LinkInfo ReadLink(const std::string& lnkPath) {
  LinkInfo info = {"", "", "", "", false};
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH * 2];
      MultiByteToWideChar(CP_ACP, 0, lnkPath.c_str(), -1, wide, MAX_PATH * 2);
      if (SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[2048] = "";
        link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        info.path = text;
        text[0] = 0;
        link->GetDescription(text, sizeof text);
        info.description = text;
        text[0] = 0;
        link->GetWorkingDirectory(text, sizeof text);
        info.workingFolder = text;
        text[0] = 0;
        link->GetArguments(text, sizeof text);
        info.arguments = text;
        info.loaded = true;
      }
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return info;
}

std::vector<std::vector<std::string>> ReadStandinLog(const std::string& path) {
  std::vector<std::vector<std::string>> lines;
  for (const std::string& line : ReadLines(path))
    if (!line.empty()) lines.push_back(SplitTabs(line));
  return lines;
}
