#include "install/registry.h"

#include "ground/paths.h"

const char UNINSTALL_KEY[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QX:Mixarro {17359A74-1236-5467}";
const char PRODUCT_USER_KEY[] = "QX-Audio\\MixArro";
const char SHELL_FOLDERS_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

int TakeRegistryText(const char* bytes, size_t count, char* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = '\0';
  if (!bytes) return count == 0;
  size_t length = 0;
  while (length < count && bytes[length] != '\0') ++length;
  // A value stored without its NUL ends at its byte count, never beyond.
  size_t copied = length < capacity ? length : capacity - 1;
  CopyBytes(out, bytes, copied);
  out[copied] = '\0';
  return copied == length;
}
