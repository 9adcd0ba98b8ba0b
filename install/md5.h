// MD5 (RFC 1321): the whole-buffer digest (Md5Digest, declared with the payload), the
// incremental form for callers that feed the bytes in pieces, and the compression function
// that the one-pass entry walk shares.
#pragma once

#include <cstddef>
#include <cstdint>

#include "install/payload.h"

struct Md5State {
  uint32_t state[4];
  uint64_t length;
  uint8_t buffer[64];
};
void Md5Begin(Md5State& md5);
void Md5Add(Md5State& md5, const void* data, size_t length);
void Md5End(Md5State& md5, uint8_t out[16]);

// Runs the compression function over `blocks` whole 64-byte blocks.
void Md5Blocks(uint32_t state[4], const uint8_t* p, size_t blocks);
