// The extraction work against one plain MD5 pass, interleaved round by round in one run, so
// that whatever else the machine does falls on both alike. Plain C++ without the benchmark
// library, so that the same program builds for the host and for 32-bit Windows (run there
// under Wine, where fewer registers make the one-pass walk harder).
//   payload_timing BLOB [ROUNDS]
// BLOB is the full-size Indigo blob (mixarro_fullsize_payload of the native build). Each round
// times one Md5Digest over the whole blob and one walk of all 124 entries without writes (digest
// of the scrambled bytes, descramble in place, digest of the plain bytes), then scrambles the
// blob back untimed. Prints every round, both medians and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "editions/edition.h"
#include "install/payload_core.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

int Accept(void*, int, const CatalogueEntry&, EntryVerdict, const uint8_t*) {
  return 1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: payload_timing BLOB [ROUNDS]\n");
    return 2;
  }
  int rounds = argc > 2 ? atoi(argv[2]) : 15;
  if (rounds < 1) rounds = 1;
  FILE* f = fopen(argv[1], "rb");
  if (!f) {
    fprintf(stderr, "payload_timing: cannot open %s\n", argv[1]);
    return 1;
  }
  fseek(f, 0, SEEK_END);
  long size = ftell(f);
  fseek(f, 0, SEEK_SET);
  std::vector<uint8_t> blob(size_t(size > 0 ? size : 0));
  size_t got = fread(blob.data(), 1, blob.size(), f);
  fclose(f);
  const int count = INDIGO_EDITION.payloadEntryCount;
  const size_t catalogueSize = size_t(INDIGO_EDITION.catalogueSize);
  if (got != blob.size() || blob.size() <= catalogueSize) {
    fprintf(stderr, "payload_timing: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> catalogue(blob.begin(), blob.begin() + long(catalogueSize));

  std::vector<double> md5, walk;
  int failures = 0;
  printf("%-6s %12s %12s %7s\n", "round", "md5 ms", "walk ms", "ratio");
  for (int r = 0; r < rounds; ++r) {
    uint8_t digest[16];
    auto start = std::chrono::steady_clock::now();
    Md5Digest(blob.data(), blob.size(), digest);
    double m = Seconds(start);
    start = std::chrono::steady_clock::now();
    failures +=
        WalkPayload(blob.data(), blob.size(), catalogue.data(), count, nullptr, Accept, nullptr);
    double w = Seconds(start);
    ScramblePayload(blob.data(), blob.size(), count);
    md5.push_back(m);
    walk.push_back(w);
    printf("%-6d %12.1f %12.1f %7.2f   (digest %02x)\n", r + 1, m * 1e3, w * 1e3, w / m, digest[0]);
  }
  double m = Median(md5), w = Median(walk);
  printf("blob %s, %zu bytes, %d entries, %d rounds, %d failed entries\n", argv[1], blob.size(),
         count, rounds, failures);
  printf("median plain Md5Digest %.1f ms (%.0f MB/s), median walk %.1f ms (%.0f MB/s)\n", m * 1e3,
         blob.size() / m / 1e6, w * 1e3, blob.size() / w / 1e6);
  // The best round of each is what the machine does when nothing else runs beside it.
  double bestM = *std::min_element(md5.begin(), md5.end());
  double bestW = *std::min_element(walk.begin(), walk.end());
  printf("best plain Md5Digest %.1f ms, best walk %.1f ms, ratio of the best %.2f\n", bestM * 1e3,
         bestW * 1e3, bestW / bestM);
  printf("ratio walk / Md5Digest: %.2f (medians; goal: at most 1.30)\n", w / m);
  return failures ? 1 : 0;
}
