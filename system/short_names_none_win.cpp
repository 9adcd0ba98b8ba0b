// For test builds only: a volume whose 8.3 names are turned off (a choice of NTFS, and the
// rule on ReFS), where a path that the code page cannot carry has no second form either.
#include "system/ansi_paths.h"

unsigned long ReadShortPath(const wchar_t*, wchar_t* out, unsigned long capacity) {
  if (out && capacity > 0) out[0] = L'\0';
  return 0;
}
