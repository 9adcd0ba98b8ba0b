#include "drivers/subsetup.h"

#include "ground/paths.h"

int BuildSubSetupPath(char* out, size_t capacity, const char* folder, const char* stem,
                      int isWindows64) {
  if (!stem || stem[0] == '\0') return 0;
  return JoinPath(out, capacity, folder, stem) &&
         AppendText(out, capacity, isWindows64 == 1 ? SUBSETUP_SUFFIX_64 : SUBSETUP_SUFFIX_32);
}

int SubSetupResult(int installing, int32_t exitCode) {
  if (exitCode < 0) return SUBSETUP_FAILED;
  if (installing && exitCode == 1) return SUBSETUP_RESTART_NEEDED;
  return 0;
}

const char* SubSetupErrorText(int installing, int result) {
  if (result == SUBSETUP_FAILED)
    return installing ? SUBSETUP_INSTALL_FAILED_TEXT : SUBSETUP_REMOVAL_FAILED_TEXT;
  if (installing && result == SUBSETUP_RESTART_NEEDED) return SUBSETUP_RESTART_TEXT;
  return nullptr;
}
