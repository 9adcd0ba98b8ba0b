#include "uninstall/pending_renames.h"

namespace {

uint16_t FoldAscii(uint16_t c) {
  return c >= 'A' && c <= 'Z' ? static_cast<uint16_t>(c - 'A' + 'a') : c;
}

size_t TextLength(const uint16_t* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

// 1 when `path` (n units, without its zero) is `folder` or lies below it.
int IsAtOrBelow(const uint16_t* path, size_t n, const uint16_t* folder) {
  static const uint16_t NT_PREFIX[] = {'\\', '?', '?', '\\'};
  if (n >= 4 && path[0] == NT_PREFIX[0] && path[1] == NT_PREFIX[1] && path[2] == NT_PREFIX[2] &&
      path[3] == NT_PREFIX[3]) {
    path += 4;
    n -= 4;
  }
  size_t f = TextLength(folder);
  while (f > 0 && folder[f - 1] == '\\') --f;
  if (f == 0 || n < f) return 0;
  for (size_t i = 0; i < f; ++i)
    if (FoldAscii(path[i]) != FoldAscii(folder[i])) return 0;
  return n == f || path[f] == '\\';
}

int EndsWithDel(const uint16_t* path, size_t n) {
  return n >= 4 && path[n - 4] == '.' && FoldAscii(path[n - 3]) == 'd' &&
         FoldAscii(path[n - 2]) == 'e' && FoldAscii(path[n - 1]) == 'l';
}

}  // namespace

int DropPendingDeletionsBelow(const uint16_t* value, size_t units, const uint16_t* folder,
                              uint16_t* out, size_t outCapacity, size_t* outUnits) {
  if (!outUnits) return -1;
  *outUnits = 0;
  if (units == 0) return 0;
  if (!value || !folder || !out) return -1;
  // The texts of the list: each ends at a zero; an odd last one that is empty is the zero
  // that ends the list.
  size_t texts = 0;
  size_t at = 0;
  while (at < units) {
    while (at < units && value[at]) ++at;
    if (at == units) return -1;  // a text without its zero: not ours to rewrite
    ++at;
    ++texts;
  }
  if (texts % 2 == 1) {
    if (value[units - 1] != 0 || (units > 1 && value[units - 2] != 0)) return -1;
    --texts;
  }
  int dropped = 0;
  size_t written = 0;
  at = 0;
  for (size_t pair = 0; pair < texts / 2; ++pair) {
    const uint16_t* source = value + at;
    const size_t sourceLength = TextLength(source);
    const uint16_t* target = source + sourceLength + 1;
    const size_t targetLength = TextLength(target);
    const size_t pairUnits = sourceLength + 1 + targetLength + 1;
    at += pairUnits;
    if (targetLength == 0 && IsAtOrBelow(source, sourceLength, folder) &&
        !EndsWithDel(source, sourceLength)) {
      ++dropped;
      continue;
    }
    if (written + pairUnits + 1 > outCapacity) return -1;
    for (size_t i = 0; i < pairUnits; ++i) out[written + i] = source[i];
    written += pairUnits;
  }
  if (written > 0) out[written++] = 0;
  *outUnits = written;
  return dropped;
}
