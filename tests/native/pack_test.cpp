// The packing tool: round trips of both editions' sample payloads, extraction of damaged
// blobs, bad inputs, and the command line of the built program.
#include "tools/pack/pack.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "editions/edition.h"
#include "install/payload_core.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::string out;
  FILE* f = fopen(path.string().c_str(), "rb");
  if (!f) return out;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  fclose(f);
  return out;
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  FILE* f = fopen(path.string().c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

fs::path HostPath(const fs::path& folder, std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  return folder / name;
}

// A fresh temporary folder, removed with the test.
struct TempDir {
  fs::path path;
  TempDir() {
    char pattern[] = "/tmp/mixarro-pack-test-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path); }
};

// Captures what a call writes to a stream.
struct Captured {
  FILE* f = tmpfile();
  ~Captured() { fclose(f); }
  std::string Text() {
    fflush(f);
    rewind(f);
    std::string s;
    int c;
    while ((c = fgetc(f)) != EOF) s += char(c);
    return s;
  }
};

fs::path SamplePayload(const char* edition) {
  return fs::path(MIXARRO_BINARY_DIR) / "sample-payload" / edition;
}

int Pack(const EditionConfig& e, const fs::path& from, const fs::path& out, FILE* err) {
  return PackFolder(e.payloadNames, e.payloadEntryCount, from.c_str(), out.c_str(), err);
}

int Extract(const EditionConfig& e, const fs::path& blob, const fs::path& to, FILE* out,
            FILE* err) {
  return ProcessBlob(BLOB_EXTRACT, e.payloadEntryCount, blob.c_str(), to.c_str(), out, err);
}

TEST(PackTool, RoundTripOfBothSamplePayloadsIsByteForByte) {
  for (const EditionConfig* e : {&INDIGO_EDITION, &COBALT_EDITION}) {
    TempDir dir;
    fs::path sample = SamplePayload(e->name);
    fs::path blob = dir.path / "payload.blob";
    Captured out, err;
    ASSERT_EQ(Pack(*e, sample, blob, err.f), 0) << e->name << ": " << err.Text();
    EXPECT_FALSE(fs::exists(blob.string() + ".partial"));

    // Layout: catalogue, files back to back in catalogue order, reserved zero.
    std::string bytes = ReadAll(blob);
    const auto* raw = reinterpret_cast<const uint8_t*>(bytes.data());
    uint64_t expectedOffset = uint64_t(e->catalogueSize);
    for (int i = 0; i < e->payloadEntryCount; ++i) {
      CatalogueEntry entry;
      ReadCatalogueEntry(raw, i, entry);
      EXPECT_STREQ(entry.name, e->payloadNames[i]) << e->name << " entry " << i;
      EXPECT_EQ(entry.offset, expectedOffset) << e->name << " entry " << i;
      EXPECT_EQ(entry.reserved, 0u) << e->name << " entry " << i;
      expectedOffset += entry.size;
    }
    EXPECT_EQ(expectedOffset, bytes.size()) << e->name << ": the last entry ends the blob";

    fs::path to = dir.path / "out";
    ASSERT_EQ(Extract(*e, blob, to, out.f, err.f), 0) << e->name << ": " << err.Text();
    for (int i = 0; i < e->payloadEntryCount; ++i) {
      std::string original = ReadAll(HostPath(sample, e->payloadNames[i]));
      ASSERT_FALSE(original.empty()) << e->payloadNames[i];
      EXPECT_TRUE(ReadAll(HostPath(to, e->payloadNames[i])) == original)
          << e->name << ": " << e->payloadNames[i] << " differs after the round trip";
    }
    EXPECT_TRUE(fs::is_regular_file(to / "mp3lame" / "lame_enc.dll"));

    // The same input gives the same blob.
    fs::path again = dir.path / "again.blob";
    ASSERT_EQ(Pack(*e, sample, again, err.f), 0);
    EXPECT_TRUE(ReadAll(again) == bytes) << e->name << ": packing is not deterministic";
  }
}

// Packs a small folder of the given names; the blob's path.
fs::path PackSmall(const TempDir& dir, const std::vector<const char*>& names) {
  for (size_t i = 0; i < names.size(); ++i)
    WriteAll(HostPath(dir.path / "in", names[i]),
             "content of " + std::string(names[i]) + std::string(100 + 37 * i, char('a' + i)));
  fs::path blob = dir.path / "small.blob";
  Captured err;
  EXPECT_EQ(
      PackFolder(names.data(), int(names.size()), (dir.path / "in").c_str(), blob.c_str(), err.f),
      0)
      << err.Text();
  return blob;
}

// Rewrites the blob file through `change`.
template <typename Change>
void Damage(const fs::path& blob, Change change) {
  std::string bytes = ReadAll(blob);
  change(reinterpret_cast<uint8_t*>(bytes.data()));
  WriteAll(blob, bytes);
}

TEST(PackTool, WrongDigestOfOneEntryWritesAllOthersAndNamesIt) {
  TempDir dir;
  std::vector<const char*> names = {"a.txt", "b.txt", "sub\\c.txt", "d.txt"};
  fs::path blob = PackSmall(dir, names);
  Damage(blob, [](uint8_t* b) { b[2 * CATALOGUE_ENTRY_SIZE + 136 + 7] ^= 0x10; });
  Captured out, err;
  fs::path to = dir.path / "out";
  EXPECT_EQ(ProcessBlob(BLOB_EXTRACT, 4, blob.c_str(), to.c_str(), out.f, err.f), 1);
  std::string messages = err.Text();
  EXPECT_NE(messages.find("entry 2 \"sub\\c.txt\": digest mismatch"), std::string::npos)
      << messages;
  EXPECT_NE(messages.find("1 of 4 entries failed"), std::string::npos) << messages;
  for (const char* n : {"a.txt", "b.txt", "d.txt"})
    EXPECT_EQ(ReadAll(to / n), ReadAll(dir.path / "in" / n)) << n;
  EXPECT_FALSE(fs::exists(to / "sub" / "c.txt")) << "a failed file never reaches the disk";
}

// The entries that fail when the program walks a blob: over its own copy of the catalogue.
std::vector<int> ProgramFailures(std::string blob, int count) {
  std::vector<uint8_t> catalogue(blob.begin(), blob.begin() + count * CATALOGUE_ENTRY_SIZE);
  std::vector<int> failed;
  WalkPayload(
      reinterpret_cast<uint8_t*>(blob.data()), blob.size(), catalogue.data(), count, nullptr,
      [](void* user, int index, const CatalogueEntry&, EntryVerdict verdict, const uint8_t*) {
        if (verdict != ENTRY_VERIFIED) static_cast<std::vector<int>*>(user)->push_back(index);
        return 1;
      },
      &failed);
  return failed;
}

// Damaged input whose first entry lies over the catalogue itself: descrambling it where it lies
// changes the records after it in the blob, but not in the program's copy. The tool reads the
// records from a copy too, so that it and the program agree on which entries fail.
TEST(PackTool, EntryLyingOverTheCatalogueFailsAsInTheProgram) {
  TempDir dir;
  std::vector<const char*> names = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt",
                                    "f.txt", "g.txt", "h.txt", "i.txt", "j.txt"};
  fs::path blob = PackSmall(dir, names);
  Damage(blob, [](uint8_t* b) {
    const uint32_t offset = 0, size = 4 * CATALOGUE_ENTRY_SIZE;
    memcpy(b + 128, &offset, 4);
    memcpy(b + 132, &size, 4);
  });
  std::vector<int> expected = ProgramFailures(ReadAll(blob), int(names.size()));
  ASSERT_FALSE(expected.empty());
  ASSERT_LT(expected.size(), names.size()) << "a case where the records after it matter";
  Captured out, err;
  EXPECT_EQ(ProcessBlob(BLOB_VERIFY, int(names.size()), blob.c_str(), nullptr, out.f, err.f), 1);
  std::string messages = err.Text();
  std::vector<int> reported;
  for (int i = 0; i < int(names.size()); ++i)
    if (messages.find("entry " + std::to_string(i) + " \"" + names[size_t(i)] + "\"") !=
        std::string::npos)
      reported.push_back(i);
  EXPECT_EQ(reported, expected) << messages;
}

TEST(PackTool, FlippedDataByteFailsUntilTheChainRecoversAndNamesEach) {
  TempDir dir;
  std::vector<const char*> names = {"e0", "e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8", "e9"};
  fs::path blob = PackSmall(dir, names);
  uint32_t offset = 0;
  Damage(blob, [&](uint8_t* b) {
    CatalogueEntry e;
    ReadCatalogueEntry(b, 1, e);
    offset = e.offset;
    b[e.offset + 3] ^= 0x01;
  });
  Captured out, err;
  fs::path to = dir.path / "out";
  EXPECT_EQ(ProcessBlob(BLOB_EXTRACT, 10, blob.c_str(), to.c_str(), out.f, err.f), 1);
  std::string messages = err.Text();
  int failed = 0;
  for (int i = 0; i < 10; ++i) {
    std::string line =
        "entry " + std::to_string(i) + " \"" + names[size_t(i)] + "\": digest mismatch";
    bool named = messages.find(line) != std::string::npos;
    bool written = fs::exists(to / names[size_t(i)]);
    EXPECT_NE(named, written) << names[size_t(i)] << ": either named as failed or written";
    if (i == 1 || i == 2) {
      EXPECT_TRUE(named) << messages;
    }
    if (i == 0 || i >= 6) {
      EXPECT_TRUE(written) << names[size_t(i)] << "\n" << messages;
    }
    if (written) {
      EXPECT_EQ(ReadAll(to / names[size_t(i)]), ReadAll(dir.path / "in" / names[size_t(i)]));
    }
    failed += named;
  }
  EXPECT_NE(messages.find(std::to_string(failed) + " of 10 entries failed"), std::string::npos)
      << messages;
  EXPECT_NE(offset, 0u);
}

TEST(PackTool, BadInputsGiveAMessageAndNoOutputFile) {
  std::string longName(128, 'n');
  struct Case {
    const char* what;
    std::vector<std::string> names;  // list to pack
    std::vector<std::string> files;  // files present in the folder ("name=content")
    const char* message;
  } const cases[] = {
      {"missing file", {"a.txt", "b.txt"}, {"a.txt=x"}, "entry 1 \"b.txt\": "},
      {"empty file", {"a.txt", "b.txt"}, {"a.txt=x", "b.txt="}, "\"b.txt\": "},
      {"name too long", {"a.txt", longName}, {"a.txt=x"}, "longer than 127"},
      {"absolute name", {"\\a.txt"}, {"a.txt=x"}, "unsafe name"},
      {"drive name", {"C:a.txt"}, {"a.txt=x"}, "unsafe name"},
      {"dot-dot name", {"sub\\..\\..\\a.txt"}, {"a.txt=x"}, "unsafe name"},
      {"empty name", {"a.txt", ""}, {"a.txt=x"}, "entry 1 \"\": unsafe"},
      {"duplicate", {"a.txt", "b.txt", "A.TXT"}, {"a.txt=x", "b.txt=y"}, "duplicate of entry 0"},
      {"sub-folder lacks the file", {"mp3lame\\lame_enc.dll"}, {"lame_enc.dll=x"}, "is missing"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    fs::path in = dir.path / "in";
    fs::create_directories(in);
    for (const std::string& f : c.files) {
      size_t eq = f.find('=');
      WriteAll(in / f.substr(0, eq), f.substr(eq + 1));
    }
    std::vector<const char*> names;
    for (const std::string& n : c.names) names.push_back(n.c_str());
    fs::path blob = dir.path / "out.blob";
    Captured err;
    EXPECT_EQ(PackFolder(names.data(), int(names.size()), in.c_str(), blob.c_str(), err.f), 1)
        << c.what;
    std::string messages = err.Text();
    EXPECT_NE(messages.find(c.message), std::string::npos) << c.what << ": " << messages;
    EXPECT_NE(messages.find("not written"), std::string::npos) << c.what << ": " << messages;
    EXPECT_FALSE(fs::exists(blob)) << c.what;
    EXPECT_FALSE(fs::exists(blob.string() + ".partial")) << c.what;
  }
  // A folder that does not exist at all.
  TempDir dir;
  Captured err;
  EXPECT_EQ(Pack(INDIGO_EDITION, dir.path / "nowhere", dir.path / "x.blob", err.f), 1);
  EXPECT_NE(err.Text().find("not a folder"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.path / "x.blob"));
}

// The command line of the built program, as release engineers and the build use it.
TEST(PackTool, CommandLineExitCodes) {
  TempDir dir;
  std::string tool = MIXARRO_PACK_TOOL;
  std::string blob = (dir.path / "c.blob").string();
  std::string sample = SamplePayload("Cobalt").string();
  auto run = [](const std::string& command) {
    int status = system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run(tool + " pack --edition cobalt --from " + sample + " --out " + blob), 0);
  EXPECT_EQ(run(tool + " verify --edition cobalt " + blob), 0);
  EXPECT_EQ(run(tool + " list --edition cobalt " + blob), 0);
  EXPECT_EQ(run(tool + " extract --edition cobalt " + blob + " --to " + dir.path.string() + "/x"),
            0);
  EXPECT_EQ(run(tool + " verify --edition indigo " + blob), 1) << "wrong edition";
  EXPECT_EQ(run(tool + " pack --edition indigo --from " + sample + " --out " + blob), 1)
      << "Cobalt's folder lacks Indigo's files";
  EXPECT_EQ(run(tool + " verify --edition cobalt " + blob), 0) << "the earlier blob is untouched";
  EXPECT_NE(run(tool + " verify --edition green " + blob), 0);
  EXPECT_NE(run(tool + " frobnicate --edition cobalt " + blob), 0);
  EXPECT_NE(run(tool + " verify --edition cobalt " + dir.path.string() + "/none.blob"), 0);
}

}  // namespace
