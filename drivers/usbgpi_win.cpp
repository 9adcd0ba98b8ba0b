#include <windows.h>

#include "drivers/usbgpi.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"

int SetUsbGpiDriverInfo(InstallerContext& context, int direction) {
  int choice = 0;
  const char* name = UsbGpiFileFor(context.osCode, &choice);
  if (!name) return 0;
  char windows[PATH_CAPACITY];
  UINT length = GetWindowsDirectoryA(windows, sizeof windows);
  if (length == 0 || length >= sizeof windows) return choice;
  char infFolder[PATH_CAPACITY];
  char destination[PATH_CAPACITY];
  char source[PATH_CAPACITY];
  if (!JoinPath(infFolder, sizeof infFolder, windows, "inf") ||
      !JoinPath(destination, sizeof destination, infFolder, name) ||
      !JoinPath(source, sizeof source, context.targetFolder, name))
    return choice;
  // Failures change nothing for the calling procedure.
  if (direction) {
    BOOL ok = CopyFileA(source, destination, FALSE);
    LogAction("copy driver information file to", destination, ok, ok ? 0 : GetLastError());
    if (ok) TallyWritten(TALLY_FILE);
  } else {
    BOOL ok = DeleteFileA(destination);
    LogAction("delete driver information file", destination, ok, ok ? 0 : GetLastError());
    if (ok) TallyRemoved(TALLY_FILE);
  }
  return choice;
}
