// libFuzzer target: the command line, which comes from whoever starts the program.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/switches.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  Switches s = {0, 0, 0};
  ScanSwitches(text.c_str(), s);
  if ((s.hidden | s.install | s.uninstall) & ~1) abort();
  // A flag is set only when its letter follows some "-".
  if (s.install && text.find("-i") == std::string::npos) abort();
  return 0;
}
