#include "tests/win/scratch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/win/helpers.h"

std::string ScratchFolder(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + name;
  WipeScratchFolder(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool MakeScratchFile(const std::string& path, const std::string& text) {
  for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
    CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  return WriteText(path, text);
}

void WipeScratchFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        WipeScratchFolder(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

std::vector<std::string> ListScratchFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string StandinArch() {
  const char* arch = getenv("MIXARRO_ARCH");
  if (arch && *arch) return arch;
  return sizeof(void*) == 8 ? "x86_64" : "i686";
}

std::string Wow64StandinArch() {
  const char* can = getenv("MIXARRO_CAN_RUN_32BIT");
  return can && strcmp(can, "0") == 0 ? StandinArch() : "i686";
}

std::string StandinFile(const char* file, const std::string& arch) {
  return BuildFolder() + "standins\\" + (arch.empty() ? StandinArch() : arch) + "\\" + file;
}

bool PlaceStandin(const char* file, const std::string& folder, const char* productName,
                  const std::string& arch) {
  return CopyFileA(StandinFile(file, arch).c_str(), (folder + "\\" + productName).c_str(), FALSE);
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string text = ReadWholeFile(path);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    parts.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return parts;
    start = tab + 1;
  }
}

namespace {

struct Work {
  void (*work)(void*);
  void* argument;
};

DWORD WINAPI RunWork(void* p) {
  Work* w = static_cast<Work*>(p);
  w->work(w->argument);
  return 0;
}

}  // namespace

bool EndsWithin(DWORD ms, void (*work)(void*), void* argument) {
  static Work w;
  w = {work, argument};
  HANDLE thread = CreateThread(nullptr, 0, RunWork, &w, 0, nullptr);
  if (!thread) return false;
  bool ended = WaitForSingleObject(thread, ms) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return ended;
}
