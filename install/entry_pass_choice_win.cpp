#include <windows.h>

#include "install/entry_pass.h"

EntryPass ChooseEntryPass() {
  // The processor's own answer (CPUID) is not enough: a system that does not save the vector
  // registers when it switches threads would let another thread's values into the pass.
  if (IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE))
    return DigestDescrambleDigestSse2;
  return DigestDescrambleDigest;
}
