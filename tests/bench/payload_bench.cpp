// Payload benchmark on the full-size Indigo blob (61,871,884 bytes): the extractor's work
// without the disk writes (digest of the scrambled bytes, descramble in place, digest of the
// plain bytes, all 124 entries) against one plain Md5Digest pass over the same bytes, in one
// run; and the packing tool packing the full-size folder.
//   cmake --build <native build> --target mixarro_fullsize_payload
//   <native build>/payload_bench [blob]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editions/edition.h"
#include "install/payload_core.h"

namespace {

std::vector<uint8_t> blob;
std::vector<uint8_t> catalogue;
double md5Seconds = 0;      // best pass
double extractSeconds = 0;  // best pass
int extractFailures = 0;

// Peak resident set of this process in KiB (VmHWM).
long PeakRssKib() {
  FILE* f = fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kib = -1;
  while (fgets(line, sizeof line, f))
    if (strncmp(line, "VmHWM:", 6) == 0) kib = atol(line + 6);
  fclose(f);
  return kib;
}

int LoadBlob(const char* path) {
  FILE* f = fopen(path, "rb");
  if (!f) return 0;
  fseek(f, 0, SEEK_END);
  long size = ftell(f);
  fseek(f, 0, SEEK_SET);
  blob.resize(size_t(size));
  size_t got = fread(blob.data(), 1, blob.size(), f);
  fclose(f);
  return got == blob.size();
}

int Accept(void*, int, const CatalogueEntry&, EntryVerdict, const uint8_t*) {
  return 1;
}

void BM_PlainMd5(benchmark::State& state) {
  uint8_t digest[16];
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    Md5Digest(blob.data(), blob.size(), digest);
    benchmark::DoNotOptimize(digest);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (md5Seconds == 0 || s < md5Seconds) md5Seconds = s;
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(blob.size()));
}

void BM_ExtractWithoutWrites(benchmark::State& state) {
  const int count = INDIGO_EDITION.payloadEntryCount;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    extractFailures =
        WalkPayload(blob.data(), blob.size(), catalogue.data(), count, nullptr, Accept, nullptr);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (extractSeconds == 0 || s < extractSeconds) extractSeconds = s;
    state.PauseTiming();
    ScramblePayload(blob.data(), blob.size(), count);  // back to the packed state
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(blob.size()));
  if (extractFailures) state.SkipWithError("entries failed to verify");
}

void BM_PackFullSizeFolder(benchmark::State& state) {
  std::string folder = std::string(MIXARRO_FULLSIZE_BLOB);
  folder = folder.substr(0, folder.size() - strlen(".blob"));
  std::string out = "/tmp/mixarro-bench-" + std::to_string(getpid()) + ".blob";
  std::string command =
      std::string(MIXARRO_PACK_TOOL) + " pack --edition indigo --from " + folder + " --out " + out;
  for (auto _ : state)
    if (system(command.c_str()) != 0) state.SkipWithError("mixarro-pack pack failed");
  remove(out.c_str());
}

BENCHMARK(BM_PlainMd5)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExtractWithoutWrites)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PackFullSizeFolder)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const char* path = MIXARRO_FULLSIZE_BLOB;
  if (argc > 1 && argv[argc - 1][0] != '-') path = argv[--argc];
  long before = PeakRssKib();
  if (!LoadBlob(path)) {
    fprintf(stderr,
            "payload_bench: cannot read %s; make it with "
            "cmake --build <build> --target mixarro_fullsize_payload\n",
            path);
    return 1;
  }
  const size_t catalogueSize = size_t(INDIGO_EDITION.catalogueSize);
  catalogue.assign(blob.begin(), blob.begin() + long(catalogueSize));
  long loaded = PeakRssKib();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  long after = PeakRssKib();
  printf("\nblob: %s, %zu bytes\n", path, blob.size());
  printf("plain Md5Digest:      %.1f MB/s (best pass %.1f ms)\n", blob.size() / md5Seconds / 1e6,
         md5Seconds * 1e3);
  printf("extraction, no writes: %.1f MB/s (best pass %.1f ms), %d failed entries\n",
         blob.size() / extractSeconds / 1e6, extractSeconds * 1e3, extractFailures);
  printf("ratio extraction / Md5Digest: %.2f (goal: at most 1.3)\n", extractSeconds / md5Seconds);
  printf(
      "peak RSS: %ld KiB before the blob, %ld KiB with it, %ld KiB after the runs: "
      "%ld KiB beyond the blob (bar: under 2048)\n",
      before, loaded, after, after - before - long(blob.size() / 1024));
  return extractFailures ? 1 : 0;
}
