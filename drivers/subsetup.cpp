#include "drivers/subsetup.h"

#include "ground/paths.h"

const char SUBSETUP_INSTALL_COMMAND[] = "-h -i -H -n";
const char SUBSETUP_REMOVE_COMMAND[] = "-h -u -H";
const char SUBSETUP_INSTALL_FAILED_TEXT[] =
    "Failed to install mixarro virtual i/o driver...\nCheck running setup in administrator mode";
const char SUBSETUP_RESTART_TEXT[] =
    "Cannot install Mixarro Package now...\nYou must RESTART your system and then relaunch setup "
    "program";
const char SUBSETUP_REMOVAL_FAILED_TEXT[] =
    "Failed to uninstall mixarro virtual i/o driver...\nOne or several applications are still "
    "using it\nClose all possible programs using mixarro\n(including control panels) and try to "
    "remove it again ";

int BuildSubSetupPath(char* out, size_t capacity, const char* folder, const char* stem,
                      int isWindows64) {
  if (!stem || stem[0] == '\0') return 0;
  return JoinPath(out, capacity, folder, stem) &&
         AppendText(out, capacity, isWindows64 == 1 ? "_x64.exe" : ".exe");
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
