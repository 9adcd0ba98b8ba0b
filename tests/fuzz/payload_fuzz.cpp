// libFuzzer target: a payload blob from outside (a damaged download, a hostile file) walked
// and extracted as the installer does. The sanitizers watch the bounds; the checks below
// watch where files would be written and what they would hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "install/payload.h"
#include "install/payload_core.h"

namespace {

struct Checked {
  const char* folder;
  const uint8_t* catalogue;
  int count;
};

int CheckedWrite(void* user, const char* path, const uint8_t* data, uint32_t size) {
  const Checked& c = *static_cast<const Checked*>(user);
  size_t n = strlen(c.folder);
  // Only below the program folder, never through "..", a drive or a stream name.
  if (strncmp(path, c.folder, n) != 0 || path[n] != '\\') abort();
  const std::string rest = path + n + 1;
  if (rest.find(':') != std::string::npos) abort();
  size_t start = 0;
  for (;;) {
    size_t end = rest.find_first_of("\\/", start);
    std::string part = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // Empty, or dots and blanks only (Windows makes ".. " and "..." into ".." or ".").
    if (part.find_first_not_of(". ") == std::string::npos) abort();
    if (end == std::string::npos) break;
    start = end + 1;
  }
  // Only bytes that some entry of that name vouches for.
  uint8_t digest[16];
  Md5Digest(data, size, digest);
  for (int i = 0; i < c.count; ++i) {
    CatalogueEntry e;
    ReadCatalogueEntry(c.catalogue, i, e);
    if (strncmp(e.name, rest.c_str(), CATALOGUE_NAME_SIZE) == 0 && e.size == size &&
        memcmp(e.digest, digest, 16) == 0)
      return 1;
  }
  abort();
}

int AnyFolder(void*, const char*) { return 1; }

}  // namespace

// Makes the entries that `mask` selects genuine (in bounds, digest of their plain bytes) and
// scrambles every in-bounds entry along the key chain as the packer does, so that the walk
// reaches verified entries and not only damaged ones. Entries out of bounds stay as given.
void MakePartlyGenuine(std::vector<uint8_t>& blob, int count, unsigned mask) {
  uint64_t next = uint64_t(count) * CATALOGUE_ENTRY_SIZE;
  for (int i = 0; i < count; ++i) {
    CatalogueEntry e;
    ReadCatalogueEntry(blob.data(), i, e);
    if (!(mask & (1u << i)) || next >= blob.size()) continue;
    uint64_t room = blob.size() - next;
    e.offset = uint32_t(next);
    e.size = uint32_t(1 + e.size % (room < 4096 ? room : 4096));
    Md5Digest(blob.data() + e.offset, e.size, e.digest);
    WriteCatalogueEntry(e, blob.data() + size_t(i) * CATALOGUE_ENTRY_SIZE);
    next += e.size;
  }
  PayloadKey key;
  StartKeyChain(key);
  for (int i = 0; i < count; ++i) {
    CatalogueEntry e;
    ReadCatalogueEntry(blob.data(), i, e);
    if (!EntryInBounds(e.offset, e.size, blob.size()) || e.offset < count * CATALOGUE_ENTRY_SIZE)
      continue;
    uint8_t* bytes = blob.data() + e.offset;
    DescrambleEntry(bytes, bytes, e.size, key.seed, key.keyTable);
    uint8_t scrambled[16];
    Md5Digest(bytes, e.size, scrambled);
    AdvanceKeyChain(key, scrambled);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int count = 1 + data[0] % 6;
  std::vector<uint8_t> blob(data + 2, data + size);
  if (blob.size() < size_t(count) * CATALOGUE_ENTRY_SIZE) return 0;
  MakePartlyGenuine(blob, count, data[1]);
  std::vector<uint8_t> catalogue(blob.begin(), blob.begin() + count * CATALOGUE_ENTRY_SIZE);
  Checked checked = {"C:\\Program Files\\QX\\Mixarro", catalogue.data(), count};
  PayloadFileOps ops = {CheckedWrite, AnyFolder, &checked, nullptr};
  // Twice, as a second Install in one run does: the second walk sees the plain bytes.
  PayloadMemory memory = {};
  for (int run = 0; run < 2; ++run) {
    int failures = ExtractFromBlob(blob.data(), blob.size(), catalogue.data(), count, &memory,
                                   checked.folder, nullptr, ops);
    if (failures < 0 || failures > count) abort();
  }
  return 0;
}
