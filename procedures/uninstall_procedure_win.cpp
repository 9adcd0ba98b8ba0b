#include "drivers/asio.h"
#include "drivers/subsetup.h"
#include "drivers/usbgpi.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "ground/results.h"
#include "ground/run_log.h"
#include "install/payload.h"
#include "install/registry.h"
#include "install/shortcuts.h"
#include "procedures/texts.h"
#include "procedures/uninstall_procedure.h"
#include "system/folders.h"
#include "uninstall/removal.h"

namespace {

// Deletes the edition's shortcuts from "<programs>\QX Audio\Mixarro" and then that folder.
void RemoveShortcuts(const InstallerContext& context, const char* programsFolder) {
  char folder[PATH_CAPACITY];
  if (!JoinPath(folder, sizeof folder, programsFolder, START_MENU_SUBFOLDER)) return;
  const EditionConfig& edition = ThisEdition();
  for (int i = 0; i < edition.removalTitleCount; ++i) {
    const RemovalTitle& t = edition.removalTitles[i];
    if (t.onlyOnWindows64 && context.isWindows64 != 1) continue;
    int deleted = DeleteShortcut(folder, t.title);
    LogFormatted(FormatShortcutLine, "delete shortcut", folder, t.title, deleted,
                 deleted ? 0 : GetLastError());
    if (deleted) TallyRemoved(TALLY_SHORTCUT);
  }
  RemoveFolderTree(folder);
}

int UninstallSteps(InstallerContext& context) {
  const EditionConfig& edition = ThisEdition();
  CopyText(context.errorCaption, sizeof context.errorCaption, UNINSTALL_ERROR_CAPTION);

  if (LoadCatalogue(context) != 0) {
    CopyText(context.errorText, sizeof context.errorText, edition.uninstallPackageText);
    AppendText(context.errorText, sizeof context.errorText, VENDOR_ADDRESS);
    AppendText(context.errorText, sizeof context.errorText, ".");
    LogFormatted(FormatFailureLine, "load the payload catalogue",
                 "the payload is missing or holds no files");
    PostNotice(context, NOTICE_ERROR);
    return RESULT_REFUSED;
  }
  ComputeTargetFolder(context, PROGRAM_SUBFOLDER);
  LogFormatted(FormatContextLine, context.targetFolder);

  // The drivers go first: while a package is still installed nothing else is touched.
  for (int i = 0; i < edition.driverPackageCount; ++i) {
    int result = UninstallDriverPackage(context, edition.driverPackages[i].stem);
    if (result != 0) {
      LogFormatted(FormatFailureLine, edition.driverPackages[i].stem,
                   result == RESULT_SUBSETUP_FAILED ? "the sub-setup failed to remove its driver"
                                                    : "the sub-setup cannot be started");
      return result;
    }
  }

  SetAsioRegistration(context, 0);
  if (edition.usbGpiFiles) SetUsbGpiDriverInfo(context, 0);
  if (edition.lockedFileHandling) DeleteLeftoverFiles(context.targetFolder);
  DeleteInstalledFiles(context);

  char programs[PATH_CAPACITY];
  if (ReadUserProgramsFolder(programs, sizeof programs)) RemoveShortcuts(context, programs);
  const char* common = GetCommonProgramsFolder();
  if (common[0] != '\0') RemoveShortcuts(context, common);

  // Without a Startup folder the autostart shortcut has no place to be.
  const char* startup = GetStartupFolder();
  if (startup[0] != '\0') {
    // Made by the mixer itself when its user asks for it, so mostly not there (error 2).
    int deleted = DeleteShortcut(startup, AUTOSTART_TITLE);
    LogFormatted(FormatShortcutLine, "delete shortcut", startup, AUTOSTART_TITLE, deleted,
                 deleted ? 0 : GetLastError());
  }
  for (const char* value : REMOVAL_USER_VALUES) {
    int ok = SetUserDword(PRODUCT_USER_KEY, value, 0);
    LogFormatted(FormatRegistryLine, "set value", "HKCU", PRODUCT_USER_KEY, value, ok,
                 ok ? 0 : GetLastError());
  }

  const int entryValues = CountMachineValues(UNINSTALL_KEY);
  int removed = RemoveRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
  LogFormatted(FormatRegistryLine, "remove key", "HKLM", UNINSTALL_KEY, nullptr, removed,
               removed ? 0 : GetLastError());
  for (int i = 0; removed && i < entryValues; ++i) TallyRemoved(TALLY_ENTRY_VALUE);

  ComputeTargetFolder(context, PROGRAM_SUBFOLDER);
  RemoveFolderTree(context.targetFolder);
  // What is still in use goes at the restart that the final box asks for.
  ScheduleTreeDeletionAtRestart(context.targetFolder);
  context.targetFolder[0] = '\0';

  if (!hiddenMode)
    MessageBoxA(context.hwnd, edition.uninstallRebootText, REBOOT_CAPTION,
                MB_SYSTEMMODAL | MB_ICONWARNING);
  return 0;
}

}  // namespace

int UninstallProduct(InstallerContext& context) {
  int result = UninstallSteps(context);
  LogFormatted(FormatResultLine, "removal", result);
  return result;
}
