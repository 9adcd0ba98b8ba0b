#include "install/keystreams.h"

#include <cstring>

int DescrambleEntry(uint8_t* out, const uint8_t* in, uint32_t count, uint32_t seed,
                    const uint8_t keyTable[16]) {
  uint32_t a = seed;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t k = count - i;
    a = SquareStep(a, k);
    out[i] = uint8_t(in[i] ^ uint8_t((a & 0xff) + ((a >> 8) & 0xff) + keyTable[k % 16]));
    a = ShiftState(a);
  }
  return 0;
}

int DescrambleText(uint32_t seed, uint8_t* bytes, uint32_t count) {
  if (!bytes) return -1;
  uint32_t a = seed;
  for (uint32_t i = 0; i < count; ++i) {
    a = SquareStep(a, count - i);
    bytes[i] ^= uint8_t(a >> 8);
    a = ShiftState(a);
  }
  return 0;
}

void StartKeyChain(PayloadKey& key) {
  key.seed = PAYLOAD_SEED;
  memset(key.keyTable, 0, sizeof key.keyTable);
}

void AdvanceKeyChain(PayloadKey& key, const uint8_t scrambledDigest[16]) {
  memcpy(key.keyTable, scrambledDigest, 16);
  key.seed = ((key.seed * key.seed) << 8) | scrambledDigest[0];
}
