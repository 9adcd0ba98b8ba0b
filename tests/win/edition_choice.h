// The edition whose table the code under test reads through ThisEdition(): the test program
// is one program for both editions, Indigo unless a test chooses the other for a while.
#pragma once

#include "editions/edition.h"

// From now on ThisEdition() is `edition`.
void ChooseEdition(const EditionConfig& edition);
