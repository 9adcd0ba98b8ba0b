// libFuzzer target: the machine's list of operations pending at the next restart, which every
// program on the machine writes to. Taking back this program's deletions never reads or writes
// out of bounds, keeps only whole pairs, and taking back again finds nothing more.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "uninstall/pending_renames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint16_t FOLDER[] = {'C', ':', '\\', 'Q', 'X', 0};
  // Half the input's letters fold onto the folder's, so that matches are found often.
  std::vector<uint16_t> value(size / 2);
  for (size_t i = 0; i < value.size(); ++i) {
    uint16_t u = static_cast<uint16_t>(data[2 * i] | data[2 * i + 1] << 8);
    if (data[2 * i + 1] & 0x80) u = "C:\\QX.del"[data[2 * i] % 9];
    value[i] = u;
  }
  std::vector<uint16_t> out(value.size() + 1);
  size_t outUnits = 0;
  const int dropped = DropPendingDeletionsBelow(value.data(), value.size(), FOLDER, out.data(),
                                                out.size(), &outUnits);
  if (dropped < 0) return 0;
  if (outUnits > value.size() + 1) abort();
  std::vector<uint16_t> again(outUnits + 1);
  size_t againUnits = 0;
  if (DropPendingDeletionsBelow(out.data(), outUnits, FOLDER, again.data(), again.size(),
                                &againUnits) != 0)
    abort();
  if (againUnits != outUnits || memcmp(again.data(), out.data(), outUnits * 2) != 0) abort();
  return 0;
}
