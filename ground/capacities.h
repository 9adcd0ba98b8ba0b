// The fixed sizes that every layer shares: the buffers of paths and texts, the catalogue
// record, the log line. They stand here, at the bottom, so that a component sizing a buffer
// needs nothing of the layers above it.
#pragma once

#include <cstddef>

#include "editions/edition.h"

// A path: folder, a backslash when the folder lacks one, then the name.
constexpr int PATH_CAPACITY = 1024;
constexpr int ERROR_CAPTION_CAPACITY = 512;
constexpr int ERROR_TEXT_CAPACITY = 2048;
constexpr int STATUS_LINE_CAPACITY = 1024;

constexpr int CATALOGUE_NAME_SIZE = 128;
// One catalogue entry: name, offset, size, digest, reserved.
constexpr int CATALOGUE_ENTRY_SIZE = 156;
// The largest edition's catalogue; an edition uses the first entryCount * 156 bytes.
constexpr int MAX_CATALOGUE_SIZE = MAX_PAYLOAD_ENTRY_COUNT * CATALOGUE_ENTRY_SIZE;

// One line of the run log as a step gives it (the time prefix is written before it).
constexpr size_t LOG_LINE_CAPACITY = 2048;
