#include "install/entry_pass.h"

#include <cstring>

#include "install/entry_pass_parts.h"
#include "install/keystreams.h"
#include "install/little_endian.h"
#include "install/md5.h"
#include "install/md5_rounds.h"

namespace {

// One byte of the payload keystream: `ks` is the state, `k` the count of bytes not yet
// processed (this one included), `t` the table byte keyTable[k % 16]. Only the low 8 bits of
// the key byte count, so bits 0-7 plus bits 8-15 of the square is the low byte of the square
// plus the shifted state, and the shift that the next byte needs anyway gives both.
#define KEYSTREAM_BYTE(ks, byte, k, t)       \
  {                                          \
    ks += (k);                               \
    ks *= ks;                                \
    const uint32_t shifted = ShiftState(ks); \
    (byte) ^= uint8_t(ks + shifted + (t));   \
    ks = shifted;                            \
  }

// The same for the three-chain pass: byte `n` (0 to 3) of a word goes straight into `key`, the
// stored `word` descrambled so far. The count of bytes left is held in a register of its own:
// folded into the addition it makes a three-operand address computation on the keystream's
// chain, which is slower on some processors and limits the whole pass.
#define KEYSTREAM_INTO(ks, key, k, t, n, word) \
  {                                            \
    uint32_t left = (k);                       \
    asm("" : "+r"(left));                      \
    ks += left;                                \
    ks *= ks;                                  \
    const uint32_t shifted = ShiftState(ks);   \
    const uint32_t v = ks + shifted + (t);     \
    if ((n) == 0)                              \
      key = (word) ^ (v & 0xff);               \
    else if ((n) == 3)                         \
      key ^= v << 24;                          \
    else                                       \
      key ^= (v & 0xff) << (8 * (n));          \
    ks = shifted;                              \
  }

// Three chains over one entry, a block at a time: the digest of the scrambled 64-byte block
// `block` (read before it changes), the keystream over the same 64 bytes, whose first byte has
// `k` bytes left including itself, and the digest of the block before it, `plain`, which the
// previous call left descrambled. Each chain is a string of dependent steps that alone leaves
// most of the processor idle; written side by side, their steps run at once, and each byte is
// read while it is still in the cache.
void ThreeChainBlock(uint32_t scrambledState[4], uint32_t plainState[4], uint8_t* block,
                     const uint8_t* plain, uint32_t& stream, uint32_t k,
                     const uint8_t tableIn[16]) {
  // A copy of its own beside the other locals: in the 32-bit build no register is left for a
  // pointer to the caller's.
  uint8_t table[16];
  memcpy(table, tableIn, 16);
  uint32_t xs[16], xp[16];
  for (int i = 0; i < 16; ++i) xs[i] = LoadLe32(block + 4 * i);
  for (int i = 0; i < 16; ++i) xp[i] = LoadLe32(plain + 4 * i);
  uint32_t a1 = scrambledState[0], b1 = scrambledState[1], c1 = scrambledState[2],
           d1 = scrambledState[3];
  uint32_t a2 = plainState[0], b2 = plainState[1], c2 = plainState[2], d2 = plainState[3];
  uint32_t ks = stream;
  // The key bytes go into a copy of the scrambled word, which is stored once whole: a store of
  // each byte as it comes costs several times more here.
  uint32_t key = 0;
#define THREE(f, w, x, y, z, i, t, s, j)                                  \
  MD5_STEP(MD5_##f, w##1, x##1, y##1, z##1, xs[i], t, s)                  \
  MD5_STEP(MD5_##f, w##2, x##2, y##2, z##2, xp[i], t, s)                  \
  KEYSTREAM_INTO(ks, key, k - (j), table[(j) % 16], (j) % 4, xs[(j) / 4]) \
  if ((j) % 4 == 3) StoreLe32(block + (j)-3, key);
  MD5_ROUNDS(THREE)
#undef THREE
  AddBlockResult(scrambledState, a1, b1, c1, d1);
  AddBlockResult(plainState, a2, b2, c2, d2);
  stream = ks;
}

// Continues the payload keystream over bytes [from, to) of an entry of `count` bytes.
void KeystreamRange(uint8_t* data, uint32_t from, uint32_t to, uint32_t count, uint32_t& stream,
                    const uint8_t keyTable[16]) {
  uint32_t ks = stream;
  for (uint32_t i = from; i < to; ++i) {
    KEYSTREAM_BYTE(ks, data[i], count - i, keyTable[(count - i) % 16])
  }
  stream = ks;
}

}  // namespace

void BlockTable(const uint8_t keyTable[16], uint32_t k, uint8_t table[16]) {
  for (uint32_t j = 0; j < 16; ++j) table[j] = keyTable[(k - j) % 16];
}

void FinishEntryPass(Md5State& scrambled, Md5State& plain, uint8_t* data, uint32_t count,
                     uint32_t stream, const uint8_t keyTable[16], uint8_t scrambledDigest[16],
                     uint8_t plainDigest[16]) {
  uint8_t* rest = data + uint64_t(count / 64) * 64;
  Md5Add(scrambled, rest, count % 64);
  KeystreamRange(data, count / 64 * 64, count, count, stream, keyTable);
  Md5Add(plain, rest, count % 64);
  Md5End(scrambled, scrambledDigest);
  Md5End(plain, plainDigest);
}

void DigestDescrambleDigest(uint8_t* data, uint32_t count, uint32_t seed,
                            const uint8_t keyTable[16], uint8_t scrambledDigest[16],
                            uint8_t plainDigest[16]) {
  Md5State scrambled, plain;
  Md5Begin(scrambled);
  Md5Begin(plain);
  uint32_t stream = seed;
  const uint32_t blocks = count / 64;
  if (blocks > 0) {
    uint8_t table[16];
    BlockTable(keyTable, count, table);
    // The first block has no plain block before it: its third chain digests zeros into a
    // state that is dropped.
    static const uint8_t zeros[64] = {};
    uint32_t unused[4] = {};
    ThreeChainBlock(scrambled.state, unused, data, zeros, stream, count, table);
    for (uint32_t b = 1; b < blocks; ++b)
      ThreeChainBlock(scrambled.state, plain.state, data + 64 * b, data + 64 * (b - 1), stream,
                      count - 64 * b, table);
    Md5Blocks(plain.state, data + 64 * (blocks - 1), 1);
    scrambled.length = plain.length = 64 * uint64_t(blocks);
  }
  FinishEntryPass(scrambled, plain, data, count, stream, keyTable, scrambledDigest, plainDigest);
}

void DescrambleAndDigest(uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
                         uint8_t plainDigest[16]) {
  uint8_t before[16];
  DigestDescrambleDigest(data, count, seed, keyTable, before, plainDigest);
}

namespace {

EntryPass entryPass = DigestDescrambleDigest;

}  // namespace

void UseEntryPass(EntryPass pass) {
  entryPass = pass ? pass : DigestDescrambleDigest;
}

EntryPass CurrentEntryPass() {
  return entryPass;
}
