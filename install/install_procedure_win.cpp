#include "install/install_procedure.h"

#include "drivers/asio.h"
#include "drivers/subsetup.h"
#include "drivers/usbgpi.h"
#include "install/payload.h"
#include "install/paths.h"
#include "install/registry.h"
#include "install/shortcuts.h"
#include "shell/context.h"
#include "shell/window.h"
#include "system/folders.h"
#include "uninstall/removal.h"

const char VENDOR_ADDRESS[] = "https://www.qx-audio.com/mixarro";
const char PROGRAM_SUBFOLDER[] = "QX\\Mixarro";
const char START_MENU_SUBFOLDER[] = "QX Audio\\Mixarro";

namespace {

const char PACKAGE_TEXT[] =
    "Installation package might be corrupted\nthanks to download official package at\n";
const char FOLDER_TEXT[] =
    "Failed to create target folder on system disk\nthanks to download official package at\n";
const char COPY_TEXT[] =
    "Failed to copy file(s) to destination folder...\nInstallation package might be "
    "corrupted\nthanks to download official package at\n";

void SetStatus(InstallerContext& context, const char* text) {
  CopyText(context.statusLine, sizeof context.statusLine, text);
}

// Puts the text, the vendor's address and a full stop into errorText, posts the error
// notice and gives back the code.
int Fail(InstallerContext& context, const char* text, int code) {
  CopyText(context.errorText, sizeof context.errorText, text);
  AppendText(context.errorText, sizeof context.errorText, VENDOR_ADDRESS);
  AppendText(context.errorText, sizeof context.errorText, ".");
  PostWorkerNotice(context, NOTICE_ERROR);
  return code;
}

// Makes "<programs>\QX Audio\Mixarro" and the edition's shortcut rows in it. A folder that
// cannot be made, or a shortcut that cannot be saved, is passed over.
void MakeShortcuts(InstallerContext& context, const char* programsFolder) {
  char folder[PATH_CAPACITY];
  if (!JoinPath(folder, sizeof folder, programsFolder, START_MENU_SUBFOLDER)) return;
  if (CreateFolderPath(folder) != 1) return;
  const ShortcutRow* rows[32];
  int n = ApplicableShortcutRows(ThisEdition(), context.isWindows64, rows, 32);
  for (int i = 0; i < n && i < 32; ++i) {
    char target[PATH_CAPACITY];
    if (!JoinPath(target, sizeof target, context.targetFolder, rows[i]->target)) continue;
    CreateShortcut(target, folder, rows[i]->title, nullptr);
  }
}

}  // namespace

int RunInstall(InstallerContext& context) {
  const EditionConfig& edition = ThisEdition();
  CopyText(context.errorCaption, sizeof context.errorCaption, "Mixarro Installation Error");

  SetStatus(context, "Extract Package");
  if (LoadCatalogue(context) != 0) return Fail(context, PACKAGE_TEXT, -1);

  SetStatus(context, "Copy Files");
  ComputeTargetFolder(context, PROGRAM_SUBFOLDER);
  if (CreateFolderPath(context.targetFolder) != 1) return Fail(context, FOLDER_TEXT, -3);
  // What an earlier removal could not delete because it was in use goes now.
  if (edition.lockedFileHandling) DeleteLeftoverFiles(context.targetFolder);
  if (ExtractPayload(context, nullptr) != 0) return Fail(context, COPY_TEXT, -10);

  for (int i = 0; i < edition.driverPackageCount; ++i) {
    SetStatus(context, edition.driverPackages[i].statusText);
    // A failing sub-setup has posted its own notice (or none, when it could not start).
    int result = InstallDriverPackage(context, edition.driverPackages[i].stem);
    if (result != 0) return result;
  }

  SetAsioRegistration(context, 1);
  if (edition.usbGpiFiles) SetUsbGpiDriverInfo(context, 1);
  SetUserDword(PRODUCT_USER_KEY, "install", 0);
  SetUserDword(PRODUCT_USER_KEY, "nbLaunch", 0);
  SetUserDword(PRODUCT_USER_KEY, "done", 0);

  SetStatus(context, "Finalize Installation");
  char programs[PATH_CAPACITY];
  if (ReadUserString(SHELL_FOLDERS_KEY, "Programs", programs, sizeof programs) == 1)
    MakeShortcuts(context, programs);
  const char* common = GetCommonProgramsFolder();
  if (common[0] != '\0') MakeShortcuts(context, common);

  // The copy of this program in the program folder is the uninstaller that Programs and
  // Features starts. Running from the program folder itself, the copy fails and the entry
  // names the running file.
  char ownName[PATH_CAPACITY];
  CopyText(ownName, sizeof ownName, context.setupPath);
  KeepFileName(ownName);
  char copy[PATH_CAPACITY];
  JoinPath(copy, sizeof copy, context.targetFolder, ownName);
  if (CopyFileA(context.setupPath, copy, FALSE)) SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);

  // The program folder lies below "Program Files", whose name has a space: unquoted, Windows
  // would first try to start "C:\Program.exe".
  char quoted[PATH_CAPACITY + 2];
  CopyText(quoted, sizeof quoted, "\"");
  AppendText(quoted, sizeof quoted, copy);
  AppendText(quoted, sizeof quoted, "\"");
  SetMachineString(UNINSTALL_KEY, "DisplayName", "Mixarro, The Virtual Mixing Console");
  SetMachineString(UNINSTALL_KEY, "Publisher", "QX-Audio Software");
  SetMachineString(UNINSTALL_KEY, "UninstallString", quoted);
  SetMachineString(UNINSTALL_KEY, "DisplayIcon", copy);

  SetStatus(context, "Installation Completed");
  PostWorkerNotice(context, NOTICE_DONE);
  return 0;
}
