#include "drivers/asio.h"

#include "ground/paths.h"

const char REGISTRATION_PROGRAM[] = "qxregsvr64.exe";

int BuildRegistrationProgramPath(char* out, size_t capacity, const char* folder) {
  return JoinPath(out, capacity, folder, REGISTRATION_PROGRAM);
}

int BuildRegistrationCommandLine(char* out, size_t capacity, const char* folder,
                                 const char* module64, int direction) {
  if (!CopyText(out, capacity, direction ? "" : " -u ")) return 0;
  if (!AppendText(out, capacity, " -f")) return 0;
  size_t used = 0;
  while (out[used]) ++used;
  // The module path follows "-f" directly, unquoted, even when it holds blanks.
  return JoinPath(out + used, capacity - used, folder, module64);
}
