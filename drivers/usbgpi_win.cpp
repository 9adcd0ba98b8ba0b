#include <windows.h>

#include "drivers/usbgpi.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"
#include "system/syscalls.h"

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
    SysResult copied = CopyOneFile(source, destination, 0);
    LogAction("copy driver information file to", destination, copied.ok, copied.error);
    if (copied.ok) TallyWritten(TALLY_FILE);
  } else {
    SysResult deleted = DeleteOneFile(destination);
    LogAction("delete driver information file", destination, deleted.ok, deleted.error);
    if (deleted.ok) TallyRemoved(TALLY_FILE);
  }
  return choice;
}
