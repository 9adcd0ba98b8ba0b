// The payload archive: a catalogue of 156-byte entries followed by the scrambled file
// bytes, carried as resource RT_RCDATA 100 of the program; its keystreams and MD5.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ground/capacities.h"

struct InstallerContext;

constexpr uint32_t PAYLOAD_SEED = 0x3D9A62C5;
constexpr int PAYLOAD_RESOURCE_ID = 100;

// Digest of `length` bytes (RFC 1321); a zero length is valid.
void Md5Digest(const void* data, size_t length, uint8_t out[16]);
// Payload keystream over `count` bytes from `in` to `out` (may be the same buffer).
int DescrambleEntry(uint8_t* out, const uint8_t* in, uint32_t count, uint32_t seed,
                    const uint8_t keyTable[16]);
// Text keystream in place; -1 when `bytes` is null, else 0.
int DescrambleText(uint32_t seed, uint8_t* bytes, uint32_t count);

// Win32 side.
// Copies the catalogue of the program's payload into the context; 0, or -1.
int LoadCatalogue(InstallerContext& context);
// Descrambles, verifies and writes every entry (only `onlyName` when given) into
// targetFolder; 0, -1 (no payload) or -100 - number of failed entries.
int ExtractPayload(InstallerContext& context, const char* onlyName);
// 1 when the file was created (or truncated) and all bytes were written.
int WriteWholeFile(const char* path, const void* data, uint32_t size);
// 1 when the file can be opened for shared reading.
int FileExists(const char* path);
// Creates every missing folder level of the path; 1 on success.
int CreateFolderPath(const char* path);
