#include "uninstall/removal.h"

#include <cstring>

#include "install/paths.h"
#include "install/payload.h"
#include "install/payload_core.h"
#include "shell/context.h"

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
  if (CatalogueNameIsSafe(out)) return 1;
  out[0] = '\0';
  return 0;
}

int HasDelExtension(const char* name) {
  size_t length = name ? strlen(name) : 0;
  return length >= 4 && EqualIgnoringAsciiCase(name + length - 4, ".del");
}
