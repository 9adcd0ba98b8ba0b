// The pass over one payload entry that the walk makes: the digest of the bytes as they lie
// (which keys the next entry), the payload keystream in place, and the digest of the plain
// bytes (which verifies the entry), in one pass over the bytes.
#pragma once

#include <cstdint>

// Md5Digest of the bytes as they lie, DescrambleEntry in place and Md5Digest of the result,
// in one pass over the bytes.
void DigestDescrambleDigest(uint8_t* data, uint32_t count, uint32_t seed,
                            const uint8_t keyTable[16], uint8_t scrambledDigest[16],
                            uint8_t plainDigest[16]);
// DescrambleEntry in place followed by Md5Digest of the result, in one pass over the bytes.
void DescrambleAndDigest(uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
                         uint8_t plainDigest[16]);
