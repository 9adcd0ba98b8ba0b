// What the passes over an entry share besides MD5: the table bytes of a block and the end of a
// pass, after its whole blocks.
#pragma once

#include <cstdint>

#include "install/md5.h"

// Adds a block's working words to the digest state it started from, as MD5 ends each block.
inline void AddBlockResult(uint32_t state[4], uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

// The table bytes of a 64-byte block that starts with `k` bytes left: keyTable[(k - j) % 16]
// for j = 0..15, the same for every block of an entry since 64 is a multiple of 16.
void BlockTable(const uint8_t keyTable[16], uint32_t k, uint8_t table[16]);

// Ends a pass whose whole blocks are in both digests: the last part block (shorter than 64
// bytes) is digested as it lies, descrambled with the keystream at `stream`, digested again,
// and both digests are written out.
void FinishEntryPass(Md5State& scrambled, Md5State& plain, uint8_t* data, uint32_t count,
                     uint32_t stream, const uint8_t keyTable[16], uint8_t scrambledDigest[16],
                     uint8_t plainDigest[16]);
