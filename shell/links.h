// The two web pages that the window opens: the picture link (a click on the picture) and
// the completion link (after a successful install). Both are kept scrambled with the text
// keystream under LINK_SEED, terminating zero included, and are only descrambled into a
// local buffer the moment they are opened.
#pragma once

#include <cstdint>

#include "shell/window_logic.h"

constexpr uint32_t LINK_SEED = 0x6D1C4A93;

extern const uint8_t PICTURE_LINK[PICTURE_LINK_SIZE];
extern const uint8_t COMPLETION_LINK[COMPLETION_LINK_SIZE];

// Descrambles `length` stored bytes into `buffer` of LINK_BUFFER_SIZE bytes; 1 when done,
// 0 (buffer untouched) when the stored text would not fit.
int DescrambleLink(const uint8_t* stored, int length, char* buffer);

#ifdef _WIN32
struct InstallerContext;
// Opens one stored link with the shell's "open" verb; what the shell answers is not looked at.
void OpenLink(const InstallerContext& context, const uint8_t* stored, int length);
#endif
