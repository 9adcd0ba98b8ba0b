#include "tools/pack/pack.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "editions/edition.h"
#include "ground/paths.h"
#include "install/payload_core.h"

namespace fs = std::filesystem;

namespace {

// The host path of a catalogue name below `folder`: its backslashes become sub-folders.
fs::path HostPath(const char* folder, const char* name) {
  std::string relative(name);
  for (char& c : relative)
    if (c == '\\') c = '/';
  return fs::path(folder) / fs::path(relative);
}

// A catalogue name field shown in messages: at most 128 bytes, unprintable bytes as '?'.
std::string Printable(const char* field) {
  std::string s(field, strnlen(field, CATALOGUE_NAME_SIZE));
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return s;
}

// Reads the whole file into `data`; 1 on success.
int ReadFileInto(const fs::path& path, uint8_t* data, uint64_t size) {
  FILE* f = fopen(path.string().c_str(), "rb");
  if (!f) return 0;
  size_t got = size ? fread(data, 1, size_t(size), f) : 0;
  int extra = fgetc(f);
  fclose(f);
  return got == size && extra == EOF;
}

// Writes `size` bytes to `path` through "<path>.partial" and a rename; 1 on success, and on
// failure nothing is left at either name (an earlier file at `path` stays as it was).
int WriteAtomically(const char* path, const uint8_t* data, size_t size, FILE* err) {
  std::string temporary = std::string(path) + ".partial";
  FILE* f = fopen(temporary.c_str(), "wb");
  if (!f) {
    fprintf(err, "mixarro-pack: %s: cannot create: %s\n", temporary.c_str(), strerror(errno));
    return 0;
  }
  bool written = fwrite(data, 1, size, f) == size;
  bool closed = fclose(f) == 0;
  std::error_code ec;
  if (!written || !closed) {
    fprintf(err, "mixarro-pack: %s: write failed\n", temporary.c_str());
    fs::remove(temporary, ec);
    return 0;
  }
  fs::rename(temporary, path, ec);
  if (ec) {
    fprintf(err, "mixarro-pack: %s: cannot rename into place: %s\n", path, ec.message().c_str());
    fs::remove(temporary, ec);
    return 0;
  }
  return 1;
}

// Checks one name of the list; prints the problem and returns 0 when it cannot be packed.
int NameIsPackable(const char* const* names, int index, FILE* err) {
  const char* name = names[index];
  size_t length = strlen(name);
  if (length > CATALOGUE_NAME_SIZE - 1) {
    fprintf(err, "mixarro-pack: entry %d \"%s\": name longer than %d characters\n", index, name,
            CATALOGUE_NAME_SIZE - 1);
    return 0;
  }
  char field[CATALOGUE_NAME_SIZE] = {};
  memcpy(field, name, length);
  bool control = false;
  for (size_t i = 0; i < length; ++i)
    if (static_cast<unsigned char>(name[i]) < 0x20 || name[i] == '/') control = true;
  if (!EntryNameIsSafe(field) || control) {
    fprintf(err,
            "mixarro-pack: entry %d \"%s\": unsafe name (empty, absolute, a colon, a \"..\" "
            "component, a slash or a control character)\n",
            index, Printable(field).c_str());
    return 0;
  }
  for (int j = 0; j < index; ++j) {
    if (EqualIgnoringAsciiCase(names[j], name)) {
      fprintf(err, "mixarro-pack: entry %d \"%s\": duplicate of entry %d \"%s\"\n", index, name, j,
              names[j]);
      return 0;
    }
  }
  return 1;
}

struct WalkReport {
  BlobAction action;
  const char* toDir;
  FILE* out;
  FILE* err;
};

const char* VerdictText(EntryVerdict verdict) {
  switch (verdict) {
    case ENTRY_VERIFIED: return "ok";
    case ENTRY_OUT_OF_BOUNDS: return "out of bounds";
    case ENTRY_UNSAFE_NAME: return "unsafe name";
    case ENTRY_DIGEST_MISMATCH: return "digest mismatch";
  }
  return "?";
}

// Reports one entry of the walk and, when extracting, writes a verified one.
int ReportEntry(void* user, int index, const CatalogueEntry& entry, EntryVerdict verdict,
                const uint8_t* data) {
  const WalkReport& report = *static_cast<const WalkReport*>(user);
  std::string name = Printable(entry.name);
  if (report.action == BLOB_LIST) {
    char hex[33];
    for (int i = 0; i < 16; ++i) snprintf(hex + 2 * i, 3, "%02x", entry.digest[i]);
    fprintf(report.out, "%3d %10u %10u %s %-15s %s\n", index, entry.offset, entry.size, hex,
            VerdictText(verdict), name.c_str());
  }
  if (verdict != ENTRY_VERIFIED) {
    fprintf(report.err, "mixarro-pack: entry %d \"%s\": %s\n", index, name.c_str(),
            VerdictText(verdict));
    return 0;
  }
  if (report.action != BLOB_EXTRACT) return 1;
  fs::path path = HostPath(report.toDir, name.c_str());
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  FILE* f = fopen(path.string().c_str(), "wb");
  bool ok = f && fwrite(data, 1, entry.size, f) == entry.size;
  if (f && fclose(f) != 0) ok = false;
  if (!ok) {
    fprintf(report.err, "mixarro-pack: entry %d \"%s\": cannot write %s\n", index, name.c_str(),
            path.string().c_str());
    return 0;
  }
  return 1;
}

int Usage(FILE* err) {
  fprintf(err,
          "usage: mixarro-pack pack --edition indigo|cobalt --from DIR --out BLOB\n"
          "       mixarro-pack list|verify --edition indigo|cobalt BLOB\n"
          "       mixarro-pack extract --edition indigo|cobalt BLOB --to DIR\n"
          "       mixarro-pack names --edition indigo|cobalt   (the catalogue order)\n");
  return 2;
}

}  // namespace

int PackFolder(const char* const* names, int count, const char* fromDir, const char* outPath,
               FILE* err) {
  if (count < 1 || count > MAX_PAYLOAD_ENTRY_COUNT) {
    fprintf(err, "mixarro-pack: %d names; a payload holds 1 to %d\n", count,
            MAX_PAYLOAD_ENTRY_COUNT);
    return 1;
  }
  std::error_code ec;
  if (!fs::is_directory(fromDir, ec)) {
    fprintf(err, "mixarro-pack: %s: not a folder\n", fromDir);
    return 1;
  }
  const uint64_t catalogueSize = uint64_t(count) * CATALOGUE_ENTRY_SIZE;
  std::vector<uint64_t> sizes(size_t(count), 0);
  uint64_t total = catalogueSize;
  int problems = 0;
  for (int i = 0; i < count; ++i) {
    if (!NameIsPackable(names, i, err)) {
      ++problems;
      continue;
    }
    fs::path path = HostPath(fromDir, names[i]);
    if (!fs::is_regular_file(path, ec)) {
      fprintf(err, "mixarro-pack: entry %d \"%s\": %s is missing\n", i, names[i],
              path.string().c_str());
      ++problems;
      continue;
    }
    sizes[size_t(i)] = fs::file_size(path, ec);
    if (ec || sizes[size_t(i)] == 0) {
      fprintf(err, "mixarro-pack: entry %d \"%s\": %s is empty\n", i, names[i],
              path.string().c_str());
      ++problems;
      continue;
    }
    total += sizes[size_t(i)];
  }
  if (problems) {
    fprintf(err, "mixarro-pack: %d problem(s); %s not written\n", problems, outPath);
    return 1;
  }
  if (total > UINT32_MAX) {
    fprintf(err, "mixarro-pack: the payload would be %llu bytes, more than 4 GiB; %s not written\n",
            static_cast<unsigned long long>(total), outPath);
    return 1;
  }
  std::vector<uint8_t> blob(size_t(total), 0);
  uint64_t offset = catalogueSize;
  for (int i = 0; i < count; ++i) {
    CatalogueEntry entry = {};
    memcpy(entry.name, names[i], strlen(names[i]));
    entry.offset = uint32_t(offset);
    entry.size = uint32_t(sizes[size_t(i)]);
    uint8_t* data = blob.data() + offset;
    if (!ReadFileInto(HostPath(fromDir, names[i]), data, entry.size)) {
      fprintf(err, "mixarro-pack: entry %d \"%s\": cannot read it whole; %s not written\n", i,
              names[i], outPath);
      return 1;
    }
    Md5Digest(data, entry.size, entry.digest);
    WriteCatalogueEntry(entry, blob.data() + size_t(i) * CATALOGUE_ENTRY_SIZE);
    offset += entry.size;
  }
  ScramblePayload(blob.data(), blob.size(), count);
  return WriteAtomically(outPath, blob.data(), blob.size(), err) ? 0 : 1;
}

int ProcessBlob(BlobAction action, int entryCount, const char* blobPath, const char* toDir,
                FILE* out, FILE* err) {
  std::error_code ec;
  uint64_t size = fs::file_size(blobPath, ec);
  if (ec) {
    fprintf(err, "mixarro-pack: %s: cannot read: %s\n", blobPath, ec.message().c_str());
    return 1;
  }
  const uint64_t catalogueSize = uint64_t(entryCount) * CATALOGUE_ENTRY_SIZE;
  if (size <= catalogueSize) {
    fprintf(err, "mixarro-pack: %s: %llu bytes, not larger than the %llu-byte catalogue\n",
            blobPath, static_cast<unsigned long long>(size),
            static_cast<unsigned long long>(catalogueSize));
    return 1;
  }
  std::vector<uint8_t> blob(size_t(size), 0);
  if (!ReadFileInto(blobPath, blob.data(), size)) {
    fprintf(err, "mixarro-pack: %s: cannot read it whole\n", blobPath);
    return 1;
  }
  // The records are read from a copy of the catalogue, as the program reads them from its
  // context: an entry that lies over the catalogue (damaged input) is descrambled where it lies
  // and must not change the records after it, or the tool and the program would disagree.
  std::vector<uint8_t> catalogue(blob.begin(), blob.begin() + ptrdiff_t(catalogueSize));
  WalkReport report = {action, toDir, out, err};
  int failures =
      WalkPayload(blob.data(), size, catalogue.data(), entryCount, nullptr, ReportEntry, &report);
  if (failures) {
    fprintf(err, "mixarro-pack: %s: %d of %d entries failed\n", blobPath, failures, entryCount);
    return 1;
  }
  if (action != BLOB_LIST) fprintf(out, "%s: all %d entries verified\n", blobPath, entryCount);
  return 0;
}

int RunPackTool(int argc, const char* const* argv, FILE* out, FILE* err) {
  if (argc < 2) return Usage(err);
  const char* command = argv[1];
  const char* edition = nullptr;
  const char* from = nullptr;
  const char* outPath = nullptr;
  const char* to = nullptr;
  const char* blob = nullptr;
  for (int i = 2; i < argc; ++i) {
    const char* arg = argv[i];
    const char** option = nullptr;
    if (strcmp(arg, "--edition") == 0) option = &edition;
    if (strcmp(arg, "--from") == 0) option = &from;
    if (strcmp(arg, "--out") == 0) option = &outPath;
    if (strcmp(arg, "--to") == 0) option = &to;
    if (option) {
      if (i + 1 >= argc) return Usage(err);
      *option = argv[++i];
    } else if (arg[0] != '-' && !blob) {
      blob = arg;
    } else {
      fprintf(err, "mixarro-pack: unexpected argument \"%s\"\n", arg);
      return Usage(err);
    }
  }
  const EditionConfig* config = FindEdition(edition);
  if (!config) {
    fprintf(err, "mixarro-pack: unknown edition \"%s\" (indigo or cobalt)\n",
            edition ? edition : "");
    return Usage(err);
  }
  if (strcmp(command, "names") == 0) {
    if (from || outPath || blob || to) return Usage(err);
    for (int i = 0; i < config->payloadEntryCount; ++i)
      fprintf(out, "%s\n", config->payloadNames[i]);
    return 0;
  }
  if (strcmp(command, "pack") == 0) {
    if (!from || !outPath || blob || to) return Usage(err);
    return PackFolder(config->payloadNames, config->payloadEntryCount, from, outPath, err);
  }
  BlobAction action;
  if (strcmp(command, "list") == 0)
    action = BLOB_LIST;
  else if (strcmp(command, "verify") == 0)
    action = BLOB_VERIFY;
  else if (strcmp(command, "extract") == 0)
    action = BLOB_EXTRACT;
  else
    return Usage(err);
  if (!blob || from || outPath || (action == BLOB_EXTRACT) != (to != nullptr)) return Usage(err);
  return ProcessBlob(action, config->payloadEntryCount, blob, to, out, err);
}
