#include "system/folders.h"

#include <cstring>

#include "ground/paths.h"

int PathRoot(char* path) {
  if (!path || path[0] == '\0') return 0;
  int rooted = 0;
  size_t end = 0;
  const bool leadingSeparator = path[0] == '\\';
  for (size_t i = 0;; ++i) {
    char c = path[i];
    if (c == '\0') {
      end = i;
      break;
    }
    if (c == ':') rooted = 1;
    if (c == '\\') {
      if (leadingSeparator) {
        if (i == 1) rooted = 1;
        if (i <= 2) continue;
      }
      end = i + 1;
      break;
    }
  }
  if (!rooted) {
    path[0] = '\0';
    return 0;
  }
  path[end] = '\0';
  return 1;
}

int ComposeTargetFolder(char* out, size_t capacity, const char* programFiles,
                        const char* windowsFolder, const char* subfolder) {
  char folder[2000];
  if (programFiles && programFiles[0]) {
    CopyText(folder, sizeof folder, programFiles);
  } else {
    if (windowsFolder) {
      CopyText(folder, sizeof folder, windowsFolder);
      PathRoot(folder);
      size_t n = strlen(folder);
      if (n > 0 && folder[n - 1] == '\\') folder[n - 1] = '\0';
    } else {
      CopyText(folder, sizeof folder, "C:");
    }
    AppendText(folder, sizeof folder, "\\Program Files\\");
  }
  int fit = CopyText(out, capacity, folder);
  if (!EndsWithBackslash(out)) fit &= AppendText(out, capacity, "\\");
  fit &= AppendText(out, capacity, subfolder);
  return fit;
}
