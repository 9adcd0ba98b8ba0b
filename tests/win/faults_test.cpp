// Every call of the system layer that an install or a removal makes, failed in turn: the
// procedures run in this process on the test machine, first without a fault to count their
// calls, then once per call with that call failing with an error it really gives. Each run
// must end with the result that the procedure defines for that step (or success where the
// step's failure is passed over by design), name the failure in its log, leave no program
// file that differs from the payload, and be made whole by the recovery that the deployment
// guide tells administrators to run. A summary per procedure and edition goes to
// "faults-summary-<edition>-<procedure>.txt" in the build folder.
#include <gtest/gtest.h>
#include <objbase.h>
#include <setupapi.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "drivers/presence.h"
#include "editions/edition.h"
#include "ground/context.h"
#include "ground/results.h"
#include "ground/run_log.h"
#include "install/payload_core.h"
#include "procedures/install_procedure.h"
#include "procedures/uninstall_procedure.h"
#include "system/fault_injection.h"
#include "system/folders.h"
#include "system/os_version.h"
#include "tests/win/edition_choice.h"
#include "tests/win/helpers.h"
#include "tests/win/machine.h"
#include "tests/win/scratch.h"

namespace {

const char UNINSTALL[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QX:Mixarro {17359A74-1236-5467}";
const char USER_KEY[] = "QX-Audio\\MixArro";
const char SESSION_MANAGER[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
// A procedure that has not ended by then hangs.
constexpr DWORD RUN_LIMIT_MS = 120000;

enum Procedure { INSTALL, REMOVAL };

const char* ProcedureName(Procedure p) {
  return p == INSTALL ? "install" : "removal";
}

// The errors each kind of call really gives, taken in turn from one fault point to the next
// of that kind. A write that fails for a full disk has written part of the file first.
struct ErrorChoice {
  unsigned long error;
  int partial;
};
const std::vector<ErrorChoice>& ErrorsOf(FaultPoint point) {
  static const std::map<FaultPoint, std::vector<ErrorChoice>> errors = {
      {FAULT_FILE_WRITE,
       {{ERROR_DISK_FULL, 1}, {ERROR_SHARING_VIOLATION, 0}, {ERROR_ACCESS_DENIED, 0}}},
      {FAULT_FILE_COPY,
       {{ERROR_DISK_FULL, 0},
        {ERROR_ACCESS_DENIED, 0},
        {ERROR_SHARING_VIOLATION, 0},
        {ERROR_PATH_NOT_FOUND, 0}}},
      {FAULT_FILE_DELETE,
       {{ERROR_ACCESS_DENIED, 0}, {ERROR_SHARING_VIOLATION, 0}, {ERROR_PATH_NOT_FOUND, 0}}},
      {FAULT_FILE_MOVE, {{ERROR_SHARING_VIOLATION, 0}, {ERROR_ACCESS_DENIED, 0}}},
      {FAULT_FILE_ATTRIBUTES, {{ERROR_ACCESS_DENIED, 0}, {ERROR_SHARING_VIOLATION, 0}}},
      {FAULT_FOLDER_CREATE,
       {{ERROR_ACCESS_DENIED, 0}, {ERROR_PATH_NOT_FOUND, 0}, {ERROR_DISK_FULL, 0}}},
      {FAULT_FOLDER_REMOVE, {{ERROR_SHARING_VIOLATION, 0}, {ERROR_ACCESS_DENIED, 0}}},
      {FAULT_REGISTRY_WRITE, {{ERROR_ACCESS_DENIED, 0}}},
      {FAULT_REGISTRY_DELETE, {{ERROR_ACCESS_DENIED, 0}}},
      {FAULT_PROGRAM_START, {{ERROR_FILE_NOT_FOUND, 0}, {ERROR_ACCESS_DENIED, 0}}},
      {FAULT_LINK_SAVE, {{ERROR_ACCESS_DENIED, 0}, {ERROR_DISK_FULL, 0}}},
      {FAULT_MODULE_LOAD, {{ERROR_SHARING_VIOLATION, 0}, {ERROR_ACCESS_DENIED, 0}}},
  };
  return errors.at(point);
}

// One call of a counted run.
struct Call {
  FaultPoint point;
  std::string target;
};

bool StartsWithNoCase(const std::string& text, const std::string& start) {
  return text.size() >= start.size() && _strnicmp(text.c_str(), start.c_str(), start.size()) == 0;
}
bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         _stricmp(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

// What a failure of the call must give. The failures passed over by design, with success:
//   a Start-menu folder or a shortcut (the product works without it; the next install makes it),
//   the ASIO registration's module load and registration program (their results are not looked
//   at: a module is registered again by the next install), the driver information file, the
//   per-user values and each value of the uninstall entry (rewritten by the next install),
//   the installer copy's attributes (the copy itself is checked whole), and, in a removal,
//   every step after the driver packages (a file, a folder, a shortcut or the entry that stays
//   is removed by the next removal, after an install when the drivers are gone).
int ExpectedResult(Procedure procedure, const std::vector<Call>& calls, size_t index,
                   const std::string& programFolder, const std::string& setupName) {
  const Call& call = calls[index];
  if (call.point == FAULT_PROGRAM_START && call.target.find("_Setup") != std::string::npos)
    return RESULT_SUBSETUP_NOT_STARTED;
  if (procedure == REMOVAL) return RESULT_SUCCESS;
  switch (call.point) {
    case FAULT_FILE_WRITE: return RESULT_PAYLOAD_NOT_WRITTEN;
    case FAULT_FOLDER_CREATE: {
      // The program folder and the levels above it fail the install. So does any level made
      // for a payload sub-folder the first time that sub-folder is made: its files then cannot
      // be written. Made again for its other files, a level that is already there may refuse.
      // The Start-menu folders are passed over.
      size_t firstWrite = 0;
      while (firstWrite < calls.size() && calls[firstWrite].point != FAULT_FILE_WRITE) ++firstWrite;
      if (index < firstWrite) return RESULT_NO_PROGRAM_FOLDER;
      size_t leaf = index;
      while (leaf < calls.size() && calls[leaf].point == FAULT_FOLDER_CREATE &&
             StartsWithNoCase(programFolder, calls[leaf].target))
        ++leaf;
      if (leaf >= calls.size() || calls[leaf].point != FAULT_FOLDER_CREATE ||
          !StartsWithNoCase(calls[leaf].target, programFolder + "\\"))
        return RESULT_SUCCESS;
      for (size_t i = firstWrite; i < leaf; ++i)
        if (calls[i].point == FAULT_FOLDER_CREATE && calls[i].target == calls[leaf].target)
          return RESULT_SUCCESS;
      return RESULT_PAYLOAD_NOT_WRITTEN;
    }
    case FAULT_FILE_COPY:
      return EndsWithNoCase(call.target, "\\" + setupName) ? RESULT_PAYLOAD_NOT_WRITTEN
                                                           : RESULT_SUCCESS;
    default: return RESULT_SUCCESS;
  }
}

// 1 when the line names the error as the log writes it: "error 5" for a Windows error; for a
// shortcut the HRESULT of a failed save, or the error of a failed deletion, in hexadecimal.
bool NamesError(const std::string& line, unsigned long error) {
  char hresult[16], hex[16];
  snprintf(hresult, sizeof hresult, "0x%08lx",
           static_cast<unsigned long>(HRESULT_FROM_WIN32(error)));
  snprintf(hex, sizeof hex, "0x%08lx", error);
  if (line.find(hresult) != std::string::npos || line.find(hex) != std::string::npos) return true;
  const std::string words = "error " + std::to_string(error);
  for (size_t at = line.find(words); at != std::string::npos; at = line.find(words, at + 1)) {
    const size_t end = at + words.size();
    if (end == line.size() || line[end] < '0' || line[end] > '9') return true;
  }
  return false;
}

std::string TempFolder() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return folder;
}

void DeleteRunLogs() {
  for (const std::string& name : ListScratchFolder(TempFolder().substr(0, TempFolder().size() - 1)))
    if (StartsWithNoCase(name, "MixarroSetup-") && EndsWithNoCase(name, ".log"))
      DeleteFileA((TempFolder() + name).c_str());
}

// The lines of the run logs in the temporary folder.
std::vector<std::string> RunLogLines() {
  std::vector<std::string> lines;
  for (const std::string& name : ListScratchFolder(TempFolder().substr(0, TempFolder().size() - 1)))
    if (StartsWithNoCase(name, "MixarroSetup-") && EndsWithNoCase(name, ".log"))
      for (const std::string& line : ReadLines(TempFolder() + name)) lines.push_back(line);
  return lines;
}

void NoticeIgnored(const InstallerContext&, long) {}

InstallerContext context;

struct ProcedureRun {
  Procedure procedure;
  int result;
};

// Runs the procedure on a thread of its own (COM initialised there, as the worker and the
// window thread have it) with a log of its own.
void RunProcedure(void* argument) {
  ProcedureRun& run = *static_cast<ProcedureRun*>(argument);
  CoInitialize(nullptr);
  OpenRunLog(context, run.procedure == INSTALL ? "-h -i" : "-h -u", context.osCode,
             OsCodeLabel(context.osCode));
  run.result = run.procedure == INSTALL ? RunInstall(context) : UninstallProduct(context);
  CloseRunLog(run.result);
  CoUninitialize();
}

class Faults : public testing::Test {
 protected:
  void SetUp() override {
    standinLog_ = TempFolder() + "mixarro-standins.log";
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", standinLog_.c_str());
    hiddenMode = 1;
    QuerySystemFolders();
    // The stand-in modules need no settling time after their registration; the sweeps run
    // the procedures hundreds of times.
    SkipPauses(1);
  }
  void TearDown() override {
    ArmFault(0, 0, 0);
    SkipPauses(0);
    CleanMachine();
    DeleteRunLogs();
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    ChooseEdition(INDIGO_EDITION);
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", nullptr);
  }

  // The procedures read the payload of the edition's program, loaded as a module of this
  // process, and that edition's table. A fresh load for each test: the extraction leaves the
  // blob descrambled in memory.
  void UseEdition(const EditionConfig& edition) {
    ChooseEdition(edition);
    edition_ = &edition;
    setup_ = SetupProgram(edition.name);
    module_ = LoadLibraryExA(setup_.c_str(), nullptr, 0);
    ASSERT_NE(module_, nullptr) << setup_ << " " << GetLastError();
    ZeroMemory(&context, sizeof context);
    context.hInstance = module_;
    context.isWindows64 = IsWindows64();
    context.osCode = DetectOsCode();
    context.postNotice = NoticeIgnored;
    lstrcpynA(context.setupPath, setup_.c_str(), sizeof context.setupPath);
    setupName_ = setup_.substr(setup_.find_last_of('\\') + 1);
    programFolder_ = ProgramFolder();
  }

  int RunOnce(Procedure procedure, bool* ended) {
    static ProcedureRun run;
    run = {procedure, 0x7fffffff};
    *ended = EndsWithin(RUN_LIMIT_MS, RunProcedure, &run);
    return run.result;
  }

  // A run as a switch run makes it: the presence probe decides, a present product is removed
  // by either switch, and the removal switch changes nothing without one. The result, and
  // whether it removed.
  int SwitchRun(Procedure asked, bool* removed, bool* ended) {
    *removed = ProbeProductPresent(context) == 1;
    if (!*removed && asked == REMOVAL) {
      *ended = true;
      return RESULT_SUCCESS;
    }
    return RunOnce(*removed ? REMOVAL : INSTALL, ended);
  }

  // Removes what any earlier run left: the program folder, both Start-menu groups, the entry,
  // the per-user key, the driver information files, the stand-in sub-setups' devices, the
  // deletions pending at the restart, the stand-ins' log and the run logs.
  void CleanMachine() {
    WipeScratchFolder(programFolder_);
    WipeScratchFolder(UserStartMenuGroup());
    WipeScratchFolder(CommonStartMenuGroup());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL);
    RegDeleteKeyA(HKEY_CURRENT_USER, USER_KEY);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    for (const char* inf : {"qxusbgpi_uart_xp_vista.inf", "qxusbgpi_uart.inf"})
      DeleteFileA((std::string(windows) + "\\inf\\" + inf).c_str());
    if (edition_) RemoveStandinDevices();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
      RegDeleteValueA(key, "PendingFileRenameOperations");
      RegCloseKey(key);
    }
    DeleteFileA(standinLog_.c_str());
    DeleteRunLogs();
  }

  void RemoveStandinDevices() {
    for (int i = 0; i < edition_->interfaceClassCount; ++i) {
      const InterfaceClass& c = edition_->interfaceClasses[i];
      GUID g;
      g.Data1 = c.data1;
      g.Data2 = c.data2;
      g.Data3 = c.data3;
      for (int b = 0; b < 8; ++b) g.Data4[b] = c.data4[b];
      HDEVINFO set = SetupDiGetClassDevsA(&g, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
      if (set == INVALID_HANDLE_VALUE) continue;
      SP_DEVINFO_DATA device = {};
      device.cbSize = sizeof device;
      for (DWORD d = 0; SetupDiEnumDeviceInfo(set, d, &device); ++d)
        SetupDiRemoveDevice(set, &device);
      SetupDiDestroyDeviceInfoList(set);
    }
  }

  std::string SampleFile(const char* name) const {
    return BuildFolder() + "sample-payload\\" + edition_->name + "\\" + name;
  }

  // Files of the program folder that differ from what the payload (or the installer, for its
  // copy) holds under that name; ".del" files are passed over.
  std::string DifferingProgramFiles() const {
    std::string differing;
    for (const std::string& name : ListFiles(programFolder_)) {
      if (EndsWithNoCase(name, ".del")) continue;
      std::string expected;
      if (_stricmp(name.c_str(), setupName_.c_str()) == 0) {
        expected = ReadWholeFile(setup_);
      } else {
        bool known = false;
        for (int i = 0; i < edition_->payloadEntryCount; ++i)
          if (_stricmp(edition_->payloadNames[i], name.c_str()) == 0) known = true;
        if (!known) {
          differing += " " + name + " (not a payload file)";
          continue;
        }
        expected = ReadWholeFile(SampleFile(name.c_str()));
      }
      if (ReadWholeFile(programFolder_ + "\\" + name) != expected) differing += " " + name;
    }
    return differing;
  }

  // What is missing from a whole product: payload files, the uninstaller copy, the entry,
  // the shortcuts of both groups.
  std::string MissingFromWholeProduct() const {
    std::string missing;
    for (int i = 0; i < edition_->payloadEntryCount; ++i) {
      const char* name = edition_->payloadNames[i];
      std::string installed = ReadWholeFile(programFolder_ + "\\" + name);
      if (installed.empty() || installed != ReadWholeFile(SampleFile(name)))
        missing += std::string(" file ") + name;
    }
    const std::string copy = programFolder_ + "\\" + setupName_;
    if (ReadWholeFile(copy) != ReadWholeFile(setup_)) missing += " uninstaller copy";
    if (ReadMachineText(UNINSTALL, "DisplayName") != "Mixarro, The Virtual Mixing Console")
      missing += " entry DisplayName";
    if (ReadMachineText(UNINSTALL, "UninstallString") != "\"" + copy + "\"")
      missing += " entry UninstallString";
    if (ReadMachineText(UNINSTALL, "DisplayIcon") != copy) missing += " entry DisplayIcon";
    const ShortcutRow* rows[32];
    const int n = ApplicableShortcutRows(*edition_, context.isWindows64, rows, 32);
    for (const std::string& group : {UserStartMenuGroup(), CommonStartMenuGroup()})
      for (int i = 0; i < n; ++i)
        if (!PathExists(group + "\\" + rows[i]->title + ".LNK"))
          missing += " shortcut " + group + "\\" + rows[i]->title;
    return missing;
  }

  // What a removal run to its end must not leave: the program folder, the groups, the entry.
  std::string LeftAfterRemoval() const {
    std::string left;
    if (PathExists(programFolder_)) left += DescribeTree(programFolder_);
    if (PathExists(UserStartMenuGroup())) left += " the current user's Start-menu group";
    if (PathExists(CommonStartMenuGroup())) left += " the common Start-menu group";
    if (MachineKeyExists(UNINSTALL)) left += " the uninstall entry";
    return left;
  }

  // The product installed without a fault, the starting point of each removal.
  // A busy Wine now and then refuses to start a program (the sub-setup's -605): that install
  // is not under test here, so it is made again once on a clean machine, its log shown.
  void Install() {
    bool ended = false;
    for (int attempt = 0;; ++attempt) {
      ResetFaultPoints();
      const int result = RunOnce(INSTALL, &ended);
      ASSERT_TRUE(ended);
      if (result == 0) break;
      std::string failed;
      for (const std::string& line : RunLogLines())
        if (line.find("FAILED") != std::string::npos) failed += line + "\n";
      ASSERT_TRUE(attempt == 0 &&
                  (result == RESULT_SUBSETUP_NOT_STARTED || result == RESULT_SUBSETUP_NO_PROCESS))
          << "the install before the removal gave " << result << "\n"
          << failed;
      printf("the install before the removal gave %d, made again:\n%s", result, failed.c_str());
      CleanMachine();
    }
    DeleteRunLogs();
  }

  void Sweep(Procedure procedure);
  void RunCase(Procedure procedure, int n, const Call& call, const ErrorChoice& choice,
               int expected, int* result, bool* refused);

  std::string standinLog_;
  std::string setup_, setupName_, programFolder_;
  const EditionConfig* edition_ = nullptr;
  HMODULE module_ = nullptr;
};

// Per kind of call: how many points, and how many runs ended with each result.
struct KindSummary {
  int points = 0;
  std::map<int, int> results;
};

// 1 for a sub-setup's result that says its program did not start.
bool NotStarted(int result) {
  return result == RESULT_SUBSETUP_NOT_STARTED || result == RESULT_SUBSETUP_NO_PROCESS;
}

// One case: a clean machine (with the product, for a removal), the run with call `n` failing,
// its checks, the recovery and its checks. `refused` when Wine refused a program start that
// the fault did not stand for; the case is then to be run again.
void Faults::RunCase(Procedure procedure, int n, const Call& call, const ErrorChoice& choice,
                     int expected, int* result, bool* refused) {
  *refused = false;
  CleanMachine();
  if (procedure == REMOVAL) Install();
  ASSERT_FALSE(HasFatalFailure());
  ResetFaultPoints();
  ArmFault(n, choice.error, choice.partial);
  bool ended = false;
  *result = RunOnce(procedure, &ended);
  ASSERT_TRUE(ended) << "no end within " << RUN_LIMIT_MS << " ms";
  const bool injected = ArmedFaultInjected() != 0;
  ArmFault(0, 0, 0);
  if (NotStarted(*result) && !(injected && NotStarted(expected))) {
    *refused = true;
    return;
  }
  ASSERT_TRUE(injected) << "the call was not reached";
  const FaultPointPassed* failed = FaultPointAt(n - 1);
  ASSERT_TRUE(failed != nullptr && failed->point == call.point && call.target == failed->target)
      << "another call came at this place: " << (failed ? failed->target : "none");

  EXPECT_EQ(*result, expected) << "result";

  // The log has a line with the path and the error. Payload files are named below the
  // program folder, which the log names once.
  std::string named = call.target;
  if (StartsWithNoCase(named, programFolder_ + "\\") && call.point == FAULT_FILE_WRITE)
    named = named.substr(programFolder_.size() + 1);
  bool logged = false;
  for (const std::string& line : RunLogLines())
    if (line.find(named) != std::string::npos && NamesError(line, choice.error)) logged = true;
  EXPECT_TRUE(logged) << "no log line names the path and the error";

  EXPECT_EQ(DifferingProgramFiles(), "") << "program files that differ from the payload";

  // The recovery of the deployment guide.
  bool removed = false;
  int recovered = SwitchRun(procedure, &removed, &ended);
  ASSERT_TRUE(ended) << "recovery run";
  if (procedure == INSTALL && removed && !NotStarted(recovered)) {
    EXPECT_EQ(recovered, 0) << "recovery: the removal of what the failed install left";
    recovered = SwitchRun(INSTALL, &removed, &ended);
    ASSERT_TRUE(ended) << "second recovery run";
  }
  if (procedure == REMOVAL && !removed) {
    recovered = SwitchRun(INSTALL, &removed, &ended);
    ASSERT_TRUE(ended) << "recovery: the install over what the removal left";
    if (!NotStarted(recovered)) {
      EXPECT_FALSE(removed) << "recovery: the install over what the removal left";
      EXPECT_EQ(recovered, 0) << "recovery: the install over what the removal left";
      recovered = SwitchRun(REMOVAL, &removed, &ended);
      ASSERT_TRUE(ended) << "recovery: the removal after it";
    }
  }
  if (NotStarted(recovered)) {
    *refused = true;
    return;
  }
  EXPECT_EQ(recovered, 0) << "recovery";
  if (procedure == INSTALL)
    EXPECT_EQ(MissingFromWholeProduct(), "") << "after the recovery";
  else
    EXPECT_EQ(LeftAfterRemoval(), "") << "after the recovery";
}

void Faults::Sweep(Procedure procedure) {
  const std::string where = std::string(ProcedureName(procedure)) + " of " + edition_->name;
  CleanMachine();
  if (procedure == REMOVAL) Install();
  ASSERT_FALSE(HasFatalFailure());

  // The counted run: every call it makes, in order.
  bool ended = false;
  int clean = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) {
      CleanMachine();
      if (procedure == REMOVAL) Install();
      ASSERT_FALSE(HasFatalFailure());
    }
    ResetFaultPoints();
    clean = RunOnce(procedure, &ended);
    ASSERT_TRUE(ended) << where;
    if (!NotStarted(clean)) break;
  }
  ASSERT_EQ(clean, 0) << where << " without a fault";
  const int count = FaultPointsPassed();
  ASSERT_GT(count, 0) << where;
  ASSERT_LE(count, FAULT_RECORD_CAPACITY) << where;
  std::vector<Call> calls;
  for (int i = 0; i < count; ++i)
    calls.push_back({FaultPointAt(i)->point, FaultPointAt(i)->target});

  // MIXARRO_FAULT_CALLS=<first>-<last> narrows the sweep to those calls, for a closer look;
  // MIXARRO_FAULT_SHARD=<k>/<of> runs every <of>-th call from the k-th, so that the shards of
  // one sweep share its calls of every kind and its fast and slow cases alike.
  int first = 1, last = count, shard = 1, shards = 1;
  if (const char* range = getenv("MIXARRO_FAULT_CALLS")) sscanf(range, "%d-%d", &first, &last);
  if (const char* part = getenv("MIXARRO_FAULT_SHARD")) {
    ASSERT_EQ(sscanf(part, "%d/%d", &shard, &shards), 2) << "MIXARRO_FAULT_SHARD=" << part;
    ASSERT_TRUE(shards >= 1 && shard >= 1 && shard <= shards) << "MIXARRO_FAULT_SHARD=" << part;
  }
  std::map<FaultPoint, KindSummary> summary;
  std::map<FaultPoint, size_t> turn;
  for (int n = 1; n <= count; ++n) {
    if (n < first || n > last || (n - 1) % shards != shard - 1) {
      ++turn[calls[n - 1].point];
      continue;
    }
    const Call& call = calls[n - 1];
    const ErrorChoice choice =
        ErrorsOf(call.point)[turn[call.point]++ % ErrorsOf(call.point).size()];
    const int expected = ExpectedResult(procedure, calls, n - 1, programFolder_, setupName_);
    char header[1400];
    snprintf(header, sizeof header, "%s, call %d of %d: %s %s, error %lu%s", where.c_str(), n,
             count, FaultPointName(call.point), call.target.c_str(), choice.error,
             choice.partial ? " after part of the bytes" : "");
    SCOPED_TRACE(header);

    // A busy Wine now and then refuses to start a program: a sub-setup's -604 or -605 that the
    // fault did not cause makes the whole case run again (twice at most).
    int result = 0;
    bool refused = true;
    for (int attempt = 0; refused && attempt < 3; ++attempt) {
      if (attempt > 0) printf("%s: Wine refused a program start, run again\n", header);
      RunCase(procedure, n, call, choice, expected, &result, &refused);
      if (HasFatalFailure()) return;
    }
    EXPECT_FALSE(refused) << "Wine refused a program start three times";
    ++summary[call.point].points;
    ++summary[call.point].results[result];
  }

  // The summary, printed and kept beside the test program.
  std::string text = where + ": " + std::to_string(count) + " fault points";
  if (shards > 1) text += ", shard " + std::to_string(shard) + " of " + std::to_string(shards);
  text += "\n";
  for (const auto& [point, kind] : summary) {
    text +=
        "  " + std::string(FaultPointName(point)) + ": " + std::to_string(kind.points) + " points;";
    for (const auto& [result, runs] : kind.results)
      text += " result " + std::to_string(result) + " (" + ResultWords(result) + ") " +
              std::to_string(runs) + "x;";
    text += "\n";
  }
  printf("%s", text.c_str());
  std::string summaryFile =
      BuildFolder() + "faults-summary-" + edition_->name + "-" + ProcedureName(procedure);
  if (shards > 1) summaryFile += "-" + std::to_string(shard) + "of" + std::to_string(shards);
  summaryFile += ".txt";
  FILE* file = fopen(summaryFile.c_str(), "w");
  if (file) {
    fputs(text.c_str(), file);
    fclose(file);
  }
}

// Each runs in a Wine process and prefix of its own (a sweep takes minutes).
TEST_F(Faults, IndigoInstall) {
  UseEdition(INDIGO_EDITION);
  Sweep(INSTALL);
}

TEST_F(Faults, IndigoRemoval) {
  UseEdition(INDIGO_EDITION);
  Sweep(REMOVAL);
}

TEST_F(Faults, CobaltInstall) {
  UseEdition(COBALT_EDITION);
  Sweep(INSTALL);
}

TEST_F(Faults, CobaltRemoval) {
  UseEdition(COBALT_EDITION);
  Sweep(REMOVAL);
}

}  // namespace
