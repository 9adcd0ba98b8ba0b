// The pass over one payload entry that the walk makes: the digest of the bytes as they lie
// (which keys the next entry), the payload keystream in place, and the digest of the plain
// bytes (which verifies the entry), in one pass over the bytes. Two passes give the same
// bytes and digests: one for any processor, and one for processors with SSE2, which the
// program takes when the system says that it has them.
#pragma once

#include <cstdint>

// Md5Digest of the bytes as they lie, DescrambleEntry in place and Md5Digest of the result,
// in one pass over the bytes.
using EntryPass = void (*)(uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
                           uint8_t scrambledDigest[16], uint8_t plainDigest[16]);
// Any processor: the three chains in the general registers.
void DigestDescrambleDigest(uint8_t* data, uint32_t count, uint32_t seed,
                            const uint8_t keyTable[16], uint8_t scrambledDigest[16],
                            uint8_t plainDigest[16]);
// SSE2 only: the same three chains, with the key bytes applied to the block 16 at a time by
// the vector registers, so that the general registers' units are left to the chains.
void DigestDescrambleDigestSse2(uint8_t* data, uint32_t count, uint32_t seed,
                                const uint8_t keyTable[16], uint8_t scrambledDigest[16],
                                uint8_t plainDigest[16]);

// The pass that the walk makes over each entry: DigestDescrambleDigest until the program has
// asked the system for a faster one (UseEntryPass; null takes DigestDescrambleDigest again).
void UseEntryPass(EntryPass pass);
EntryPass CurrentEntryPass();

// DescrambleEntry in place followed by Md5Digest of the result, in one pass over the bytes.
void DescrambleAndDigest(uint8_t* data, uint32_t count, uint32_t seed, const uint8_t keyTable[16],
                         uint8_t plainDigest[16]);

// Win32 side.
// The fastest pass that this processor and system run: the SSE2 one when the system reports
// the instructions present (it then also keeps the vector registers across thread switches).
EntryPass ChooseEntryPass();
