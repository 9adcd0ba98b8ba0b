#include "install/folder_levels.h"

#include <cstring>

#include "ground/paths.h"

int CreateFolderLevels(const char* path, MakeFolderFn makeFolder, void* user) {
  if (!path) return 0;
  char buffer[1024];
  if (!CopyText(buffer, sizeof buffer, path)) return 0;
  size_t length = strlen(buffer);
  if (length < 5) return 0;
  size_t i = 2;
  while (buffer[i] && buffer[i] != '\\') ++i;
  if (buffer[0] == '\\' && buffer[1] == '\\' && buffer[i] == '\\') {
    // \\server\share: the share belongs to the root too.
    ++i;
    while (buffer[i] && buffer[i] != '\\') ++i;
  }
  if (!buffer[i]) return 1;
  ++i;
  if (!buffer[i]) return 1;
  for (; buffer[i]; ++i) {
    if (buffer[i] != '\\') continue;
    buffer[i] = '\0';
    int made = makeFolder(user, buffer);
    buffer[i] = '\\';
    if (!made) return 0;
  }
  if (buffer[length - 1] != '\\') return makeFolder(user, buffer);
  return 1;
}
