#include "install/payload_core.h"

#include <cstdio>
#include <cstring>

#include "ground/paths.h"

namespace {

inline uint32_t RotateLeft(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

inline uint32_t LoadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

#define MD5_STEP(f, a, b, c, d, x, t, s) \
  a += f(b, c, d) + (x) + (t);           \
  a = RotateLeft(a, s) + b;
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

// Runs the compression function over `blocks` whole 64-byte blocks.
void Md5Blocks(uint32_t state[4], const uint8_t* p, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks > 0; --blocks, p += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLe32(p + 4 * i);
    const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
    MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070db, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22)
    MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62a, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501, 22)
    MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7be, 22)
    MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438e, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821, 22)

    MD5_STEP(MD5_G, a, b, c, d, x[1], 0xf61e2562, 5)
    MD5_STEP(MD5_G, d, a, b, c, x[6], 0xc040b340, 9)
    MD5_STEP(MD5_G, c, d, a, b, x[11], 0x265e5a51, 14)
    MD5_STEP(MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20)
    MD5_STEP(MD5_G, a, b, c, d, x[5], 0xd62f105d, 5)
    MD5_STEP(MD5_G, d, a, b, c, x[10], 0x02441453, 9)
    MD5_STEP(MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14)
    MD5_STEP(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20)
    MD5_STEP(MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5)
    MD5_STEP(MD5_G, d, a, b, c, x[14], 0xc33707d6, 9)
    MD5_STEP(MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14)
    MD5_STEP(MD5_G, b, c, d, a, x[8], 0x455a14ed, 20)
    MD5_STEP(MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5)
    MD5_STEP(MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9)
    MD5_STEP(MD5_G, c, d, a, b, x[7], 0x676f02d9, 14)
    MD5_STEP(MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20)

    MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380c, 23)
    MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23)
    MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05, 23)
    MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23)

    MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039, 21)
    MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47d, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1, 21)
    MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21)
    MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391, 21)

    a += a0;
    b += b0;
    c += c0;
    d += d0;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

// The square-and-shift step shared by both keystreams: the state before its shift.
inline uint32_t SquareStep(uint32_t a, uint32_t k) {
  a += k;
  return a * a;
}

// Arithmetic shift of the state taken as a signed 32-bit number.
inline uint32_t ShiftState(uint32_t a) {
  return uint32_t(int32_t(a) >> 8);
}

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

// The table bytes of a 64-byte block that starts with `k` bytes left: keyTable[(k - j) % 16]
// for j = 0..15, the same for every block of an entry since 64 is a multiple of 16.
void BlockTable(const uint8_t keyTable[16], uint32_t k, uint8_t table[16]) {
  for (uint32_t j = 0; j < 16; ++j) table[j] = keyTable[(k - j) % 16];
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
  MD5_STEP(f, w##1, x##1, y##1, z##1, xs[i], t, s)                        \
  MD5_STEP(f, w##2, x##2, y##2, z##2, xp[i], t, s)                        \
  KEYSTREAM_INTO(ks, key, k - (j), table[(j) % 16], (j) % 4, xs[(j) / 4]) \
  if ((j) % 4 == 3) StoreLe32(block + (j)-3, key);
  THREE(MD5_F, a, b, c, d, 0, 0xd76aa478, 7, 0)
  THREE(MD5_F, d, a, b, c, 1, 0xe8c7b756, 12, 1)
  THREE(MD5_F, c, d, a, b, 2, 0x242070db, 17, 2)
  THREE(MD5_F, b, c, d, a, 3, 0xc1bdceee, 22, 3)
  THREE(MD5_F, a, b, c, d, 4, 0xf57c0faf, 7, 4)
  THREE(MD5_F, d, a, b, c, 5, 0x4787c62a, 12, 5)
  THREE(MD5_F, c, d, a, b, 6, 0xa8304613, 17, 6)
  THREE(MD5_F, b, c, d, a, 7, 0xfd469501, 22, 7)
  THREE(MD5_F, a, b, c, d, 8, 0x698098d8, 7, 8)
  THREE(MD5_F, d, a, b, c, 9, 0x8b44f7af, 12, 9)
  THREE(MD5_F, c, d, a, b, 10, 0xffff5bb1, 17, 10)
  THREE(MD5_F, b, c, d, a, 11, 0x895cd7be, 22, 11)
  THREE(MD5_F, a, b, c, d, 12, 0x6b901122, 7, 12)
  THREE(MD5_F, d, a, b, c, 13, 0xfd987193, 12, 13)
  THREE(MD5_F, c, d, a, b, 14, 0xa679438e, 17, 14)
  THREE(MD5_F, b, c, d, a, 15, 0x49b40821, 22, 15)
  THREE(MD5_G, a, b, c, d, 1, 0xf61e2562, 5, 16)
  THREE(MD5_G, d, a, b, c, 6, 0xc040b340, 9, 17)
  THREE(MD5_G, c, d, a, b, 11, 0x265e5a51, 14, 18)
  THREE(MD5_G, b, c, d, a, 0, 0xe9b6c7aa, 20, 19)
  THREE(MD5_G, a, b, c, d, 5, 0xd62f105d, 5, 20)
  THREE(MD5_G, d, a, b, c, 10, 0x02441453, 9, 21)
  THREE(MD5_G, c, d, a, b, 15, 0xd8a1e681, 14, 22)
  THREE(MD5_G, b, c, d, a, 4, 0xe7d3fbc8, 20, 23)
  THREE(MD5_G, a, b, c, d, 9, 0x21e1cde6, 5, 24)
  THREE(MD5_G, d, a, b, c, 14, 0xc33707d6, 9, 25)
  THREE(MD5_G, c, d, a, b, 3, 0xf4d50d87, 14, 26)
  THREE(MD5_G, b, c, d, a, 8, 0x455a14ed, 20, 27)
  THREE(MD5_G, a, b, c, d, 13, 0xa9e3e905, 5, 28)
  THREE(MD5_G, d, a, b, c, 2, 0xfcefa3f8, 9, 29)
  THREE(MD5_G, c, d, a, b, 7, 0x676f02d9, 14, 30)
  THREE(MD5_G, b, c, d, a, 12, 0x8d2a4c8a, 20, 31)
  THREE(MD5_H, a, b, c, d, 5, 0xfffa3942, 4, 32)
  THREE(MD5_H, d, a, b, c, 8, 0x8771f681, 11, 33)
  THREE(MD5_H, c, d, a, b, 11, 0x6d9d6122, 16, 34)
  THREE(MD5_H, b, c, d, a, 14, 0xfde5380c, 23, 35)
  THREE(MD5_H, a, b, c, d, 1, 0xa4beea44, 4, 36)
  THREE(MD5_H, d, a, b, c, 4, 0x4bdecfa9, 11, 37)
  THREE(MD5_H, c, d, a, b, 7, 0xf6bb4b60, 16, 38)
  THREE(MD5_H, b, c, d, a, 10, 0xbebfbc70, 23, 39)
  THREE(MD5_H, a, b, c, d, 13, 0x289b7ec6, 4, 40)
  THREE(MD5_H, d, a, b, c, 0, 0xeaa127fa, 11, 41)
  THREE(MD5_H, c, d, a, b, 3, 0xd4ef3085, 16, 42)
  THREE(MD5_H, b, c, d, a, 6, 0x04881d05, 23, 43)
  THREE(MD5_H, a, b, c, d, 9, 0xd9d4d039, 4, 44)
  THREE(MD5_H, d, a, b, c, 12, 0xe6db99e5, 11, 45)
  THREE(MD5_H, c, d, a, b, 15, 0x1fa27cf8, 16, 46)
  THREE(MD5_H, b, c, d, a, 2, 0xc4ac5665, 23, 47)
  THREE(MD5_I, a, b, c, d, 0, 0xf4292244, 6, 48)
  THREE(MD5_I, d, a, b, c, 7, 0x432aff97, 10, 49)
  THREE(MD5_I, c, d, a, b, 14, 0xab9423a7, 15, 50)
  THREE(MD5_I, b, c, d, a, 5, 0xfc93a039, 21, 51)
  THREE(MD5_I, a, b, c, d, 12, 0x655b59c3, 6, 52)
  THREE(MD5_I, d, a, b, c, 3, 0x8f0ccc92, 10, 53)
  THREE(MD5_I, c, d, a, b, 10, 0xffeff47d, 15, 54)
  THREE(MD5_I, b, c, d, a, 1, 0x85845dd1, 21, 55)
  THREE(MD5_I, a, b, c, d, 8, 0x6fa87e4f, 6, 56)
  THREE(MD5_I, d, a, b, c, 15, 0xfe2ce6e0, 10, 57)
  THREE(MD5_I, c, d, a, b, 6, 0xa3014314, 15, 58)
  THREE(MD5_I, b, c, d, a, 13, 0x4e0811a1, 21, 59)
  THREE(MD5_I, a, b, c, d, 4, 0xf7537e82, 6, 60)
  THREE(MD5_I, d, a, b, c, 11, 0xbd3af235, 10, 61)
  THREE(MD5_I, c, d, a, b, 2, 0x2ad7d2bb, 15, 62)
  THREE(MD5_I, b, c, d, a, 9, 0xeb86d391, 21, 63)
#undef THREE
  scrambledState[0] += a1;
  scrambledState[1] += b1;
  scrambledState[2] += c1;
  scrambledState[3] += d1;
  plainState[0] += a2;
  plainState[1] += b2;
  plainState[2] += c2;
  plainState[3] += d2;
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

void Md5Begin(Md5State& md5) {
  md5.state[0] = 0x67452301;
  md5.state[1] = 0xefcdab89;
  md5.state[2] = 0x98badcfe;
  md5.state[3] = 0x10325476;
  md5.length = 0;
}

void Md5Add(Md5State& md5, const void* data, size_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  size_t used = size_t(md5.length % 64);
  md5.length += length;
  if (used > 0) {
    size_t take = 64 - used < length ? 64 - used : length;
    memcpy(md5.buffer + used, p, take);
    p += take;
    length -= take;
    if (used + take < 64) return;
    Md5Blocks(md5.state, md5.buffer, 1);
  }
  Md5Blocks(md5.state, p, length / 64);
  p += length / 64 * 64;
  if (length % 64) memcpy(md5.buffer, p, length % 64);
}

void Md5End(Md5State& md5, uint8_t out[16]) {
  uint8_t tail[128] = {};
  size_t used = size_t(md5.length % 64);
  memcpy(tail, md5.buffer, used);
  tail[used] = 0x80;
  size_t total = used < 56 ? 64 : 128;
  uint64_t bits = md5.length * 8;
  for (int i = 0; i < 8; ++i) tail[total - 8 + i] = uint8_t(bits >> (8 * i));
  Md5Blocks(md5.state, tail, total / 64);
  for (int i = 0; i < 4; ++i) StoreLe32(out + 4 * i, md5.state[i]);
}

void Md5Digest(const void* data, size_t length, uint8_t out[16]) {
  Md5State md5;
  Md5Begin(md5);
  Md5Add(md5, data, length);
  Md5End(md5, out);
}

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
  // The last part block: digested as it lies, descrambled, digested again.
  uint8_t* rest = data + 64 * uint64_t(blocks);
  Md5Add(scrambled, rest, count % 64);
  KeystreamRange(data, 64 * blocks, count, count, stream, keyTable);
  Md5Add(plain, rest, count % 64);
  Md5End(scrambled, scrambledDigest);
  Md5End(plain, plainDigest);
}

void DescrambleAndDigest(uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
                         uint8_t plainDigest[16]) {
  uint8_t before[16];
  DigestDescrambleDigest(data, count, seed, keyTable, before, plainDigest);
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

void ReadCatalogueEntry(const uint8_t* catalogue, int index, CatalogueEntry& entry) {
  const uint8_t* p = catalogue + size_t(index) * CATALOGUE_ENTRY_SIZE;
  memcpy(entry.name, p, CATALOGUE_NAME_SIZE);
  entry.offset = LoadLe32(p + 128);
  entry.size = LoadLe32(p + 132);
  memcpy(entry.digest, p + 136, 16);
  entry.reserved = LoadLe32(p + 152);
}

void WriteCatalogueEntry(const CatalogueEntry& entry, uint8_t* out) {
  memcpy(out, entry.name, CATALOGUE_NAME_SIZE);
  StoreLe32(out + 128, entry.offset);
  StoreLe32(out + 132, entry.size);
  memcpy(out + 136, entry.digest, 16);
  StoreLe32(out + 152, entry.reserved);
}

void StartKeyChain(PayloadKey& key) {
  key.seed = PAYLOAD_SEED;
  memset(key.keyTable, 0, sizeof key.keyTable);
}

void AdvanceKeyChain(PayloadKey& key, const uint8_t scrambledDigest[16]) {
  memcpy(key.keyTable, scrambledDigest, 16);
  key.seed = ((key.seed * key.seed) << 8) | scrambledDigest[0];
}

int EntryInBounds(uint32_t offset, uint32_t size, uint64_t blobSize) {
  return uint64_t(offset) + uint64_t(size) <= blobSize;
}

int CatalogueNameIsSafe(const char* name) {
  if (!name || name[0] == '\0') return 0;
  const char* component = name;
  for (const char* p = name;; ++p) {
    char c = *p;
    if (c == ':') return 0;
    if (c == '\\' || c == '/' || c == '\0') {
      size_t length = static_cast<size_t>(p - component);
      // An empty component: an absolute name, or a doubled or trailing separator.
      if (length == 0) return 0;
      // "..", "." and what Windows turns into them by dropping trailing dots and blanks
      // ("...", ". .") lead out of the folder or name it.
      size_t n = 0;
      while (n < length && (component[n] == '.' || component[n] == ' ')) ++n;
      if (n == length) return 0;
      if (c == '\0') return 1;
      component = p + 1;
    }
  }
}

int EntryNameIsSafe(const char name[CATALOGUE_NAME_SIZE]) {
  if (strnlen(name, CATALOGUE_NAME_SIZE) == CATALOGUE_NAME_SIZE) return 0;
  return CatalogueNameIsSafe(name);
}

int WalkPayload(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                PayloadMemory* memory, PayloadEntrySink sink, void* user) {
  if (memory && (memory->blob != blob || memory->blobSize != blobSize)) {
    ZeroBytes(memory, sizeof *memory);
    memory->blob = blob;
    memory->blobSize = blobSize;
  }
  PayloadKey key;
  StartKeyChain(key);
  int failures = 0;
  for (int i = 0; i < entryCount && i < MAX_PAYLOAD_ENTRY_COUNT; ++i) {
    CatalogueEntry entry;
    ReadCatalogueEntry(catalogue, i, entry);
    if (!EntryInBounds(entry.offset, entry.size, blobSize)) {
      ++failures;
      if (sink) sink(user, i, entry, ENTRY_OUT_OF_BOUNDS, nullptr);
      continue;
    }
    uint8_t* data = blob + entry.offset;
    uint8_t scrambled[16], plain[16];
    DigestDescrambleDigest(data, entry.size, key.seed, key.keyTable, scrambled, plain);
    if (memory && memory->plain[i] && BytesEqual(scrambled, memory->leftDigest[i], 16)) {
      // Descrambled by an earlier walk and untouched since: the pass has just scrambled the
      // plain bytes, so the keystream (its own inverse) puts them back, and the chain's digest
      // is the remembered one. Only a second extraction in one process gets here.
      DescrambleEntry(data, data, entry.size, key.seed, key.keyTable);
      CopyBytes(plain, scrambled, 16);
      CopyBytes(scrambled, memory->scrambledDigest[i], 16);
    } else {
      if (memory) {
        memory->plain[i] = 1;
        CopyBytes(memory->scrambledDigest[i], scrambled, 16);
        CopyBytes(memory->leftDigest[i], plain, 16);
      }
    }
    EntryVerdict verdict = ENTRY_VERIFIED;
    if (!EntryNameIsSafe(entry.name))
      verdict = ENTRY_UNSAFE_NAME;
    else if (!BytesEqual(plain, entry.digest, 16))
      verdict = ENTRY_DIGEST_MISMATCH;
    if (verdict != ENTRY_VERIFIED) {
      ++failures;
      if (sink) sink(user, i, entry, verdict, nullptr);
    } else if (sink && !sink(user, i, entry, verdict, data)) {
      ++failures;
    }
    AdvanceKeyChain(key, scrambled);
  }
  return failures;
}

int ScramblePayload(uint8_t* blob, uint64_t blobSize, int entryCount) {
  PayloadKey key;
  StartKeyChain(key);
  for (int i = 0; i < entryCount; ++i) {
    CatalogueEntry entry;
    ReadCatalogueEntry(blob, i, entry);
    if (!EntryInBounds(entry.offset, entry.size, blobSize)) return 0;
    uint8_t* data = blob + entry.offset;
    uint8_t scrambled[16];
    DescrambleAndDigest(data, entry.size, key.seed, key.keyTable, scrambled);
    AdvanceKeyChain(key, scrambled);
  }
  return 1;
}

int CreateFolderLevels(const char* path, MakeFolderFn makeFolder, void* user) {
  if (!path) return 0;
  char buffer[1024];
  if (!CopyText(buffer, sizeof buffer, path)) return 0;
  size_t length = strlen(buffer);
  if (length < 5) return 0;
  size_t i = 2;
  while (buffer[i] && buffer[i] != '\\') ++i;
  if (buffer[0] == '\\' && buffer[1] == '\\' && buffer[i] == '\\') {
    // \\server\share: the share belongs to the root too.
    ++i;
    while (buffer[i] && buffer[i] != '\\') ++i;
  }
  if (!buffer[i]) return 1;
  ++i;
  if (!buffer[i]) return 1;
  for (; buffer[i]; ++i) {
    if (buffer[i] != '\\') continue;
    buffer[i] = '\0';
    int made = makeFolder(user, buffer);
    buffer[i] = '\\';
    if (!made) return 0;
  }
  if (buffer[length - 1] != '\\') return makeFolder(user, buffer);
  return 1;
}

namespace {

struct ExtractJob {
  const char* targetFolder;
  const char* onlyName;
  const PayloadFileOps* ops;
};

void ReportEntry(const ExtractJob& job, const CatalogueEntry& entry, EntryVerdict verdict,
                 int written) {
  if (!job.ops->report) return;
  // The stored name need not be terminated within its 128 bytes.
  char name[CATALOGUE_NAME_SIZE + 1];
  memcpy(name, entry.name, CATALOGUE_NAME_SIZE);
  name[CATALOGUE_NAME_SIZE] = '\0';
  job.ops->report(job.ops->user, name, entry.size, verdict, written);
}

// Writes one verified entry when it is selected; 0 counts a failure.
int WriteSelectedEntry(void* user, int, const CatalogueEntry& entry, EntryVerdict verdict,
                       const uint8_t* data) {
  const ExtractJob& job = *static_cast<const ExtractJob*>(user);
  if (verdict != ENTRY_VERIFIED) {
    ReportEntry(job, entry, verdict, 0);
    return 0;
  }
  if (job.onlyName && strncmp(job.onlyName, entry.name, CATALOGUE_NAME_SIZE) != 0) return 1;
  char path[1024];
  int written = JoinPath(path, sizeof path, job.targetFolder, entry.name);
  if (written) {
    char folder[1024];
    CopyText(folder, sizeof folder, path);
    CutAtLastBackslash(folder);
    if (strcmp(folder, job.targetFolder) != 0) job.ops->createFolderPath(job.ops->user, folder);
    written = job.ops->writeFile(job.ops->user, path, data, entry.size);
  }
  ReportEntry(job, entry, ENTRY_VERIFIED, written);
  return written;
}

}  // namespace

int ExtractFromBlob(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                    PayloadMemory* memory, const char* targetFolder, const char* onlyName,
                    const PayloadFileOps& ops) {
  ExtractJob job = {targetFolder ? targetFolder : "", onlyName, &ops};
  return WalkPayload(blob, blobSize, catalogue, entryCount, memory, WriteSelectedEntry, &job);
}

int FormatExtractedEntryLine(char* out, size_t capacity, const char* name, uint32_t size,
                             EntryVerdict verdict, int written, const EntryWrite& write) {
  if (!out || capacity == 0) return 0;
  const char* shown = name ? name : "?";
  const unsigned bytes = size;
  int n = 0;
  if (verdict == ENTRY_OUT_OF_BOUNDS)
    n = snprintf(out, capacity, "file %s (%u bytes): FAILED the bounds check, not written", shown,
                 bytes);
  else if (verdict == ENTRY_UNSAFE_NAME)
    n = snprintf(out, capacity, "file %s (%u bytes): FAILED, an unsafe name, not written", shown,
                 bytes);
  else if (verdict != ENTRY_VERIFIED)
    n = snprintf(out, capacity, "file %s (%u bytes): FAILED verification, not written", shown,
                 bytes);
  else if (written)
    n = snprintf(out, capacity, "file %s (%u bytes): verified, written", shown, bytes);
  else if (!write.attempted)
    n = snprintf(out, capacity, "file %s (%u bytes): verified, NOT written (its path is too long)",
                 shown, bytes);
  else if (write.error == 0)
    n = snprintf(out, capacity,
                 "file %s (%u bytes): verified, NOT written (short write, %u of %u bytes)", shown,
                 bytes, static_cast<unsigned>(write.written), bytes);
  else
    n = snprintf(out, capacity,
                 "file %s (%u bytes): verified, NOT written (error %lu after %u bytes)", shown,
                 bytes, write.error, static_cast<unsigned>(write.written));
  return n >= 0 && static_cast<size_t>(n) < capacity;
}
