// The one pass over an entry for processors with SSE2. The three chains (the digest of the
// scrambled block, the digest of the plain block two before it and the keystream) stay in the
// general registers; the vector registers take the key bytes' table share and their XOR into
// the block, 16 bytes to an instruction, which leaves the general registers' units to the
// chains. (Both digests in two lanes of one vector register would halve their instructions,
// but a vector addition, logic or shift takes two cycles on some processors where the same in
// a general register takes one, and each digest is a chain of such steps.)
#include <emmintrin.h>

#include <cstring>

#include "install/entry_pass.h"
#include "install/entry_pass_parts.h"
#include "install/keystreams.h"
#include "install/md5.h"
#include "install/md5_rounds.h"

namespace {

#define SSE2 __attribute__((target("sse2")))

inline uint32_t Word(const uint8_t* p, int i) {
  uint32_t w;
  memcpy(&w, p + 4 * i, 4);
  return w;
}

// Applies a block's key bytes without the table's share, gathered in `keys`, to the block.
SSE2 inline void ApplyKeys(uint8_t* block, const uint8_t* keys, int q, __m128i table) {
  __m128i* at = reinterpret_cast<__m128i*>(block + 16 * q);
  const __m128i key =
      _mm_add_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(keys + 16 * q)), table);
  _mm_storeu_si128(at, _mm_xor_si128(_mm_loadu_si128(at), key));
}

// One 64-byte block of the three chains: the scrambled `block` (read before it changes), the
// plain block two before it, `plain`, and the keystream over `block`, whose first byte has `k`
// bytes left including itself. Each key byte, without the table's share, goes to `keys` with
// one store; the keys of the block before, `keysBefore`, are applied to it, `before`. A block's
// keys wait a block before the vector load takes them: loaded while their byte stores are still
// on their way, it would wait for them with the processor stalled behind it. The plain digest
// stays two blocks behind for the same reason.
SSE2 __attribute__((always_inline)) inline void ThreeChainBlock(
    uint32_t scrambledState[4], uint32_t plainState[4], uint8_t* block, const uint8_t* plain,
    uint8_t* before, uint8_t* keys, const uint8_t* keysBefore, uint32_t& stream, uint32_t k,
    __m128i table) {
  uint32_t a1 = scrambledState[0], b1 = scrambledState[1], c1 = scrambledState[2],
           d1 = scrambledState[3];
  uint32_t a2 = plainState[0], b2 = plainState[1], c2 = plainState[2], d2 = plainState[3];
  uint32_t ks = stream;
  // The count of bytes left is held in a register of its own: folded into the addition it
  // makes a three-operand address computation on the keystream's chain, which is slower on
  // some processors. Only the key's low byte counts: the square's low byte plus the shifted
  // state, and the table's share that the vector adds.
#define KEY_BYTE(j)                          \
  {                                          \
    uint32_t left = k - (j);                 \
    asm("" : "+r"(left));                    \
    ks += left;                              \
    ks *= ks;                                \
    const uint32_t shifted = ShiftState(ks); \
    keys[j] = uint8_t(ks + shifted);         \
    ks = shifted;                            \
  }
#define THREE(f, w, x, y, z, i, t, s, j)                          \
  MD5_STEP(MD5_##f, w##1, x##1, y##1, z##1, Word(block, i), t, s) \
  MD5_STEP(MD5_##f, w##2, x##2, y##2, z##2, Word(plain, i), t, s) \
  KEY_BYTE(j)                                                     \
  if ((j) % 16 == 15) ApplyKeys(before, keysBefore, (j) / 16, table);
  MD5_ROUNDS(THREE)
#undef THREE
#undef KEY_BYTE
  AddBlockResult(scrambledState, a1, b1, c1, d1);
  AddBlockResult(plainState, a2, b2, c2, d2);
  stream = ks;
}

}  // namespace

// The 32-bit system keeps its stack aligned to 4 bytes only; the vector locals need 16.
SSE2 __attribute__((force_align_arg_pointer)) void DigestDescrambleDigestSse2(
    uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
    uint8_t scrambledDigest[16], uint8_t plainDigest[16]) {
  Md5State scrambled, plain;
  Md5Begin(scrambled);
  Md5Begin(plain);
  uint32_t stream = seed;
  const uint32_t blocks = count / 64;
  if (blocks > 0) {
    alignas(16) uint8_t tableBytes[16];
    BlockTable(keyTable, count, tableBytes);
    const __m128i table = _mm_load_si128(reinterpret_cast<const __m128i*>(tableBytes));
    // Until the plain digest has a block two before, it digests zeros into a state that is
    // then dropped; the keys of the block before the first go to a spare block, unread.
    static const uint8_t zeros[64] = {};
    alignas(16) uint8_t keys[2][64] = {};
    alignas(16) uint8_t spare[64];
    uint32_t unused[4] = {};
    uint8_t* before = spare;
    // The first two blocks apart from the others: in the loop over the rest, the plain block,
    // the block before and the states are each at a fixed distance from the block, which
    // leaves the general registers to the chains.
    const uint32_t first = blocks < 2 ? blocks : 2;
    for (uint32_t b = 0; b < first; ++b) {
      uint8_t* block = data + 64 * b;
      ThreeChainBlock(scrambled.state, unused, block, zeros, before, keys[b % 2], keys[1 - b % 2],
                      stream, count - 64 * b, table);
      before = block;
    }
    for (uint32_t b = 2; b < blocks; ++b) {
      uint8_t* block = data + 64 * b;
      ThreeChainBlock(scrambled.state, plain.state, block, block - 128, block - 64, keys[b % 2],
                      keys[1 - b % 2], stream, count - 64 * b, table);
      before = block;
    }
    for (int q = 0; q < 4; ++q) ApplyKeys(before, keys[1 - blocks % 2], q, table);
    const uint32_t behind = blocks >= 2 ? 2 : 1;
    Md5Blocks(plain.state, data + 64 * (blocks - behind), behind);
    scrambled.length = plain.length = 64 * uint64_t(blocks);
  }
  FinishEntryPass(scrambled, plain, data, count, stream, keyTable, scrambledDigest, plainDigest);
}
