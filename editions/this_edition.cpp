// Compiled once per program with MIXARRO_EDITION_TABLE naming that build's edition table.
#include "editions/edition.h"

#ifndef MIXARRO_EDITION_TABLE
#error "MIXARRO_EDITION_TABLE must name the edition table of this build"
#endif

const EditionConfig& ThisEdition() {
  return MIXARRO_EDITION_TABLE;
}
