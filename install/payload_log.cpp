#include "install/payload_log.h"

#include <cstdio>

#include "ground/log_lines.h"

int FormatExtractedEntryLine(char* out, size_t capacity, const char* name, uint32_t size,
                             EntryVerdict verdict, int written, const EntryWrite& write) {
  if (!out || capacity == 0) return 0;
  const char* shown = name ? name : "?";
  const unsigned bytes = size;
  int n = 0;
  if (verdict == ENTRY_OUT_OF_BOUNDS)
    n = snprintf(out, capacity, "file %s (%u bytes): FAILED the bounds check, not written", shown,
                 bytes);
  else if (verdict == ENTRY_UNSAFE_NAME)
    n = snprintf(out, capacity, "file %s (%u bytes): FAILED, an unsafe name, not written", shown,
                 bytes);
  else if (verdict != ENTRY_VERIFIED)
    n = snprintf(out, capacity, "file %s (%u bytes): FAILED verification, not written", shown,
                 bytes);
  else if (written)
    n = snprintf(out, capacity, "file %s (%u bytes): verified, written", shown, bytes);
  else if (!write.attempted)
    n = snprintf(out, capacity, "file %s (%u bytes): verified, NOT written (its path is too long)",
                 shown, bytes);
  else if (write.error == 0)
    n = snprintf(out, capacity,
                 "file %s (%u bytes): verified, NOT written (short write, %u of %u bytes)", shown,
                 bytes, static_cast<unsigned>(write.written), bytes);
  else {
    char why[320];  // the words Windows has for the error, as the other failure lines show
    FormatWindowsError(why, sizeof why, write.error);
    n = snprintf(out, capacity, "file %s (%u bytes): verified, NOT written after %u bytes (%s)",
                 shown, bytes, static_cast<unsigned>(write.written), why);
  }
  return n >= 0 && static_cast<size_t>(n) < capacity;
}
