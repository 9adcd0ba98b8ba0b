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
#include "install/uninstall_entry.h"
#include "procedures/install_procedure.h"
#include "procedures/texts.h"
#include "system/folders.h"
#include "system/syscalls.h"
#include "uninstall/pending_renames.h"
#include "uninstall/removal.h"

namespace {

void SetStatus(InstallerContext& context, const char* text) {
  CopyText(context.statusLine, sizeof context.statusLine, text);
}

// Puts the text, the vendor's address and a full stop into errorText, posts the error
// notice and gives back the code. The log names the step and the reason.
int Fail(InstallerContext& context, const char* text, const char* why, int code) {
  CopyText(context.errorText, sizeof context.errorText, text);
  AppendText(context.errorText, sizeof context.errorText, VENDOR_ADDRESS);
  AppendText(context.errorText, sizeof context.errorText, ".");
  LogFormatted(FormatFailureLine, context.statusLine, why);
  PostNotice(context, NOTICE_ERROR);
  return code;
}

void SetLoggedMachineString(const char* name, const char* text) {
  int ok = SetMachineString(UNINSTALL_KEY, name, text);
  LogFormatted(FormatRegistryLine, "set value", "HKLM", UNINSTALL_KEY, name, ok,
               ok ? 0 : GetLastError());
  if (ok) TallyWritten(TALLY_ENTRY_VALUE);
}

void SetLoggedMachineDword(const char* name, unsigned value) {
  int ok = SetMachineDword(UNINSTALL_KEY, name, value);
  LogFormatted(FormatRegistryLine, "set value", "HKLM", UNINSTALL_KEY, name, ok,
               ok ? 0 : GetLastError());
  if (ok) TallyWritten(TALLY_ENTRY_VALUE);
}

// Makes "<programs>\QX Audio\Mixarro" and the edition's shortcut rows in it. A folder that
// cannot be made, or a shortcut that cannot be saved, is passed over.
void MakeShortcuts(InstallerContext& context, const char* programsFolder) {
  char folder[PATH_CAPACITY];
  if (!JoinPath(folder, sizeof folder, programsFolder, START_MENU_SUBFOLDER)) return;
  if (CreateFolderPath(folder) != 1) {
    LogAction("create the Start-menu folder (no shortcuts in it)", folder, 0, GetLastError());
    return;
  }
  const ShortcutRow* rows[32];
  int n = ApplicableShortcutRows(ThisEdition(), context.isWindows64, rows, 32);
  for (int i = 0; i < n && i < 32; ++i) {
    char target[PATH_CAPACITY];
    if (!JoinPath(target, sizeof target, context.targetFolder, rows[i]->target)) continue;
    int32_t result = CreateShortcut(target, folder, rows[i]->title, nullptr);
    LogFormatted(FormatShortcutLine, "create shortcut", folder, rows[i]->title, result == 0,
                 static_cast<unsigned long>(result));
    if (result == 0) TallyWritten(TALLY_SHORTCUT);
  }
}

int InstallSteps(InstallerContext& context) {
  const EditionConfig& edition = ThisEdition();
  CopyText(context.errorCaption, sizeof context.errorCaption, INSTALL_ERROR_CAPTION);

  SetStatus(context, EXTRACT_STATUS);
  if (LoadCatalogue(context) != 0)
    return Fail(context, PACKAGE_TEXT, "the payload is missing or holds no files", RESULT_REFUSED);

  SetStatus(context, COPY_STATUS);
  ComputeTargetFolder(context, PROGRAM_SUBFOLDER);
  LogFormatted(FormatContextLine, context.targetFolder);
  if (CreateFolderPath(context.targetFolder) != 1)
    return Fail(context, FOLDER_TEXT, "the program folder cannot be created",
                RESULT_NO_PROGRAM_FOLDER);
  if (edition.lockedFileHandling) {
    // What an earlier removal could not delete because it was in use goes now, or at the
    // restart when it is still in use.
    DeleteLeftoverFiles(context.targetFolder);
    ScheduleLeftoverDeletionAtRestart(context.targetFolder);
  }
  // A removal since the last restart (or an older version of this program) may have left
  // deletions of this folder's own names pending: the restart must not take what this run
  // writes. Pending deletions of ".del" files stay.
  ForgetPendingDeletionsBelow(context.targetFolder);
  if (ExtractPayload(context, nullptr) != 0)
    return Fail(context, COPY_TEXT, "payload files failed to verify or to be written (see above)",
                RESULT_PAYLOAD_NOT_WRITTEN);

  for (int i = 0; i < edition.driverPackageCount; ++i) {
    SetStatus(context, edition.driverPackages[i].statusText);
    // A failing sub-setup has posted its own notice (or none, when it could not start).
    int result = InstallDriverPackage(context, edition.driverPackages[i].stem);
    if (result != 0) {
      LogFormatted(FormatFailureLine, context.statusLine,
                   result == RESULT_SUBSETUP_RESTART_NEEDED ? "the sub-setup asks for a restart"
                   : result == RESULT_SUBSETUP_FAILED       ? "the sub-setup failed"
                                                            : "the sub-setup cannot be started");
      return result;
    }
  }

  SetAsioRegistration(context, 1);
  if (edition.usbGpiFiles) SetUsbGpiDriverInfo(context, 1);
  for (const char* value : INSTALL_USER_VALUES) {
    int ok = SetUserDword(PRODUCT_USER_KEY, value, 0);
    LogFormatted(FormatRegistryLine, "set value", "HKCU", PRODUCT_USER_KEY, value, ok,
                 ok ? 0 : GetLastError());
  }

  SetStatus(context, FINALIZE_STATUS);
  char programs[PATH_CAPACITY];
  if (ReadUserProgramsFolder(programs, sizeof programs)) MakeShortcuts(context, programs);
  const char* common = GetCommonProgramsFolder();
  if (common[0] != '\0') MakeShortcuts(context, common);

  // The copy of this program in the program folder is the uninstaller that Programs and
  // Features starts. Running from the program folder itself, the copy fails and the entry
  // names the running file.
  char ownName[PATH_CAPACITY];
  UninstallerCopyName(ownName, sizeof ownName, context.setupPath, context.setupPathReach,
                      edition.setupBaseName);
  char copy[PATH_CAPACITY];
  JoinPath(copy, sizeof copy, context.targetFolder, ownName);
  // A running file that no 8-bit path can name is copied through its UTF-16 path.
  const int copied =
      (context.setupPath[0] ? CopyOneFile(context.setupPath, copy, 0) : CopyOwnProgram(copy, 0)).ok;
  LogAction("copy the installer to", copy, copied, copied ? 0 : GetLastError());
  if (copied) {
    // The copy keeps the attributes of the file it came from (read-only, hidden); clearing
    // them is a courtesy whose failure leaves a whole uninstaller.
    SysResult normal = SetAttributes(copy, FILE_ATTRIBUTE_NORMAL);
    if (!normal.ok) LogAction("clear the attributes of", copy, 0, normal.error);
  }
  // Programs and Features starts what the entry names: never a copy that is missing or is
  // not this program (an older copy held open, a folder in the way, a disk that filled up).
  // A copy that CopyFile reports made is this program; only after a failed copy is what stands
  // there read back (run from the program folder itself, it is this very file).
  if (!copied && !SameFileContents(context.setupPath, copy))
    return Fail(context, COPY_TEXT,
                "the installer's copy in the program folder is missing or differs from the "
                "running program: no uninstall entry",
                RESULT_PAYLOAD_NOT_WRITTEN);
  if (copied) TallyWritten(TALLY_FILE);

  // The program folder lies below "Program Files", whose name has a space: unquoted, Windows
  // would first try to start "C:\Program.exe".
  char quoted[PATH_CAPACITY + 2];
  BuildQuotedPath(quoted, sizeof quoted, copy);
  char quiet[PATH_CAPACITY + 16];
  BuildQuietUninstallString(quiet, sizeof quiet, copy);
  SetLoggedMachineString("DisplayName", ENTRY_DISPLAY_NAME);
  SetLoggedMachineString("Publisher", ENTRY_PUBLISHER);
  SetLoggedMachineString("UninstallString", quoted);
  SetLoggedMachineString("DisplayIcon", copy);
  // What deployment tools read besides.
  SetLoggedMachineString("DisplayVersion", edition.versionText);
  SetLoggedMachineString("InstallLocation", context.targetFolder);
  SetLoggedMachineString("QuietUninstallString", quiet);
  SetLoggedMachineDword("EstimatedSize",
                        EstimatedSizeKiB(context.catalogue, edition.payloadEntryCount));
  SetLoggedMachineDword("NoModify", 1);
  SetLoggedMachineDword("NoRepair", 1);
  SetLoggedMachineString("URLInfoAbout", VENDOR_ADDRESS);

  SetStatus(context, COMPLETED_STATUS);
  PostNotice(context, NOTICE_DONE);
  return 0;
}

}  // namespace

int RunInstall(InstallerContext& context) {
  int result = InstallSteps(context);
  LogFormatted(FormatResultLine, "install", result);
  return result;
}
