// libFuzzer target: the SSE2 pass over an entry against the pass in the general registers,
// which stands for the definition (the native tests hold it to the keystream and MD5 step by
// step). Any seed, table, length and alignment must give the same bytes and both digests, and
// neither pass may touch a byte outside the entry.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "install/entry_pass.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  // seed (4 bytes), table (16), alignment (1), then the entry's bytes.
  if (size < 21) return 0;
  uint32_t seed;
  memcpy(&seed, input, 4);
  uint8_t table[16];
  memcpy(table, input + 4, 16);
  const size_t at = input[20] % 16;
  const uint8_t* bytes = input + 21;
  const uint32_t count = uint32_t(size - 21);
  // The entry between guard bytes, at the given distance from an aligned start.
  std::vector<uint8_t> general(at + count + 16, 0xa5);
  memcpy(general.data() + at, bytes, count);
  std::vector<uint8_t> sse2 = general;
  uint8_t generalScrambled[16], generalPlain[16], sse2Scrambled[16], sse2Plain[16];
  DigestDescrambleDigest(general.data() + at, count, seed, table, generalScrambled, generalPlain);
  DigestDescrambleDigestSse2(sse2.data() + at, count, seed, table, sse2Scrambled, sse2Plain);
  if (general != sse2) abort();
  if (memcmp(generalScrambled, sse2Scrambled, 16) != 0) abort();
  if (memcmp(generalPlain, sse2Plain, 16) != 0) abort();
  for (size_t i = 0; i < at; ++i)
    if (general[i] != 0xa5) abort();
  for (size_t i = at + count; i < general.size(); ++i)
    if (general[i] != 0xa5) abort();
  return 0;
}
