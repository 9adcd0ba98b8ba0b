// Which running windows belong to the product's applications and are told to end at start.
#pragma once

#include <cstddef>

// Class of the mixer applications' main window.
extern const char PRODUCT_WINDOW_CLASS[];
// Title prefix of the mixer main windows ("MixArro").
extern const char PRODUCT_TITLE_PREFIX[];
// Title prefixes of the other applications, told to end whatever their class.
extern const wchar_t* const PRODUCT_WIDE_TITLES[];
extern const int PRODUCT_WIDE_TITLE_COUNT;

// 1 when the class is exactly the mixer class and the title begins with the prefix.
int MatchesProductClass(const char* className, const char* title, const char* prefix);
// 1 when a top-level window without owner has a title that begins with the prefix.
int MatchesProductTitle(const wchar_t* title, int hasOwner, const wchar_t* prefix);
