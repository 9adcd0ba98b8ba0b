#include "install/payload_core.h"

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

// One byte of the payload keystream with state `ks`; `k` is the count of bytes not yet
// processed, this one included.
#define KEYSTREAM_BYTE(ks, byte, k)                                         \
  ks = SquareStep(ks, (k));                                                 \
  (byte) ^= uint8_t((ks & 0xff) + ((ks >> 8) & 0xff) + keyTable[(k) % 16]); \
  ks = ShiftState(ks);

// Digests the plain 64-byte block `p` while descrambling the 64 bytes at `next`, whose first
// byte has `k` bytes left including itself. MD5 and the keystream are two chains of dependent
// steps; interleaved, the processor runs both at once.
void Md5BlockWithKeystream(uint32_t state[4], const uint8_t* p, uint8_t* next, uint32_t& stream,
                           uint32_t k, const uint8_t keyTable[16]) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLe32(p + 4 * i);
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  uint32_t ks = stream;
#define FUSED(f, w, x1, y, z, m, t, s, j) \
  MD5_STEP(f, w, x1, y, z, m, t, s)       \
  KEYSTREAM_BYTE(ks, next[j], k - (j))
  FUSED(MD5_F, a, b, c, d, x[0], 0xd76aa478, 7, 0)
  FUSED(MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12, 1)
  FUSED(MD5_F, c, d, a, b, x[2], 0x242070db, 17, 2)
  FUSED(MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22, 3)
  FUSED(MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7, 4)
  FUSED(MD5_F, d, a, b, c, x[5], 0x4787c62a, 12, 5)
  FUSED(MD5_F, c, d, a, b, x[6], 0xa8304613, 17, 6)
  FUSED(MD5_F, b, c, d, a, x[7], 0xfd469501, 22, 7)
  FUSED(MD5_F, a, b, c, d, x[8], 0x698098d8, 7, 8)
  FUSED(MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12, 9)
  FUSED(MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17, 10)
  FUSED(MD5_F, b, c, d, a, x[11], 0x895cd7be, 22, 11)
  FUSED(MD5_F, a, b, c, d, x[12], 0x6b901122, 7, 12)
  FUSED(MD5_F, d, a, b, c, x[13], 0xfd987193, 12, 13)
  FUSED(MD5_F, c, d, a, b, x[14], 0xa679438e, 17, 14)
  FUSED(MD5_F, b, c, d, a, x[15], 0x49b40821, 22, 15)
  FUSED(MD5_G, a, b, c, d, x[1], 0xf61e2562, 5, 16)
  FUSED(MD5_G, d, a, b, c, x[6], 0xc040b340, 9, 17)
  FUSED(MD5_G, c, d, a, b, x[11], 0x265e5a51, 14, 18)
  FUSED(MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20, 19)
  FUSED(MD5_G, a, b, c, d, x[5], 0xd62f105d, 5, 20)
  FUSED(MD5_G, d, a, b, c, x[10], 0x02441453, 9, 21)
  FUSED(MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14, 22)
  FUSED(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20, 23)
  FUSED(MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5, 24)
  FUSED(MD5_G, d, a, b, c, x[14], 0xc33707d6, 9, 25)
  FUSED(MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14, 26)
  FUSED(MD5_G, b, c, d, a, x[8], 0x455a14ed, 20, 27)
  FUSED(MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5, 28)
  FUSED(MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9, 29)
  FUSED(MD5_G, c, d, a, b, x[7], 0x676f02d9, 14, 30)
  FUSED(MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20, 31)
  FUSED(MD5_H, a, b, c, d, x[5], 0xfffa3942, 4, 32)
  FUSED(MD5_H, d, a, b, c, x[8], 0x8771f681, 11, 33)
  FUSED(MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16, 34)
  FUSED(MD5_H, b, c, d, a, x[14], 0xfde5380c, 23, 35)
  FUSED(MD5_H, a, b, c, d, x[1], 0xa4beea44, 4, 36)
  FUSED(MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11, 37)
  FUSED(MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16, 38)
  FUSED(MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23, 39)
  FUSED(MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4, 40)
  FUSED(MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11, 41)
  FUSED(MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16, 42)
  FUSED(MD5_H, b, c, d, a, x[6], 0x04881d05, 23, 43)
  FUSED(MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4, 44)
  FUSED(MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11, 45)
  FUSED(MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16, 46)
  FUSED(MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23, 47)
  FUSED(MD5_I, a, b, c, d, x[0], 0xf4292244, 6, 48)
  FUSED(MD5_I, d, a, b, c, x[7], 0x432aff97, 10, 49)
  FUSED(MD5_I, c, d, a, b, x[14], 0xab9423a7, 15, 50)
  FUSED(MD5_I, b, c, d, a, x[5], 0xfc93a039, 21, 51)
  FUSED(MD5_I, a, b, c, d, x[12], 0x655b59c3, 6, 52)
  FUSED(MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10, 53)
  FUSED(MD5_I, c, d, a, b, x[10], 0xffeff47d, 15, 54)
  FUSED(MD5_I, b, c, d, a, x[1], 0x85845dd1, 21, 55)
  FUSED(MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6, 56)
  FUSED(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10, 57)
  FUSED(MD5_I, c, d, a, b, x[6], 0xa3014314, 15, 58)
  FUSED(MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21, 59)
  FUSED(MD5_I, a, b, c, d, x[4], 0xf7537e82, 6, 60)
  FUSED(MD5_I, d, a, b, c, x[11], 0xbd3af235, 10, 61)
  FUSED(MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15, 62)
  FUSED(MD5_I, b, c, d, a, x[9], 0xeb86d391, 21, 63)
#undef FUSED
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  stream = ks;
}

// Continues the payload keystream over bytes [from, to) of an entry of `count` bytes.
void KeystreamRange(uint8_t* data, uint32_t from, uint32_t to, uint32_t count, uint32_t& stream,
                    const uint8_t keyTable[16]) {
  uint32_t ks = stream;
  for (uint32_t i = from; i < to; ++i) {
    KEYSTREAM_BYTE(ks, data[i], count - i)
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

void DescrambleAndDigest(uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
                         uint8_t plainDigest[16]) {
  uint32_t stream = seed;
  const uint32_t blocks = count / 64;
  KeystreamRange(data, 0, count < 64 ? count : 64, count, stream, keyTable);
  Md5State md5;
  Md5Begin(md5);
  for (uint32_t b = 0; b + 1 < blocks; ++b)
    Md5BlockWithKeystream(md5.state, data + 64 * b, data + 64 * (b + 1), stream,
                          count - 64 * (b + 1), keyTable);
  if (blocks > 0) {
    Md5Blocks(md5.state, data + 64 * (blocks - 1), 1);
    KeystreamRange(data, 64 * blocks, count, count, stream, keyTable);
  }
  md5.length = 64 * uint64_t(blocks);
  Md5Add(md5, data + 64 * uint64_t(blocks), count % 64);
  Md5End(md5, plainDigest);
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
    Md5Digest(data, entry.size, plain);
    if (memory && memory->plain[i] && BytesEqual(plain, memory->leftDigest[i], 16)) {
      // Descrambled by an earlier walk and untouched since: the chain's digest is remembered.
      CopyBytes(scrambled, memory->scrambledDigest[i], 16);
    } else {
      CopyBytes(scrambled, plain, 16);
      DescrambleAndDigest(data, entry.size, key.seed, key.keyTable, plain);
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

void ReportEntry(const ExtractJob& job, const CatalogueEntry& entry, int verified, int written) {
  if (!job.ops->report) return;
  // The stored name need not be terminated within its 128 bytes.
  char name[CATALOGUE_NAME_SIZE + 1];
  memcpy(name, entry.name, CATALOGUE_NAME_SIZE);
  name[CATALOGUE_NAME_SIZE] = '\0';
  job.ops->report(job.ops->user, name, entry.size, verified, written);
}

// Writes one verified entry when it is selected; 0 counts a failure.
int WriteSelectedEntry(void* user, int, const CatalogueEntry& entry, EntryVerdict verdict,
                       const uint8_t* data) {
  const ExtractJob& job = *static_cast<const ExtractJob*>(user);
  if (verdict != ENTRY_VERIFIED) {
    ReportEntry(job, entry, 0, 0);
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
  ReportEntry(job, entry, 1, written);
  return written;
}

}  // namespace

int ExtractFromBlob(uint8_t* blob, uint64_t blobSize, const uint8_t* catalogue, int entryCount,
                    PayloadMemory* memory, const char* targetFolder, const char* onlyName,
                    const PayloadFileOps& ops) {
  ExtractJob job = {targetFolder ? targetFolder : "", onlyName, &ops};
  return WalkPayload(blob, blobSize, catalogue, entryCount, memory, WriteSelectedEntry, &job);
}
