#include "system/ansi_paths.h"

#include <cstdio>

int FormatPathReachLine(char* out, size_t capacity, const char* what, int reach, unsigned codePage,
                        const char* shortForm, const char* consequence) {
  if (!out || capacity == 0) return 0;
  int n = 0;
  if (reach == PATH_REACH_SHORT)
    n = snprintf(out, capacity,
                 "%s cannot be named in this system's code page %u: its short name \"%s\" is used",
                 what, codePage, shortForm ? shortForm : "");
  else if (reach == PATH_REACH_NONE)
    n = snprintf(out, capacity,
                 "%s cannot be named in this system's code page %u, nor by a short name: %s", what,
                 codePage, consequence ? consequence : "it is not used");
  else
    out[0] = '\0';
  return n >= 0 && static_cast<size_t>(n) < capacity;
}
