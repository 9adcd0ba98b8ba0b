#include "uninstall/uninstall_procedure.h"

#include "drivers/asio.h"
#include "drivers/subsetup.h"
#include "drivers/usbgpi.h"
#include "install/install_procedure.h"
#include "install/payload.h"
#include "install/paths.h"
#include "install/registry.h"
#include "install/shortcuts.h"
#include "shell/context.h"
#include "shell/window.h"
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
    DeleteShortcut(folder, t.title);
  }
  RemoveFolderTree(folder);
}

}  // namespace

int UninstallProduct(InstallerContext& context) {
  const EditionConfig& edition = ThisEdition();
  CopyText(context.errorCaption, sizeof context.errorCaption, "Mixarro Uninstallation Error");

  if (LoadCatalogue(context) != 0) {
    CopyText(context.errorText, sizeof context.errorText, edition.uninstallPackageText);
    AppendText(context.errorText, sizeof context.errorText, VENDOR_ADDRESS);
    AppendText(context.errorText, sizeof context.errorText, ".");
    PostWorkerNotice(context, NOTICE_ERROR);
    return -1;
  }
  ComputeTargetFolder(context, PROGRAM_SUBFOLDER);

  // The drivers go first: while a package is still installed nothing else is touched.
  for (int i = 0; i < edition.driverPackageCount; ++i) {
    int result = UninstallDriverPackage(context, edition.driverPackages[i].stem);
    if (result != 0) return result;
  }

  SetAsioRegistration(context, 0);
  if (edition.usbGpiFiles) SetUsbGpiDriverInfo(context, 0);
  if (edition.lockedFileHandling) DeleteLeftoverFiles(context.targetFolder);
  DeleteInstalledFiles(context);

  char programs[PATH_CAPACITY];
  if (ReadUserString(SHELL_FOLDERS_KEY, "Programs", programs, sizeof programs) == 1)
    RemoveShortcuts(context, programs);
  const char* common = GetCommonProgramsFolder();
  if (common[0] != '\0') RemoveShortcuts(context, common);

  // Without a Startup folder the autostart shortcut has no place to be.
  const char* startup = GetStartupFolder();
  if (startup[0] != '\0') DeleteShortcut(startup, "Mixarro (QX-Audio)");
  SetUserDword(PRODUCT_USER_KEY, "SysTray", 0);
  SetUserDword(PRODUCT_USER_KEY, "SysTrayShowOnRun", 0);
  SetUserDword(PRODUCT_USER_KEY, "EngineMode", 0);

  RemoveRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);

  ComputeTargetFolder(context, PROGRAM_SUBFOLDER);
  RemoveFolderTree(context.targetFolder);
  context.targetFolder[0] = '\0';

  if (!hiddenMode)
    MessageBoxA(context.hwnd, edition.uninstallRebootText, "REBOOT YOUR SYSTEM",
                MB_SYSTEMMODAL | MB_ICONWARNING);
  return 0;
}
