// Start-menu shortcuts (shell links) of the product.
#pragma once

#include <cstddef>
#include <cstdint>

// Buffer size of a link file path.
constexpr size_t LINK_PATH_CAPACITY = 2048;

// Saves "<folder>\<title>.LNK" pointing at `target` (description = title, working folder =
// the target's folder, `arguments` may be null); 0 (S_OK) or the failing call's result.
int32_t CreateShortcut(const char* target, const char* folder, const char* title,
                       const char* arguments);
// Deletes "<folder>\<title>.LNK"; non-zero when deleted.
int DeleteShortcut(const char* folder, const char* title);

// "<folder>[\]<title>.LNK" into `out`; 1 when the whole path fit and the title is not empty.
int BuildLinkPath(char* out, size_t capacity, const char* folder, const char* title);
