#include "install/name_rules.h"

#include <cstring>

int CatalogueNameIsSafe(const char* name) {
  if (!name || name[0] == '\0') return 0;
  const char* component = name;
  for (const char* p = name;; ++p) {
    char c = *p;
    if (c == ':') return 0;
    if (c == '\\' || c == '/' || c == '\0') {
      size_t length = static_cast<size_t>(p - component);
      // An empty component: an absolute name, or a doubled or trailing separator.
      if (length == 0) return 0;
      // "..", "." and what Windows turns into them by dropping trailing dots and blanks
      // ("...", ". .") lead out of the folder or name it.
      size_t n = 0;
      while (n < length && (component[n] == '.' || component[n] == ' ')) ++n;
      if (n == length) return 0;
      if (c == '\0') return 1;
      component = p + 1;
    }
  }
}

int EntryNameIsSafe(const char name[CATALOGUE_NAME_SIZE]) {
  if (strnlen(name, CATALOGUE_NAME_SIZE) == CATALOGUE_NAME_SIZE) return 0;
  return CatalogueNameIsSafe(name);
}
