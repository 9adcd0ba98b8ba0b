#include "install/shortcuts.h"

#include "ground/paths.h"

int BuildLinkPath(char* out, size_t capacity, const char* folder, const char* title) {
  if (!folder || !title || title[0] == '\0') return 0;
  return JoinPath(out, capacity, folder, title) && AppendText(out, capacity, ".LNK");
}
