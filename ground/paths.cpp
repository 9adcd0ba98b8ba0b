#include "ground/paths.h"

#include <cstring>

void CutAtLastBackslash(char* path) {
  if (!path) return;
  for (size_t i = strlen(path); i > 0; --i) {
    if (path[i - 1] == '\\') {
      path[i - 1] = '\0';
      return;
    }
  }
}

void KeepFileName(char* path) {
  if (!path) return;
  const char* last = strrchr(path, '\\');
  if (!last) return;
  memmove(path, last + 1, strlen(last + 1) + 1);
}

int ReplaceExtension(char* path, const char* extension, size_t capacity) {
  if (!path || !extension) return 0;
  size_t len = strlen(path);
  size_t i = len;
  while (i > 0) {
    char c = path[i - 1];
    if (c == '\\') return 0;
    if (c == '.') break;
    --i;
  }
  if (i == 0) return 0;
  size_t cut = (extension[0] == '.') ? i - 1 : i;  // i - 1 is the dot
  if (cut + strlen(extension) + 1 > capacity) return 0;
  strcpy(path + cut, extension);
  return 1;
}

int CopyText(char* dest, size_t capacity, const char* src) {
  if (!dest || capacity == 0) return 0;
  if (!src) src = "";
  size_t n = strlen(src);
  int whole = n < capacity;
  if (!whole) n = capacity - 1;
  memcpy(dest, src, n);
  dest[n] = '\0';
  return whole;
}

int AppendText(char* dest, size_t capacity, const char* src) {
  if (!dest || capacity == 0) return 0;
  size_t used = strnlen(dest, capacity);
  if (used >= capacity) {
    dest[capacity - 1] = '\0';
    return 0;
  }
  return CopyText(dest + used, capacity - used, src);
}

int EndsWithBackslash(const char* text) {
  size_t n = text ? strlen(text) : 0;
  return n > 0 && text[n - 1] == '\\';
}

int IsFullPath(const char* path) {
  if (!path) return 0;
  const char c = path[0];
  if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':' && path[2] == '\\')
    return 1;
  return path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
}

int JoinPath(char* dest, size_t capacity, const char* folder, const char* name) {
  if (!CopyText(dest, capacity, folder)) return 0;
  if (dest[0] != '\0' && !EndsWithBackslash(dest) && !AppendText(dest, capacity, "\\")) return 0;
  return AppendText(dest, capacity, name);
}

int EqualIgnoringAsciiCase(const char* a, const char* b) {
  if (!a || !b) return a == b;
  for (;; ++a, ++b) {
    unsigned char ca = (unsigned char)*a, cb = (unsigned char)*b;
    if (ca >= 'A' && ca <= 'Z') ca = (unsigned char)(ca + 32);
    if (cb >= 'A' && cb <= 'Z') cb = (unsigned char)(cb + 32);
    if (ca != cb) return 0;
    if (ca == 0) return 1;
  }
}

void CopyBytes(void* dest, const void* src, size_t n) {
  if (dest == src || n == 0) return;
  memmove(dest, src, n);
}

int BytesEqual(const void* a, const void* b, size_t n) {
  if (a == b || n == 0) return 1;
  return memcmp(a, b, n) == 0 ? 1 : 0;
}

void ZeroBytes(void* p, size_t n) {
  if (p && n) memset(p, 0, n);
}
