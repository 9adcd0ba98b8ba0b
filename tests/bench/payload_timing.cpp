// The extraction work against one plain MD5 pass, interleaved round by round in one run, so
// that whatever else the machine does falls on both alike. Plain C++ without the benchmark
// library, so that the same program builds for the host and for 32-bit Windows (run there
// under Wine, where fewer registers make the one-pass walk harder).
//   payload_timing BLOB [ROUNDS]
// BLOB is the full-size Indigo blob (mixarro_fullsize_payload of the native build). Each round
// times one Md5Digest over the whole blob and two walks of all 124 entries without writes (digest
// of the scrambled bytes, descramble in place, digest of the plain bytes): one with the pass in
// the general registers, one with the pass that the program chooses on this machine (the SSE2
// pass where the system reports SSE2), each followed by scrambling the blob back untimed. Prints
// every round, the medians and the ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "editions/edition.h"
#include "install/payload_core.h"

namespace {

// The pass that the program takes on this machine.
#ifdef _WIN32
EntryPass ChosenPass() {
  return ChooseEntryPass();
}
#else
EntryPass ChosenPass() {
  return __builtin_cpu_supports("sse2") ? DigestDescrambleDigestSse2 : DigestDescrambleDigest;
}
#endif

// The goal for the walk against one MD5 pass: the 32-bit build has the fewer registers.
constexpr double GOAL = sizeof(void*) == 4 ? 1.15 : 1.10;

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

  const EntryPass chosen = ChosenPass();
  const char* chosenName = chosen == DigestDescrambleDigestSse2 ? "SSE2" : "general";
  std::vector<double> md5, general, fast;
  int failures = 0;
  printf("%-6s %10s %12s %7s %12s %7s\n", "round", "md5 ms", "general ms", "ratio", "chosen ms",
         "ratio");
  for (int r = 0; r < rounds; ++r) {
    uint8_t digest[16];
    auto start = std::chrono::steady_clock::now();
    Md5Digest(blob.data(), blob.size(), digest);
    double m = Seconds(start);
    double w[2];
    const EntryPass passes[2] = {DigestDescrambleDigest, chosen};
    for (int p = 0; p < 2; ++p) {
      UseEntryPass(passes[p]);
      start = std::chrono::steady_clock::now();
      failures +=
          WalkPayload(blob.data(), blob.size(), catalogue.data(), count, nullptr, Accept, nullptr);
      w[p] = Seconds(start);
      ScramblePayload(blob.data(), blob.size(), count);
    }
    md5.push_back(m);
    general.push_back(w[0]);
    fast.push_back(w[1]);
    printf("%-6d %10.1f %12.1f %7.2f %12.1f %7.2f   (digest %02x)\n", r + 1, m * 1e3, w[0] * 1e3,
           w[0] / m, w[1] * 1e3, w[1] / m, digest[0]);
  }
  double m = Median(md5), g = Median(general), c = Median(fast);
  printf("blob %s, %zu bytes, %d entries, %d rounds, %d failed entries, chosen pass: %s\n", argv[1],
         blob.size(), count, rounds, failures, chosenName);
  printf(
      "median plain Md5Digest %.1f ms (%.0f MB/s), walk: general pass %.1f ms, %s pass %.1f ms\n",
      m * 1e3, blob.size() / m / 1e6, g * 1e3, chosenName, c * 1e3);
  // The best round of each is what the machine does when nothing else runs beside it.
  double bestM = *std::min_element(md5.begin(), md5.end());
  double bestG = *std::min_element(general.begin(), general.end());
  double bestF = *std::min_element(fast.begin(), fast.end());
  printf("ratios of the best rounds: general pass %.2f, %s pass %.2f\n", bestG / bestM, chosenName,
         bestF / bestM);
  printf("ratio walk / Md5Digest: general pass %.2f, %s pass %.2f (medians; goal: at most %.2f)\n",
         g / m, chosenName, c / m, GOAL);
  return failures ? 1 : 0;
}
