// The two keystreams (DescrambleEntry for the payload, DescrambleText for the texts, both
// declared with the payload) and the key chain that keys each payload entry from the one
// before it.
#pragma once

#include <cstdint>

#include "install/payload.h"

// The running key of the chain: the seed and table that key the next entry.
struct PayloadKey {
  uint32_t seed;
  uint8_t keyTable[16];
};
// The key of entry 0.
void StartKeyChain(PayloadKey& key);
// Moves the key on past an entry whose scrambled bytes digest to `scrambledDigest`.
void AdvanceKeyChain(PayloadKey& key, const uint8_t scrambledDigest[16]);

// The square-and-shift step shared by both keystreams: the state before its shift.
inline uint32_t SquareStep(uint32_t a, uint32_t k) {
  a += k;
  return a * a;
}

// Arithmetic shift of the state taken as a signed 32-bit number.
inline uint32_t ShiftState(uint32_t a) {
  return uint32_t(int32_t(a) >> 8);
}
