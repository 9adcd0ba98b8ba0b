#include "tests/win/edition_choice.h"

namespace {

const EditionConfig* chosen = &INDIGO_EDITION;

}  // namespace

const EditionConfig& ThisEdition() {
  return *chosen;
}

void ChooseEdition(const EditionConfig& edition) {
  chosen = &edition;
}
