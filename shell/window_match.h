// Which running windows belong to the product's applications and are told to end at start.
#pragma once

#include <cstddef>

#include "shell/texts.h"

// 1 when the class is exactly the mixer class and the title begins with the prefix.
int MatchesProductClass(const char* className, const char* title, const char* prefix);
// 1 when a top-level window without owner has a title that begins with the prefix.
int MatchesProductTitle(const wchar_t* title, int hasOwner, const wchar_t* prefix);
