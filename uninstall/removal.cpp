#include "uninstall/removal.h"

#include <cstdio>
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

int FreeDelName(const char* path, int attempt, char* out, size_t capacity) {
  if (!path || !out || capacity == 0 || attempt < 0 || attempt > 99) return 0;
  if (!CopyText(out, capacity, path)) return 0;
  // A name without extension gets ".del" added: it must still be a name of its own.
  if (!ReplaceExtension(out, ".del", capacity) && !AppendText(out, capacity, ".del")) return 0;
  if (attempt == 0) return 1;
  out[strlen(out) - 4] = '\0';
  char suffix[8];
  snprintf(suffix, sizeof suffix, "~%d", attempt + 1);
  return AppendText(out, capacity, suffix) && AppendText(out, capacity, ".del");
}
