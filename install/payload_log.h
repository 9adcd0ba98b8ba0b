// The run log's line for one payload entry, apart from the payload core, which the host's
// packing tool shares and which knows nothing of the log.
#pragma once

#include <cstddef>
#include <cstdint>

#include "install/payload_core.h"

// How a write of an entry ended, for its log line.
struct EntryWrite {
  int attempted;        // 0: its path did not fit, nothing was written
  uint32_t written;     // bytes written before the write ended
  unsigned long error;  // the Windows error of the failing call; 0 when none was read
};
// The log line of one entry: "file <name> (<size> bytes): " and what came of it, a distinct
// text for each reason it failed (out of the payload's bounds, an unsafe name, a digest
// mismatch: "FAILED verification", a path too long, a short write, a Windows error).
// 1 when the whole line fit.
int FormatExtractedEntryLine(char* out, size_t capacity, const char* name, uint32_t size,
                             EntryVerdict verdict, int written, const EntryWrite& write);
