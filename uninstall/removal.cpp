#include "uninstall/removal.h"

#include <cstring>

#include "install/paths.h"
#include "install/payload.h"
#include "shell/context.h"

int IsSafeCatalogueName(const char* name) {
  if (!name || name[0] == '\0') return 0;
  const char* component = name;
  for (const char* p = name;; ++p) {
    char c = *p;
    if (c == ':') return 0;
    if (c == '\\' || c == '/' || c == '\0') {
      size_t length = static_cast<size_t>(p - component);
      // Empty components cover absolute names and doubled or trailing separators.
      if (length == 0) return 0;
      // ".", ".." and any other all-dots name lead out of the folder or name it.
      size_t dots = 0;
      while (dots < length && component[dots] == '.') ++dots;
      if (dots == length) return 0;
      if (c == '\0') return 1;
      component = p + 1;
    }
  }
}

int CatalogueEntryName(const unsigned char* catalogue, int index, char* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = '\0';
  if (!catalogue || index < 0) return 0;
  const char* field =
      reinterpret_cast<const char*>(catalogue + static_cast<size_t>(index) * CATALOGUE_ENTRY_SIZE);
  size_t length = strnlen(field, CATALOGUE_NAME_SIZE);
  if (length == CATALOGUE_NAME_SIZE || length >= capacity) return 0;
  CopyBytes(out, field, length);
  out[length] = '\0';
  if (IsSafeCatalogueName(out)) return 1;
  out[0] = '\0';
  return 0;
}

int HasDelExtension(const char* name) {
  size_t length = name ? strlen(name) : 0;
  return length >= 4 && EqualIgnoringAsciiCase(name + length - 4, ".del");
}
