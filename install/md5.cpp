#include "install/md5.h"

#include <cstring>

#include "install/little_endian.h"
#include "install/md5_rounds.h"

void Md5Blocks(uint32_t state[4], const uint8_t* p, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks > 0; --blocks, p += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLe32(p + 4 * i);
    const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
#define ONE(f, w, x_, y, z, i, t, s, j) MD5_STEP(MD5_##f, w, x_, y, z, x[i], t, s)
    MD5_ROUNDS(ONE)
#undef ONE
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
