// The short (8.3) names as the volume gives them.
#include "ground/platform.h"
#include "system/ansi_paths.h"

unsigned long ReadShortPath(const wchar_t* path, wchar_t* out, unsigned long capacity) {
  if (!out || capacity == 0) return 0;
  const DWORD n = GetShortPathNameW(path, out, capacity);
  if (n == 0 || n >= capacity) {
    out[0] = L'\0';
    return 0;
  }
  return n;
}
