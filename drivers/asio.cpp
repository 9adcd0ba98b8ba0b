#include "drivers/asio.h"

#include "ground/paths.h"

int BuildRegistrationProgramPath(char* out, size_t capacity, const char* folder) {
  return JoinPath(out, capacity, folder, REGISTRATION_PROGRAM);
}

int BuildRegistrationCommandLine(char* out, size_t capacity, const char* folder,
                                 const char* module64, int direction) {
  if (!CopyText(out, capacity, direction ? "" : REGISTRATION_UNREGISTER_SWITCH)) return 0;
  if (!AppendText(out, capacity, REGISTRATION_FILE_SWITCH)) return 0;
  size_t used = 0;
  while (out[used]) ++used;
  // The module path follows "-f" directly, unquoted, even when it holds blanks.
  return JoinPath(out + used, capacity - used, folder, module64);
}
