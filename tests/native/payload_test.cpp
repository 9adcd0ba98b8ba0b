// The payload core: MD5, both keystreams, the key chain, the verifying walk with its failure
// cases, the extractor's selection and paths, and the folder-level walk.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ground/paths.h"
#include "install/payload_core.h"
#include "install/payload_log.h"

namespace {

std::string Hex(const uint8_t* d, size_t n = 16) {
  std::string s;
  char b[3];
  for (size_t i = 0; i < n; ++i) {
    snprintf(b, sizeof b, "%02x", d[i]);
    s += b;
  }
  return s;
}

std::string Md5Hex(const void* data, size_t length) {
  uint8_t d[16];
  Md5Digest(data, length, d);
  return Hex(d);
}

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = uint8_t(rng());
  return v;
}

TEST(Md5, Rfc1321TestSuite) {
  struct Case {
    const char* text;
    const char* digest;
  } const cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Md5Hex(c.text, strlen(c.text)), c.digest) << '"' << c.text << '"';
  std::string million(1000000, 'a');
  EXPECT_EQ(Md5Hex(million.data(), million.size()), "7707d6ae4e027c70eea2a935c2296f21");
}

// A large random buffer against the system's md5sum, and fed in uneven pieces.
TEST(Md5, LargeRandomBufferMatchesMd5sumAndPieces) {
  std::vector<uint8_t> data = RandomBytes(5 * 1024 * 1024 + 37, 1234);
  char path[] = "/tmp/mixarro-md5-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  FILE* f = fdopen(fd, "wb");
  ASSERT_EQ(fwrite(data.data(), 1, data.size(), f), data.size());
  fclose(f);
  std::string command = std::string("md5sum ") + path;
  FILE* p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char line[128] = "";
  ASSERT_NE(fgets(line, sizeof line, p), nullptr);
  pclose(p);
  remove(path);
  std::string expected(line, 32);
  EXPECT_EQ(Md5Hex(data.data(), data.size()), expected);

  // Lengths around the 55/56/64-byte padding edges, piece by piece.
  for (size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u}) {
    Md5State md5;
    Md5Begin(md5);
    size_t at = 0, piece = 1;
    while (at < length) {
      size_t take = std::min(piece, length - at);
      Md5Add(md5, data.data() + at, take);
      at += take;
      piece = piece * 3 + 1;
    }
    uint8_t d[16];
    Md5End(md5, d);
    EXPECT_EQ(Hex(d), Md5Hex(data.data(), length)) << "length " << length;
  }
}

// The payload keystream written out literally from its definition, with 64-bit arithmetic.
void ReferenceEntryStream(uint8_t* bytes, uint32_t count, uint32_t seed, const uint8_t table[16]) {
  int64_t a = seed;
  for (uint32_t i = 0; i < count; ++i) {
    int64_t k = int64_t(count) - i;
    a = (a + k) % 4294967296LL;
    a = int64_t((uint64_t(a) * uint64_t(a)) % 4294967296ULL);
    int key = int((a % 256) + ((a / 256) % 256) + table[k % 16]) % 256;
    bytes[i] = uint8_t(bytes[i] ^ key);
    int64_t signedA = a >= 2147483648LL ? a - 4294967296LL : a;
    int64_t shifted = signedA >= 0 ? signedA / 256 : -((-signedA + 255) / 256);  // floor
    a = shifted < 0 ? shifted + 4294967296LL : shifted;
  }
}

void ReferenceTextStream(uint8_t* bytes, uint32_t count, uint32_t seed) {
  int64_t a = seed;
  for (uint32_t i = 0; i < count; ++i) {
    a = (a + (int64_t(count) - i)) % 4294967296LL;
    a = int64_t((uint64_t(a) * uint64_t(a)) % 4294967296ULL);
    bytes[i] = uint8_t(bytes[i] ^ ((a / 256) % 256));
    int64_t signedA = a >= 2147483648LL ? a - 4294967296LL : a;
    int64_t shifted = signedA >= 0 ? signedA / 256 : -((-signedA + 255) / 256);
    a = shifted < 0 ? shifted + 4294967296LL : shifted;
  }
}

TEST(Keystream, MatchesDefinitionAndUndoesItself) {
  std::vector<uint8_t> plain = RandomBytes(4099, 7);
  const uint8_t table[16] = {1, 2, 3, 250, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 200, 16};
  for (uint32_t seed : {0u, 1u, PAYLOAD_SEED, 0x80000000u, 0xffffffffu}) {
    for (uint32_t count : {1u, 2u, 15u, 16u, 17u, 4099u}) {
      std::vector<uint8_t> expected(plain.begin(), plain.begin() + count);
      ReferenceEntryStream(expected.data(), count, seed, table);
      std::vector<uint8_t> got(count);
      EXPECT_EQ(DescrambleEntry(got.data(), plain.data(), count, seed, table), 0);
      ASSERT_EQ(got, expected) << "entry stream, seed " << seed << " count " << count;
      DescrambleEntry(got.data(), got.data(), count, seed, table);
      EXPECT_TRUE(std::equal(got.begin(), got.end(), plain.begin())) << "twice, seed " << seed;

      std::vector<uint8_t> text(plain.begin(), plain.begin() + count);
      std::vector<uint8_t> textExpected = text;
      ReferenceTextStream(textExpected.data(), count, seed);
      EXPECT_EQ(DescrambleText(seed, text.data(), count), 0);
      ASSERT_EQ(text, textExpected) << "text stream, seed " << seed << " count " << count;
      DescrambleText(seed, text.data(), count);
      EXPECT_TRUE(std::equal(text.begin(), text.end(), plain.begin())) << "text twice";
    }
  }
  // A 1-byte entry: key = low byte + second byte of (seed + 1)^2 + table[1].
  uint32_t a = (PAYLOAD_SEED + 1) * (PAYLOAD_SEED + 1);
  uint8_t one = 0;
  DescrambleEntry(&one, &one, 1, PAYLOAD_SEED, table);
  EXPECT_EQ(one, uint8_t((a & 0xff) + ((a >> 8) & 0xff) + table[1]));
  uint8_t sentinel = 0x5a;
  EXPECT_EQ(DescrambleText(PAYLOAD_SEED, nullptr, 1), -1);
  EXPECT_EQ(DescrambleEntry(&sentinel, &sentinel, 0, PAYLOAD_SEED, table), 0);
  EXPECT_EQ(sentinel, 0x5a) << "a zero count touches nothing";
}

// The one-pass descramble-and-digest equals the keystream followed by Md5Digest.
TEST(Keystream, OnePassDescrambleAndDigestMatchesTheTwoSteps) {
  std::vector<uint8_t> data = RandomBytes(70000, 11);
  const uint8_t table[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 255, 254, 253, 252, 251, 250};
  for (uint32_t count : {0u, 1u, 63u, 64u, 65u, 127u, 128u, 129u, 191u, 4096u, 70000u}) {
    std::vector<uint8_t> expected(data.begin(), data.begin() + count), got = expected;
    DescrambleEntry(expected.data(), expected.data(), count, PAYLOAD_SEED, table);
    uint8_t d[16];
    DescrambleAndDigest(got.data(), count, PAYLOAD_SEED, table, d);
    EXPECT_EQ(got, expected) << "count " << count;
    EXPECT_EQ(Hex(d), Md5Hex(expected.data(), count)) << "count " << count;
  }
}

// The passes that this processor runs, each with its name.
struct NamedPass {
  const char* name;
  EntryPass pass;
};
std::vector<NamedPass> PassesHere() {
  std::vector<NamedPass> passes = {{"general registers", DigestDescrambleDigest}};
  if (__builtin_cpu_supports("sse2")) passes.push_back({"SSE2", DigestDescrambleDigestSse2});
  return passes;
}

// Each of the walk's one passes (digest as found, descramble, digest again) equals the three
// steps one after the other: for every length up to three blocks and a few past, so that each
// remainder modulo 16 (the table's turn) and modulo 64 (the part block) meets several whole
// blocks, at unaligned addresses, and for seeds whose state goes negative.
TEST(Keystream, OnePassOfAllThreeChainsMatchesTheThreeSteps) {
  std::vector<uint8_t> data = RandomBytes(300000, 12);
  const uint8_t table[16] = {200, 1, 77, 3, 150, 5, 6, 99, 8, 9, 10, 255, 12, 13, 14, 128};
  std::vector<uint32_t> counts;
  for (uint32_t c = 0; c <= 300; ++c) counts.push_back(c);
  for (uint32_t c : {4095u, 4096u, 4097u, 65536u + 33u, 299990u}) counts.push_back(c);
  for (const NamedPass& named : PassesHere()) {
    SCOPED_TRACE(named.name);
    for (uint32_t seed : {PAYLOAD_SEED, 0u, 0x80000001u, 0xffffffffu}) {
      for (uint32_t count : counts) {
        const size_t at = count % 4;  // not always on a word boundary
        std::vector<uint8_t> expected(data.begin() + at, data.begin() + at + count);
        const std::string scrambledHex = Md5Hex(expected.data(), count);
        DescrambleEntry(expected.data(), expected.data(), count, seed, table);
        // One byte past the entry, so that a pass that wrote beyond it would be seen.
        std::vector<uint8_t> buffer(data.begin(), data.begin() + at + count + 1);
        uint8_t before[16], after[16];
        named.pass(buffer.data() + at, count, seed, table, before, after);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin() + at))
            << "bytes, seed " << seed << " count " << count;
        ASSERT_EQ(Hex(before), scrambledHex)
            << "digest as found, seed " << seed << " count " << count;
        ASSERT_EQ(Hex(after), Md5Hex(expected.data(), count))
            << "digest of the plain bytes, seed " << seed << " count " << count;
        ASSERT_TRUE(std::equal(data.begin(), data.begin() + at, buffer.begin()))
            << "nothing before the entry is touched";
        ASSERT_EQ(buffer[at + count], data[at + count]) << "nothing after the entry is touched";
      }
    }
  }
}

TEST(Catalogue, RecordIsLittleEndianAt156Bytes) {
  CatalogueEntry entry = {};
  strcpy(entry.name, "mp3lame\\lame_enc.dll");
  entry.offset = 0x04030201;
  entry.size = 0x08070605;
  for (int i = 0; i < 16; ++i) entry.digest[i] = uint8_t(0xa0 + i);
  entry.reserved = 0xdeadbeef;
  uint8_t bytes[2 * CATALOGUE_ENTRY_SIZE] = {};
  WriteCatalogueEntry(entry, bytes + CATALOGUE_ENTRY_SIZE);
  EXPECT_EQ(Hex(bytes + CATALOGUE_ENTRY_SIZE + 128, 28),
            "0102030405060708a0a1a2a3a4a5a6a7a8a9aaabacadaeafefbeadde");
  CatalogueEntry back;
  ReadCatalogueEntry(bytes, 1, back);
  EXPECT_EQ(memcmp(&back, &entry, sizeof entry), 0);
  EXPECT_EQ(sizeof(CatalogueEntry), 156u);
}

// A blob laid out as the packer does: catalogue, then the files back to back.
struct TestBlob {
  std::vector<uint8_t> bytes;
  std::vector<std::vector<uint8_t>> plain;
  int count;
};

TestBlob MakePlainBlob(const std::vector<std::string>& names, unsigned seed = 99) {
  TestBlob t;
  t.count = int(names.size());
  size_t offset = names.size() * CATALOGUE_ENTRY_SIZE;
  t.bytes.resize(offset);
  std::mt19937 rng(seed);
  for (size_t i = 0; i < names.size(); ++i) {
    std::vector<uint8_t> file = RandomBytes(1 + rng() % 3000, seed + unsigned(i));
    CatalogueEntry e = {};
    memcpy(e.name, names[i].data(), std::min(names[i].size(), size_t(CATALOGUE_NAME_SIZE)));
    e.offset = uint32_t(offset);
    e.size = uint32_t(file.size());
    Md5Digest(file.data(), file.size(), e.digest);
    WriteCatalogueEntry(e, t.bytes.data() + i * CATALOGUE_ENTRY_SIZE);
    t.bytes.insert(t.bytes.end(), file.begin(), file.end());
    t.plain.push_back(file);
    offset += file.size();
  }
  return t;
}

TestBlob MakeBlob(int count, unsigned seed = 99) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back("file" + std::to_string(i) + ".bin");
  TestBlob t = MakePlainBlob(names, seed);
  ScramblePayload(t.bytes.data(), t.bytes.size(), count);
  return t;
}

CatalogueEntry EntryOf(const TestBlob& t, int i) {
  CatalogueEntry e;
  ReadCatalogueEntry(t.bytes.data(), i, e);
  return e;
}

void SetEntry(TestBlob& t, int i, const CatalogueEntry& e) {
  WriteCatalogueEntry(e, t.bytes.data() + size_t(i) * CATALOGUE_ENTRY_SIZE);
}

struct Seen {
  std::vector<EntryVerdict> verdicts;
  std::vector<std::vector<uint8_t>> data;  // empty when none was handed over
};

int Record(void* user, int index, const CatalogueEntry& entry, EntryVerdict verdict,
           const uint8_t* data) {
  Seen& s = *static_cast<Seen*>(user);
  if (int(s.verdicts.size()) <= index) {
    s.verdicts.resize(size_t(index) + 1, ENTRY_VERIFIED);
    s.data.resize(size_t(index) + 1);
  }
  s.verdicts[size_t(index)] = verdict;
  if (data) s.data[size_t(index)].assign(data, data + entry.size);
  return 1;
}

Seen Walk(TestBlob& t, PayloadMemory* memory, int* failures) {
  Seen s;
  *failures =
      WalkPayload(t.bytes.data(), t.bytes.size(), t.bytes.data(), t.count, memory, Record, &s);
  return s;
}

// The keys of the first two entries, computed here from their definition.
TEST(KeyChain, EntryZeroBySeedAndZeroTableEntryOneByDigestOfEntryZero) {
  TestBlob t = MakeBlob(3);
  CatalogueEntry e0 = EntryOf(t, 0), e1 = EntryOf(t, 1);
  std::vector<uint8_t> d0(t.bytes.begin() + e0.offset, t.bytes.begin() + e0.offset + e0.size);
  uint8_t zero[16] = {};
  uint8_t scrambled0[16];
  Md5Digest(d0.data(), d0.size(), scrambled0);
  DescrambleEntry(d0.data(), d0.data(), e0.size, 0x3D9A62C5, zero);
  EXPECT_EQ(d0, t.plain[0]) << "entry 0 keyed by PAYLOAD_SEED and sixteen zero bytes";

  uint32_t seed1 = ((0x3D9A62C5u * 0x3D9A62C5u) << 8) | scrambled0[0];
  EXPECT_EQ(seed1 & 0xff, scrambled0[0]);
  std::vector<uint8_t> d1(t.bytes.begin() + e1.offset, t.bytes.begin() + e1.offset + e1.size);
  DescrambleEntry(d1.data(), d1.data(), e1.size, seed1, scrambled0);
  EXPECT_EQ(d1, t.plain[1]) << "entry 1 keyed by the chained seed and entry 0's digest";

  int failures = -1;
  Seen s = Walk(t, nullptr, &failures);
  EXPECT_EQ(failures, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(s.data[size_t(i)], t.plain[size_t(i)]) << "entry " << i;
}

// Entry 1 made unreachable while entry 2 was scrambled with the key that follows entry 0:
// the failing entry must not advance the chain.
TEST(Walk, OutOfBoundsEntriesFailOnceAndLeaveTheChain) {
  struct Case {
    const char* what;
    int fromEnd;  // offset counted from the blob's end (else absolute)
    int64_t offset;
    uint32_t size;
  } const cases[] = {
      // what                                 fromEnd offset        size
      {"one byte beyond the end", 1, -10, 11},
      {"starts at the end", 1, 0, 1},
      {"sum wraps past 2^32 into the blob", 0, 0xfffffff0LL, 0x20},
      {"offset and size both huge", 0, 0xffff0000LL, 0xffff0000u},
  };
  for (const Case& c : cases) {
    TestBlob t = MakePlainBlob({"a.bin", "b.bin", "c.bin"});
    // Scramble 0 and 2 along a chain that skips 1.
    PayloadKey key;
    StartKeyChain(key);
    for (int i : {0, 2}) {
      CatalogueEntry e = EntryOf(t, i);
      DescrambleEntry(&t.bytes[e.offset], &t.bytes[e.offset], e.size, key.seed, key.keyTable);
      uint8_t d[16];
      Md5Digest(&t.bytes[e.offset], e.size, d);
      AdvanceKeyChain(key, d);
    }
    CatalogueEntry e1 = EntryOf(t, 1);
    e1.offset = uint32_t(c.fromEnd ? int64_t(t.bytes.size()) + c.offset : c.offset);
    e1.size = c.size;
    SetEntry(t, 1, e1);
    if (std::string(c.what).find("wraps") != std::string::npos) {
      ASSERT_LT(uint32_t(e1.offset + e1.size), t.bytes.size()) << "the case must wrap";
    }
    int failures = -1;
    Seen s = Walk(t, nullptr, &failures);
    EXPECT_EQ(failures, 1) << c.what;
    EXPECT_EQ(s.verdicts[1], ENTRY_OUT_OF_BOUNDS) << c.what;
    EXPECT_TRUE(s.data[1].empty()) << c.what;
    EXPECT_EQ(s.data[2], t.plain[2]) << c.what << ": entry 2 keyed as if entry 1 were absent";
  }
}

TEST(Walk, DigestMismatchFailsOnlyThatEntryAndKeepsTheChain) {
  TestBlob t = MakeBlob(4);
  CatalogueEntry e1 = EntryOf(t, 1);
  e1.digest[5] ^= 0x01;
  SetEntry(t, 1, e1);
  int failures = -1;
  Seen s = Walk(t, nullptr, &failures);
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(s.verdicts[1], ENTRY_DIGEST_MISMATCH);
  EXPECT_TRUE(s.data[1].empty()) << "a failed entry is never handed over";
  for (int i : {0, 2, 3}) EXPECT_EQ(s.data[size_t(i)], t.plain[size_t(i)]) << "entry " << i;
}

// A changed stored byte changes that entry's digest and so the keys of the next entries
// until the seed's error has been shifted out; later entries verify again.
TEST(Walk, FlippedDataByteFailsThatEntryAndAFewAfterUntilTheChainRecovers) {
  TestBlob t = MakeBlob(10);
  CatalogueEntry e2 = EntryOf(t, 2);
  t.bytes[e2.offset + e2.size / 2] ^= 0x40;
  int failures = -1;
  Seen s = Walk(t, nullptr, &failures);
  EXPECT_EQ(s.verdicts[2], ENTRY_DIGEST_MISMATCH);
  EXPECT_EQ(s.verdicts[3], ENTRY_DIGEST_MISMATCH) << "its table comes from entry 2";
  EXPECT_GE(failures, 2);
  EXPECT_LE(failures, 5);
  for (int i = 0; i < 10; ++i) {
    bool failed = s.verdicts[size_t(i)] != ENTRY_VERIFIED;
    if (i < 2 || i >= 7) {
      EXPECT_FALSE(failed) << "entry " << i;
    }
    if (failed) {
      EXPECT_TRUE(s.data[size_t(i)].empty()) << "entry " << i;
    } else {
      EXPECT_EQ(s.data[size_t(i)], t.plain[size_t(i)]) << "entry " << i;
    }
  }
}

TEST(Walk, UnsafeNamesFailButStayInTheChain) {
  std::string noTerminator(CATALOGUE_NAME_SIZE, 'n');
  struct Case {
    std::string name;
    int safe;
  } const cases[] = {
      // name                       safe
      {"readme.txt", 1},
      {"mp3lame\\lame_enc.dll", 1},
      {"a..b\\c..", 1},
      {"..a\\.b", 1},
      {"", 0},
      {"\\windows\\x.dll", 0},
      {"/etc/passwd", 0},
      {"C:\\x.dll", 0},
      {"x.dll:stream", 0},
      {"..", 0},
      {"..\\x.dll", 0},
      {"a\\..\\..\\x.dll", 0},
      {"a/../x.dll", 0},
      {"a\\..", 0},
      {"../x", 0},
      {noTerminator, 0},
  };
  for (const Case& c : cases) {
    char field[CATALOGUE_NAME_SIZE] = {};
    memcpy(field, c.name.data(), c.name.size());
    EXPECT_EQ(EntryNameIsSafe(field), c.safe) << '"' << c.name << '"';

    TestBlob t = MakePlainBlob({"first.bin", c.name, "last.bin"});
    ScramblePayload(t.bytes.data(), t.bytes.size(), 3);
    int failures = -1;
    Seen s = Walk(t, nullptr, &failures);
    EXPECT_EQ(failures, c.safe ? 0 : 1) << '"' << c.name << '"';
    EXPECT_EQ(s.verdicts[1], c.safe ? ENTRY_VERIFIED : ENTRY_UNSAFE_NAME) << '"' << c.name << '"';
    EXPECT_EQ(s.data[1].empty(), !c.safe) << '"' << c.name << '"';
    EXPECT_EQ(s.data[2], t.plain[2]) << '"' << c.name << "\": the next entry keeps its key";
  }
}

// A second walk over the same memory must give the same verdicts and bytes, also for an
// entry that failed, and must not scramble the plain bytes again.
TEST(Walk, SecondWalkOverTheSameMemoryGivesTheSameResult) {
  TestBlob t = MakeBlob(6);
  CatalogueEntry e3 = EntryOf(t, 3);
  e3.digest[0] ^= 0xff;
  SetEntry(t, 3, e3);
  static PayloadMemory memory;
  ZeroBytes(&memory, sizeof memory);
  int first = -1, second = -1;
  Seen a = Walk(t, &memory, &first);
  std::vector<uint8_t> after = t.bytes;
  Seen b = Walk(t, &memory, &second);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, first);
  EXPECT_EQ(a.verdicts, b.verdicts);
  EXPECT_EQ(a.data, b.data);
  EXPECT_EQ(t.bytes, after) << "plain bytes are left as they are";

  // The same memory scrambled again (a module loaded anew at the same address) is seen as such.
  TestBlob fresh = MakeBlob(6);
  CatalogueEntry f3 = EntryOf(fresh, 3);
  f3.digest[0] ^= 0xff;
  SetEntry(fresh, 3, f3);
  CopyBytes(t.bytes.data(), fresh.bytes.data(), t.bytes.size());
  int third = -1;
  Seen c = Walk(t, &memory, &third);
  EXPECT_EQ(third, 1);
  EXPECT_EQ(c.data, a.data);
}

// The walk gives the same verdicts, bytes and chain with each pass, a failed entry and entries
// of many blocks among them; and it makes the pass that it is told to use.
TEST(Walk, EachPassGivesTheSameWalk) {
  const TestBlob packed = MakeBlob(8, 41);
  std::vector<Seen> seen;
  std::vector<std::vector<uint8_t>> bytes;
  for (const NamedPass& named : PassesHere()) {
    TestBlob t = packed;
    CatalogueEntry e5 = EntryOf(t, 5);
    e5.digest[3] ^= 0x10;
    SetEntry(t, 5, e5);
    UseEntryPass(named.pass);
    EXPECT_EQ(CurrentEntryPass(), named.pass);
    int failures = -1;
    seen.push_back(Walk(t, nullptr, &failures));
    EXPECT_EQ(failures, 1) << named.name;
    bytes.push_back(t.bytes);
  }
  UseEntryPass(nullptr);
  EXPECT_EQ(CurrentEntryPass(), &DigestDescrambleDigest) << "null takes the general pass again";
  for (size_t p = 1; p < seen.size(); ++p) {
    EXPECT_EQ(seen[p].verdicts, seen[0].verdicts) << PassesHere()[p].name;
    EXPECT_EQ(seen[p].data, seen[0].data) << PassesHere()[p].name;
    EXPECT_EQ(bytes[p], bytes[0]) << PassesHere()[p].name;
  }
}

struct FakeDisk {
  std::vector<std::string> written;  // "path=size"
  std::vector<std::string> folders;
  int failWrites = 0;
};

int FakeWrite(void* user, const char* path, const uint8_t*, uint32_t size) {
  FakeDisk& d = *static_cast<FakeDisk*>(user);
  if (d.failWrites) return 0;
  d.written.push_back(std::string(path) + "=" + std::to_string(size));
  return 1;
}

int FakeFolder(void* user, const char* path) {
  static_cast<FakeDisk*>(user)->folders.push_back(path);
  return 1;
}

TEST(Extract, SelectsByExactNameAndBuildsPaths) {
  struct Case {
    const char* folder;
    const char* onlyName;
    int writes;
    const char* firstWrite;
    const char* firstFolder;  // "" when no CreateFolderPath call
  } const cases[] = {
      // folder          onlyName                  writes firstWrite firstFolder
      {"C:\\P\\QX", nullptr, 3, "C:\\P\\QX\\a.txt", "C:\\P\\QX\\mp3lame"},
      {"C:\\P\\QX", "mp3lame\\lame_enc.dll", 1, "C:\\P\\QX\\mp3lame\\lame_enc.dll",
       "C:\\P\\QX\\mp3lame"},
      {"C:\\P\\QX", "A.txt", 0, "", ""},
      {"C:\\P\\QX", "a.tx", 0, "", ""},
      {"C:\\P\\QX\\", "a.txt", 1, "C:\\P\\QX\\a.txt", "C:\\P\\QX"},
  };
  for (const Case& c : cases) {
    TestBlob t = MakePlainBlob({"a.txt", "mp3lame\\lame_enc.dll", "b.txt"});
    ScramblePayload(t.bytes.data(), t.bytes.size(), 3);
    FakeDisk disk;
    PayloadFileOps ops = {FakeWrite, FakeFolder, &disk, nullptr};
    int failures = ExtractFromBlob(t.bytes.data(), t.bytes.size(), t.bytes.data(), 3, nullptr,
                                   c.folder, c.onlyName, ops);
    std::string label = std::string(c.folder) + " / " + (c.onlyName ? c.onlyName : "(none)");
    EXPECT_EQ(failures, 0) << label;
    ASSERT_EQ(int(disk.written.size()), c.writes) << label;
    if (c.writes) {
      EXPECT_EQ(disk.written[0].substr(0, disk.written[0].find('=')), c.firstWrite) << label;
    }
    if (*c.firstFolder) {
      ASSERT_FALSE(disk.folders.empty()) << label;
      EXPECT_EQ(disk.folders[0], c.firstFolder) << label;
    } else {
      EXPECT_TRUE(disk.folders.empty()) << label;
    }
    std::vector<uint8_t> plain(t.bytes.begin() + EntryOf(t, 2).offset, t.bytes.end());
    EXPECT_EQ(plain, t.plain[2]) << label << ": unselected entries are descrambled too";
  }
}

TEST(Extract, FailedWritesAndOverlongPathsCount) {
  TestBlob t = MakeBlob(3);
  FakeDisk disk;
  disk.failWrites = 1;
  PayloadFileOps ops = {FakeWrite, FakeFolder, &disk, nullptr};
  EXPECT_EQ(ExtractFromBlob(t.bytes.data(), t.bytes.size(), t.bytes.data(), 3, nullptr, "C:\\QX",
                            nullptr, ops),
            3);

  TestBlob u = MakeBlob(3);
  FakeDisk disk2;
  PayloadFileOps ops2 = {FakeWrite, FakeFolder, &disk2, nullptr};
  std::string longFolder = "C:\\" + std::string(1014, 'f');  // + "\file0.bin" is 1,027 bytes
  EXPECT_EQ(ExtractFromBlob(u.bytes.data(), u.bytes.size(), u.bytes.data(), 3, nullptr,
                            longFolder.c_str(), nullptr, ops2),
            3);
  EXPECT_TRUE(disk2.written.empty()) << "a cut path is never written";
}

struct FolderCase {
  const char* path;
  int result;
  std::vector<std::string> made;
};

int RecordFolder(void* user, const char* folder) {
  auto* made = static_cast<std::vector<std::string>*>(user);
  made->push_back(folder);
  return std::string(folder) != "C:\\deny";
}

TEST(CreateFolderLevels, DriveUncAndTrailingBackslash) {
  const FolderCase cases[] = {
      // path                          result  levels created, in order
      {"C:\\a", 0, {}},
      {"C:\\ab", 1, {"C:\\ab"}},
      {"C:\\ab\\cd", 1, {"C:\\ab", "C:\\ab\\cd"}},
      {"C:\\ab\\cd\\", 1, {"C:\\ab", "C:\\ab\\cd"}},
      {"C:\\", 0, {}},
      {"C:\\\\", 0, {}},
      {"C:\\abc\\", 1, {"C:\\abc"}},
      {"\\\\srv\\share\\dir", 1, {"\\\\srv\\share\\dir"}},
      {"\\\\srv\\share\\d1\\d2\\", 1, {"\\\\srv\\share\\d1", "\\\\srv\\share\\d1\\d2"}},
      {"\\\\srv\\share", 1, {}},
      {"\\\\srv\\share\\", 1, {}},
      {"C:\\deny\\x", 0, {"C:\\deny"}},
  };
  for (const FolderCase& c : cases) {
    std::vector<std::string> made;
    EXPECT_EQ(CreateFolderLevels(c.path, RecordFolder, &made), c.result) << c.path;
    EXPECT_EQ(made, c.made) << c.path;
  }
  std::vector<std::string> made;
  EXPECT_EQ(CreateFolderLevels(nullptr, RecordFolder, &made), 0);
  std::string tooLong = "C:\\" + std::string(1100, 'x');
  EXPECT_EQ(CreateFolderLevels(tooLong.c_str(), RecordFolder, &made), 0);
  EXPECT_TRUE(made.empty());
}

}  // namespace

namespace {

// What a mutated blob made the extractor do.
struct Guarded {
  std::string folder;
  std::vector<std::string> paths;
  std::vector<std::string> digests;  // MD5 of each written file
  int reports = 0;
};

int GuardedWrite(void* user, const char* path, const uint8_t* data, uint32_t size) {
  Guarded& g = *static_cast<Guarded*>(user);
  g.paths.push_back(path);
  g.digests.push_back(Md5Hex(data, size));
  return 1;
}

int GuardedFolder(void*, const char*) {
  return 1;
}

void GuardedReport(void* user, const char* name, uint32_t, EntryVerdict, int) {
  EXPECT_LE(strlen(name), size_t(CATALOGUE_NAME_SIZE));
  ++static_cast<Guarded*>(user)->reports;
}

}  // namespace

// Blobs from outside (a damaged download, a hostile file): random damage to the catalogue
// and the data never makes the extractor read or write out of bounds (the sanitizers watch),
// write outside the target folder, or write a file whose bytes do not match its digest.
TEST(Extract, DamagedBlobsStayInBoundsAndInTheFolder) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 400; ++round) {
    TestBlob t = MakePlainBlob({"a.txt", "mp3lame\\lame_enc.dll", "b.bin", "c.dat"}, 7 + round);
    ScramblePayload(t.bytes.data(), t.bytes.size(), t.count);
    // Damage: random bytes anywhere, biased towards the catalogue's numbers and names.
    const int hits = 1 + int(rng() % 8);
    for (int h = 0; h < hits; ++h) {
      size_t at =
          (rng() % 2) ? rng() % (size_t(t.count) * CATALOGUE_ENTRY_SIZE) : rng() % t.bytes.size();
      t.bytes[at] = uint8_t(rng());
    }
    if (round % 5 == 0) {  // names that try to leave the folder
      const char* names[] = {"..\\evil.dll", "C:\\evil.dll", "\\evil.dll",
                             "a\\..\\..\\e", "x:y",          ""};
      CatalogueEntry e = EntryOf(t, int(rng() % 4));
      memset(e.name, 0, sizeof e.name);
      strcpy(e.name, names[rng() % 6]);
      SetEntry(t, int(rng() % 4), e);
    }
    std::vector<uint8_t> catalogue(t.bytes.begin(),
                                   t.bytes.begin() + t.count * CATALOGUE_ENTRY_SIZE);
    Guarded g;
    g.folder = "C:\\Program Files\\QX\\Mixarro";
    PayloadFileOps ops = {GuardedWrite, GuardedFolder, &g, GuardedReport};
    int failures = ExtractFromBlob(t.bytes.data(), t.bytes.size(), catalogue.data(), t.count,
                                   nullptr, g.folder.c_str(), nullptr, ops);
    EXPECT_GE(failures, 0);
    EXPECT_LE(failures, t.count);
    EXPECT_EQ(int(g.paths.size()) + failures, t.count) << "round " << round;
    EXPECT_LE(g.reports, t.count);
    for (size_t i = 0; i < g.paths.size(); ++i) {
      const std::string& p = g.paths[i];
      EXPECT_EQ(p.rfind(g.folder + "\\", 0), 0u) << p;
      std::string rest = p.substr(g.folder.size() + 1);
      EXPECT_EQ(rest.find(".."), std::string::npos) << p;
      EXPECT_EQ(rest.find(':'), std::string::npos) << p;
      EXPECT_NE(rest[0], '\\') << p;
      // The file's bytes are those its catalogue entry vouches for.
      bool vouched = false;
      for (int e = 0; e < t.count; ++e) {
        CatalogueEntry entry;
        ReadCatalogueEntry(catalogue.data(), e, entry);
        if (g.folder + "\\" + std::string(entry.name, strnlen(entry.name, CATALOGUE_NAME_SIZE)) ==
                p &&
            Hex(entry.digest) == g.digests[i])
          vouched = true;
      }
      EXPECT_TRUE(vouched) << p << " round " << round;
    }
  }
}

// Each way an entry can fail has its own log line: an administrator reading the log of a
// failed install can tell a damaged download from a full disk or a file in use.
TEST(PayloadLog, EachFailureHasItsOwnLine) {
  const EntryWrite none = {0, 0, 0};
  const struct {
    EntryVerdict verdict;
    int written;
    EntryWrite write;
    const char* line;
  } cases[] = {
      {ENTRY_VERIFIED, 1, {1, 10, 0}, "file a.dll (10 bytes): verified, written"},
      {ENTRY_OUT_OF_BOUNDS, 0, none, "file a.dll (10 bytes): FAILED the bounds check, not written"},
      {ENTRY_UNSAFE_NAME, 0, none, "file a.dll (10 bytes): FAILED, an unsafe name, not written"},
      {ENTRY_DIGEST_MISMATCH, 0, none, "file a.dll (10 bytes): FAILED verification, not written"},
      {ENTRY_VERIFIED, 0, none,
       "file a.dll (10 bytes): verified, NOT written (its path is too long)"},
      {ENTRY_VERIFIED,
       0,
       {1, 4, 0},
       "file a.dll (10 bytes): verified, NOT written (short write, 4 of 10 bytes)"},
      {ENTRY_VERIFIED,
       0,
       {1, 0, 112},
       "file a.dll (10 bytes): verified, NOT written after 0 bytes (error 112)"},
      {ENTRY_VERIFIED,
       0,
       {1, 0, 32},
       "file a.dll (10 bytes): verified, NOT written after 0 bytes (error 32)"},
  };
  for (const auto& c : cases) {
    char line[256];
    EXPECT_EQ(
        FormatExtractedEntryLine(line, sizeof line, "a.dll", 10, c.verdict, c.written, c.write), 1);
    EXPECT_STREQ(line, c.line);
  }
  char small[8];
  EXPECT_EQ(FormatExtractedEntryLine(small, sizeof small, "a.dll", 10, ENTRY_VERIFIED, 1, none), 0);
  EXPECT_EQ(strlen(small), 7u);
}
