// The install and removal procedures end to end: the real program run with its switches on
// a fresh Wine machine, with the stand-in sub-setups, ASIO modules and registration program
// of the sample payload. Tests named "Deliverable" run on the 32-bit build too.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editions/edition.h"
#include "install/payload_core.h"
#include "tests/win/helpers.h"
#include "tests/win/machine.h"
#include "tests/win/scratch.h"

namespace {

const char UNINSTALL[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QX:Mixarro {17359A74-1236-5467}";
const char USER_KEY[] = "QX-Audio\\MixArro";

std::string TempFile(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

// The file name part of a path.
std::string FileName(const std::string& path) {
  return path.substr(path.find_last_of('\\') + 1);
}

// Each scenario runs for both editions' programs.
class Procedures : public testing::TestWithParam<const EditionConfig*> {
 protected:
  const EditionConfig& edition() const { return *GetParam(); }
  std::string Setup() const { return SetupProgram(GetParam()->name); }
  std::string SamplePayloadFile(const char* name) const {
    return BuildFolder() + "sample-payload\\" + GetParam()->name + "\\" + name;
  }

  void SetUp() override {
    log_ = TempFile("mixarro-standins.log");
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", log_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", nullptr);
    if (HasFailure()) PrintNewestRunLog();
  }

  // A failed case shows what the program's last run wrote into its log: an exit code alone
  // cannot tell a refused start (no log at all) from a step that failed.
  static void PrintNewestRunLog() {
    const std::string pattern = TempFile("MixarroSetup-*.log");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
      fprintf(stderr, "no run log in the temporary folder\n");
      return;
    }
    std::string newest;
    FILETIME newestTime = {};
    do {
      if (CompareFileTime(&found.ftLastWriteTime, &newestTime) >= 0) {
        newestTime = found.ftLastWriteTime;
        newest = found.cFileName;
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    fprintf(stderr, "the newest run log, %s:\n%s\n", newest.c_str(),
            ReadWholeFile(TempFile(newest.c_str())).c_str());
  }

  // Lines of the stand-ins' log whose first field (the program or module) ends with `suffix`.
  std::vector<std::vector<std::string>> Logged(const char* suffix = "") {
    std::vector<std::vector<std::string>> out;
    for (auto& line : ReadStandinLog(log_)) {
      const std::string& who = line[0];
      size_t n = strlen(suffix);
      if (who.size() >= n && _stricmp(who.c_str() + who.size() - n, suffix) == 0)
        out.push_back(line);
    }
    return out;
  }
  // Sub-setup runs in order: "<program file name> <command line> | <current folder>".
  std::vector<std::string> SubsetupRuns() {
    std::vector<std::string> runs;
    for (auto& line : ReadStandinLog(log_)) {
      if (line.size() < 3 || FileName(line[0]).find("_Setup") == std::string::npos) continue;
      runs.push_back(FileName(line[0]) + " " + line[1] + " | " + line[2]);
    }
    return runs;
  }
  // Module file names whose entry point (DllRegisterServer, DllUnregisterServer) was called.
  std::vector<std::string> EntryCalls(const char* entryPoint) {
    std::vector<std::string> modules;
    for (auto& line : ReadStandinLog(log_))
      if (line.size() >= 2 && line[1] == entryPoint) modules.push_back(FileName(line[0]));
    return modules;
  }
  void ClearLog() { DeleteFileA(log_.c_str()); }

  std::string log_;
};

TEST_P(Procedures, DeliverableInstallThenUninstall) {
  const EditionConfig& edition = this->edition();
  const std::string folder = ProgramFolder();
  // Started from a read-only, hidden file: the installed copy gets normal attributes.
  const std::string program = TempFile(FileName(Setup()).c_str());
  ASSERT_TRUE(CopyFileA(Setup().c_str(), program.c_str(), FALSE));
  SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  ASSERT_EQ(RunProgram(program, "-h -i"), 0);

  // Every payload file, byte for byte, "mp3lame" sub-folder included.
  for (int i = 0; i < edition.payloadEntryCount; ++i) {
    const char* name = edition.payloadNames[i];
    std::string installed = ReadWholeFile(folder + "\\" + name);
    EXPECT_FALSE(installed.empty()) << name;
    EXPECT_TRUE(installed == ReadWholeFile(SamplePayloadFile(name))) << name << " differs";
  }
  // The copy of the installer, with normal attributes.
  const std::string copy = folder + "\\" + FileName(Setup());
  EXPECT_TRUE(ReadWholeFile(copy) == ReadWholeFile(Setup()));
  const DWORD attributes = GetFileAttributesA(copy.c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            0u)
      << attributes;
  SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(program.c_str());

  // The sub-setups in table order, 64-bit ones (this is 64-bit Windows), in the program folder.
  std::vector<std::string> expected;
  for (int i = 0; i < edition.driverPackageCount; ++i)
    expected.push_back(std::string(edition.driverPackages[i].stem) + "_x64.exe -h -i -H -n | " +
                       folder);
  EXPECT_EQ(SubsetupRuns(), expected);

  // ASIO: the modules in process in table order, then the registration program per module.
  auto registered = EntryCalls("DllRegisterServer");
  auto programRuns = Logged("qxregsvr64.exe");
  ASSERT_EQ(static_cast<int>(registered.size()), edition.asioModuleCount);
  ASSERT_EQ(static_cast<int>(programRuns.size()), edition.asioModuleCount);
  for (int i = 0; i < edition.asioModuleCount; ++i) {
    EXPECT_EQ(_stricmp(registered[i].c_str(), edition.asioModules[i].module32), 0) << registered[i];
    EXPECT_EQ(programRuns[i][1],
              std::string(" -f") + folder + "\\" + edition.asioModules[i].module64);
  }

  for (const char* value : {"install", "nbLaunch", "done"}) {
    bool found = false;
    EXPECT_EQ(ReadUserNumber(USER_KEY, value, &found), 0u) << value;
    EXPECT_TRUE(found) << value;
  }

  // Both Start-menu groups hold every row of the edition, links as the table says.
  const ShortcutRow* rows[32];
  int n = ApplicableShortcutRows(edition, 1, rows, 32);
  for (const std::string& group : {UserStartMenuGroup(), CommonStartMenuGroup()}) {
    EXPECT_EQ(static_cast<int>(ListFiles(group).size()), n) << group;
    for (int i = 0; i < n; ++i) {
      LinkInfo link = ReadLink(group + "\\" + rows[i]->title + ".LNK");
      ASSERT_TRUE(link.loaded) << group << " " << rows[i]->title;
      EXPECT_EQ(_stricmp(link.path.c_str(), (folder + "\\" + rows[i]->target).c_str()), 0)
          << link.path;
      EXPECT_EQ(link.description, rows[i]->title);
      EXPECT_EQ(link.workingFolder, folder);
      EXPECT_EQ(link.arguments, "");
    }
  }

  EXPECT_EQ(ReadMachineText(UNINSTALL, "DisplayName"), "Mixarro, The Virtual Mixing Console");
  EXPECT_EQ(ReadMachineText(UNINSTALL, "Publisher"), "QX-Audio Software");
  EXPECT_EQ(ReadMachineText(UNINSTALL, "UninstallString"), "\"" + copy + "\"");
  EXPECT_EQ(ReadMachineText(UNINSTALL, "DisplayIcon"), copy);

  // The removal undoes it.
  ClearLog();
  ASSERT_EQ(RunProgram(Setup(), "-h -u"), 0);
  expected.clear();
  for (int i = 0; i < edition.driverPackageCount; ++i)
    expected.push_back(std::string(edition.driverPackages[i].stem) + "_x64.exe -h -u -H | " +
                       folder);
  EXPECT_EQ(SubsetupRuns(), expected);
  auto unregistered = EntryCalls("DllUnregisterServer");
  programRuns = Logged("qxregsvr64.exe");
  ASSERT_EQ(static_cast<int>(unregistered.size()), edition.asioModuleCount);
  ASSERT_EQ(static_cast<int>(programRuns.size()), edition.asioModuleCount);
  for (int i = 0; i < edition.asioModuleCount; ++i)
    EXPECT_EQ(programRuns[i][1],
              std::string(" -u  -f") + folder + "\\" + edition.asioModules[i].module64);

  EXPECT_FALSE(PathExists(folder)) << DescribeTree(folder);
  EXPECT_FALSE(PathExists(UserStartMenuGroup()));
  EXPECT_FALSE(PathExists(CommonStartMenuGroup()));
  EXPECT_FALSE(MachineKeyExists(UNINSTALL));
  for (const char* value : {"SysTray", "SysTrayShowOnRun", "EngineMode"}) {
    bool found = false;
    EXPECT_EQ(ReadUserNumber(USER_KEY, value, &found), 0u) << value;
    EXPECT_TRUE(found) << value;
  }
}

#ifdef _WIN64
TEST_P(Procedures, UninstallEntryLandsInTheProcessView) {
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  EXPECT_TRUE(MachineKeyExists(UNINSTALL, KEY_WOW64_64KEY));
  EXPECT_FALSE(MachineKeyExists(UNINSTALL, KEY_WOW64_32KEY));
}
#else
TEST_P(Procedures, DeliverableUninstallEntryInThe32BitView) {
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  EXPECT_STREQ(ProgramFolder().c_str(), "C:\\Program Files (x86)\\QX\\Mixarro");
  EXPECT_TRUE(MachineKeyExists(UNINSTALL, KEY_WOW64_32KEY));
  EXPECT_FALSE(MachineKeyExists(UNINSTALL, KEY_WOW64_64KEY));
}
#endif

// Sets the Windows version that programs started from now on see, as winecfg does it.
void SetWineVersion(const char* version) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_EQ(RunProgram(std::string(system) + "\\winecfg.exe", std::string("-v ") + version), 0);
}

std::string InfFolderFile(const char* name) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\inf\\" + name;
}

// The Windows version as the program finds it (GetVersionExA capped by the manifest, then
// RtlGetVersion) decides the USB GPI file; Cobalt has no such step at all.
TEST_P(Procedures, UsbGpiFileByWindowsVersion) {
  const char* const files[] = {"qxusbgpi_uart_xp_vista.inf", "qxusbgpi_uart.inf"};
  const struct {
    const char* version;
    int file;  // index into files, -1 for none
  } cases[] = {
      // winecfg name  file
      {"winxp64", 0},  // 5.2: Server 2003 / XP x64
      {"vista", 0},   {"win7", 1},
      {"win81", 1},  // reported as 6.2 through the manifest, 6.3 by RtlGetVersion
      {"win10", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    SetWineVersion(c.version);
    ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
    for (int f = 0; f < 2; ++f)
      EXPECT_EQ(PathExists(InfFolderFile(files[f])), f == c.file && edition().usbGpiFiles != 0)
          << files[f];
    ASSERT_EQ(RunProgram(Setup(), "-h -u"), 0);
    for (const char* file : files) EXPECT_FALSE(PathExists(InfFolderFile(file))) << file;
  }
}

// A copy of the installer whose catalogue digest of one entry is wrong.
std::string CopyWithWrongDigest(const std::string& program, const char* entryName) {
  std::string image = ReadWholeFile(program);
  // The catalogue's name field: the name padded with zeros to 128 bytes (the program's own
  // tables hold the same name with other bytes after it).
  std::string needle(entryName);
  needle.resize(128, '\0');
  size_t at = image.find(needle);
  if (at == std::string::npos) return "";
  image[at + 136] = static_cast<char>(image[at + 136] ^ 0x5a);
  std::string path = TempFile("MixarroSetup-corrupt.exe");
  return WriteText(path, image) ? path : "";
}

TEST_P(Procedures, DeliverableWrongDigestFailsWithMinus10) {
  std::string program = CopyWithWrongDigest(Setup(), "QXMXAUX_ControlPanel.exe");
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(RunProgram(program, "-h -i"), -10);
  EXPECT_FALSE(PathExists(ProgramFolder() + "\\QXMXAUX_ControlPanel.exe"));
  EXPECT_TRUE(PathExists(ProgramFolder() + "\\QXLINK_ControlPanel.exe"));
  EXPECT_TRUE(PathExists(ProgramFolder() + "\\readme.txt"));
  EXPECT_TRUE(SubsetupRuns().empty());
  EXPECT_FALSE(MachineKeyExists(UNINSTALL));
}

// A copy of the installer whose payload has other bytes for one entry: the sample payload,
// packed again with `bytes` in place of the entry `replaced`.
std::string CopyWithPayloadVariant(const std::string& program, const EditionConfig& edition,
                                   const std::string& sampleFolder, const char* replaced,
                                   const std::string& bytes) {
  std::vector<uint8_t> blob(edition.catalogueSize);
  for (int i = 0; i < edition.payloadEntryCount; ++i) {
    const char* name = edition.payloadNames[i];
    std::string data = strcmp(name, replaced) == 0 ? bytes : ReadWholeFile(sampleFolder + name);
    if (data.empty()) return "";
    CatalogueEntry entry = {};
    strcpy(entry.name, name);
    entry.offset = static_cast<uint32_t>(blob.size());
    entry.size = static_cast<uint32_t>(data.size());
    Md5Digest(data.data(), data.size(), entry.digest);
    WriteCatalogueEntry(entry, blob.data() + i * CATALOGUE_ENTRY_SIZE);
    blob.insert(blob.end(), data.begin(), data.end());
  }
  if (!ScramblePayload(blob.data(), blob.size(), edition.payloadEntryCount)) return "";
  std::string path = TempFile("MixarroSetup-variant.exe");
  if (!CopyFileA(program.c_str(), path.c_str(), FALSE)) return "";
  HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
  if (!update) return "";
  if (!UpdateResourceA(update, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(100), 1033, blob.data(),
                       static_cast<DWORD>(blob.size()))) {
    EndUpdateResourceA(update, TRUE);
    return "";
  }
  return EndUpdateResourceA(update, FALSE) ? path : "";
}

TEST_P(Procedures, SubsetupThatCannotStartEndsWithoutNotice) {
  std::string program = CopyWithPayloadVariant(
      Setup(), edition(), BuildFolder() + "sample-payload\\" + edition().name + "\\",
      "QXLINK_Setup_x64.exe", "not a program\r\n");
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(RunProgram(program, "-h -i"), -605);
  EXPECT_EQ(ReadWholeFile(ProgramFolder() + "\\QXLINK_Setup_x64.exe"), "not a program\r\n");
  EXPECT_TRUE(SubsetupRuns().empty());
  EXPECT_TRUE(EntryCalls("DllRegisterServer").empty());
  EXPECT_FALSE(MachineKeyExists(UNINSTALL));
}

TEST_P(Procedures, SubsetupFailuresStopTheInstall) {
  const struct {
    const char* exitCode;
    long result;
  } cases[] = {{"1", -21}, {"-1", -20}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exitCode);
    ClearLog();
    SetEnvironmentVariableA("MIXARRO_EXIT_QXLINK_SETUP", c.exitCode);
    EXPECT_EQ(RunProgram(Setup(), "-h -i"), c.result);
    SetEnvironmentVariableA("MIXARRO_EXIT_QXLINK_SETUP", nullptr);
    EXPECT_EQ(SubsetupRuns().size(), 1u);
    EXPECT_TRUE(EntryCalls("DllRegisterServer").empty());
    EXPECT_FALSE(MachineKeyExists(UNINSTALL));
    EXPECT_FALSE(PathExists(CommonStartMenuGroup()));
    EXPECT_TRUE(PathExists(ProgramFolder() + "\\readme.txt"));
  }
}

TEST_P(Procedures, FolderBlockedByAFileFailsWithMinus3) {
  std::string qx = ProgramFolder();
  qx = qx.substr(0, qx.find_last_of('\\'));
  ASSERT_TRUE(WriteText(qx, "not a folder"));
  EXPECT_EQ(RunProgram(Setup(), "-h -i"), -3);
  EXPECT_TRUE(SubsetupRuns().empty());
  DeleteFileA(qx.c_str());
}

// Everything the run logs of this edition's program hold, in the temporary folder.
std::string RunLogText(const char* edition) {
  std::string text;
  WIN32_FIND_DATAA found;
  std::string pattern = TempFile("MixarroSetup-") + edition + "-*.log";
  HANDLE h = FindFirstFileA(pattern.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return text;
  do text += ReadWholeFile(TempFile(found.cFileName));
  while (FindNextFileA(h, &found));
  FindClose(h);
  return text;
}

// What stands where the installer's copy goes in the program folder before the install.
enum class CopyObstacle { OlderCopyHeldOpen, FolderInTheWay };

// Programs and Features starts what the entry names: when the copy of the installer cannot be
// made, the run fails with the copy text, says so in the log, and no entry names a file that
// is not this program.
void ExpectFailedCopyReported(const std::string& setup, const char* edition,
                              CopyObstacle obstacle) {
  std::string folder = ProgramFolder();
  CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::string copy = folder + "\\" + FileName(setup);
  HANDLE held = INVALID_HANDLE_VALUE;
  if (obstacle == CopyObstacle::OlderCopyHeldOpen) {
    ASSERT_TRUE(WriteText(copy, "an older, other copy\n"));
    held = CreateFileA(copy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
  } else {
    ASSERT_TRUE(CreateDirectoryA(copy.c_str(), nullptr));
  }
  EXPECT_EQ(RunProgram(setup, "-h -i"), -10);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  bool found = false;
  for (const char* value : {"DisplayIcon", "UninstallString"}) {
    std::string named = ReadMachineText(UNINSTALL, value, &found);
    if (!named.empty() && named.front() == '"') named = named.substr(1, named.size() - 2);
    if (found) {
      std::string named_bytes = ReadWholeFile(named);
      EXPECT_TRUE(named_bytes == ReadWholeFile(setup))
          << value << " names " << named << ", " << named_bytes.size()
          << " bytes, not this program";
    }
  }
  EXPECT_NE(RunLogText(edition).find("the installer's copy in the program folder is missing"),
            std::string::npos);
}

TEST_P(Procedures, DeliverableCopyOfTheInstallerHeldOpenFails) {
  ExpectFailedCopyReported(Setup(), edition().name, CopyObstacle::OlderCopyHeldOpen);
}

TEST_P(Procedures, DeliverableCopyOfTheInstallerBlockedByAFolderFails) {
  ExpectFailedCopyReported(Setup(), edition().name, CopyObstacle::FolderInTheWay);
}

void SetUserText(const char* key, const char* value, const char* text) {
  HKEY opened = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(opened, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>(strlen(text) + 1)),
            ERROR_SUCCESS);
  RegCloseKey(opened);
}

// An empty or relative "Programs" value names no place of its own: the current user's group is
// neither made nor removed below whatever the current folder is, and the log says so.
TEST_P(Procedures, DeliverableProgramsFolderThatIsNotAFullPathIsPassedOver) {
  const char* shellFolders =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  std::string current = ScratchFolder("mixarro-current");
  for (const char* programs : {"", "Start Menu\\Programs"}) {
    SCOPED_TRACE(programs);
    SetUserText(shellFolders, "Programs", programs);
    // The first level is there already, as a folder of the user's may be: a group made below
    // the current folder would then be made whole.
    std::string first = current + "\\" + (programs[0] ? "Start Menu" : "QX Audio");
    ASSERT_TRUE(CreateDirectoryA(first.c_str(), nullptr));
    EXPECT_EQ(WaitExit(StartProgram(Setup(), "-h -i", current.c_str()).process, 60000), 0);
    EXPECT_TRUE(ListScratchFolder(first).empty()) << "made below the current folder";
    EXPECT_TRUE(PathExists(CommonStartMenuGroup()));
    EXPECT_NE(RunLogText(edition().name).find("\" is not a full path"), std::string::npos);

    // What lies where a relative group would be is not the product's.
    std::string group = current + "\\" + programs + (programs[0] ? "\\" : "") + "QX Audio";
    ASSERT_TRUE(MakeScratchFile(group + "\\Mixarro\\keep.txt", "the user's"));
    EXPECT_EQ(WaitExit(StartProgram(Setup(), "-h -u", current.c_str()).process, 60000), 0);
    EXPECT_TRUE(PathExists(group + "\\Mixarro\\keep.txt")) << "removed below the current folder";
    current = ScratchFolder("mixarro-current");
  }
}

// A payload file that an earlier run left read-only, hidden or system (a user or a backup tool
// marked it) is replaced, not reported as a corrupted package, and keeps none of the marks
// that would refuse the next run's write.
TEST_P(Procedures, DeliverableMarkedFilesOfAnEarlierRunAreReplaced) {
  const struct {
    const char* name;
    DWORD attributes;
  } cases[] = {{"readme.txt", FILE_ATTRIBUTE_READONLY},
               {"mp3lame\\lame_License.txt", FILE_ATTRIBUTE_HIDDEN},
               {"mp3lame\\lame_enc.dll", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY}};
  std::string folder = ProgramFolder();
  CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\mp3lame").c_str(), nullptr));
  for (const auto& c : cases) {
    std::string path = folder + "\\" + c.name;
    ASSERT_TRUE(WriteText(path, "an older file\r\n"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.attributes));
  }
  EXPECT_EQ(RunProgram(Setup(), "-h -i"), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = folder + "\\" + c.name;
    EXPECT_TRUE(ReadWholeFile(path) == ReadWholeFile(SamplePayloadFile(c.name)));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & c.attributes, 0u);
  }
  EXPECT_TRUE(MachineKeyExists(UNINSTALL));
}

// A Start-menu folder that cannot be made (a file of that name in the way) costs its
// shortcuts and not the run; the log names the folder and the error.
TEST_P(Procedures, DeliverableStartMenuFolderThatCannotBeMadeIsLogged) {
  std::string group = UserStartMenuGroup();
  std::string inTheWay = group.substr(0, group.find_last_of('\\'));
  ASSERT_TRUE(WriteText(inTheWay, "not a folder"));
  EXPECT_EQ(RunProgram(Setup(), "-h -i"), 0);
  EXPECT_TRUE(PathExists(CommonStartMenuGroup()));
  EXPECT_NE(
      RunLogText(edition().name)
          .find("create the Start-menu folder (no shortcuts in it) " + group + ": FAILED (error "),
      std::string::npos)
      << RunLogText(edition().name);
  DeleteFileA(inTheWay.c_str());
}

TEST_P(Procedures, FailingRemovalLeavesEverything) {
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  SetEnvironmentVariableA("MIXARRO_EXIT_QXLINK_SETUP", "-1");
  EXPECT_EQ(RunProgram(Setup(), "-h -u"), -20);
  SetEnvironmentVariableA("MIXARRO_EXIT_QXLINK_SETUP", nullptr);
  for (int i = 0; i < edition().payloadEntryCount; ++i)
    EXPECT_TRUE(PathExists(ProgramFolder() + "\\" + edition().payloadNames[i]));
  EXPECT_TRUE(MachineKeyExists(UNINSTALL));
  EXPECT_EQ(static_cast<int>(ListFiles(CommonStartMenuGroup()).size()), edition().shortcutRowCount);
  bool found = true;
  ReadUserNumber(USER_KEY, "SysTray", &found);
  EXPECT_FALSE(found);
}

// Indigo moves a file in use aside to its ".del" name, which the next install deletes;
// Cobalt leaves it under its own name.
TEST_P(Procedures, FileInUseDuringRemoval) {
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  const std::string module = ProgramFolder() + "\\qxmx_asiodriver.dll";
  const std::string moved = ProgramFolder() + "\\qxmx_asiodriver.del";
  HMODULE held = LoadLibraryA(module.c_str());
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(RunProgram(Setup(), "-h -u"), 0);
  // No edition leaves a file in use under a name that a reinstall writes: Indigo moves it
  // aside while it deletes the installed files, Cobalt when it leaves the rest for the
  // restart.
  EXPECT_TRUE(PathExists(moved));
  EXPECT_FALSE(PathExists(module));
  EXPECT_TRUE(PathExists(ProgramFolder()));
  FreeLibrary(held);
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  // Only Indigo deletes leftovers when it installs; Cobalt's goes at the restart.
  EXPECT_EQ(PathExists(moved), !edition().lockedFileHandling);
  EXPECT_TRUE(PathExists(module));
}

TEST_P(Procedures, UninstallSwitchWithoutProductChangesNothing) {
  std::string before = DescribeTree(ProgramFolder()) + DescribeKey(HKEY_LOCAL_MACHINE, UNINSTALL) +
                       DescribeKey(HKEY_CURRENT_USER, USER_KEY);
  EXPECT_EQ(RunProgram(Setup(), "-h -u"), 0);
  std::string after = DescribeTree(ProgramFolder()) + DescribeKey(HKEY_LOCAL_MACHINE, UNINSTALL) +
                      DescribeKey(HKEY_CURRENT_USER, USER_KEY);
  EXPECT_EQ(before, after);
  EXPECT_TRUE(SubsetupRuns().empty());
}

TEST_P(Procedures, InstallSwitchWithProductPresentRemovesIt) {
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  ClearLog();
  EXPECT_EQ(RunProgram(Setup(), "-h -i"), 0);
  EXPECT_FALSE(PathExists(ProgramFolder()));
  EXPECT_FALSE(MachineKeyExists(UNINSTALL));
  for (const std::string& run : SubsetupRuns())
    EXPECT_NE(run.find(" -h -u -H "), std::string::npos) << run;
}

std::string MachineState() {
  std::string programFiles = ProgramFolder();
  programFiles = programFiles.substr(0, programFiles.find_last_of('\\'));
  std::string user = UserStartMenuGroup(), common = CommonStartMenuGroup();
  return DescribeTree(programFiles) + DescribeTree(user.substr(0, user.find_last_of('\\'))) +
         DescribeTree(common.substr(0, common.find_last_of('\\'))) +
         DescribeKey(HKEY_LOCAL_MACHINE, UNINSTALL) + DescribeKey(HKEY_CURRENT_USER, USER_KEY);
}

TEST_P(Procedures, TwoRoundsEndLikeOne) {
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  ASSERT_EQ(RunProgram(Setup(), "-h -u"), 0);
  std::string once = MachineState();
  ASSERT_EQ(RunProgram(Setup(), "-h -i"), 0);
  ASSERT_EQ(RunProgram(Setup(), "-h -u"), 0);
  EXPECT_EQ(MachineState(), once);
}

// A device of the third interface class alone: Indigo counts the product as present and its
// -u run removes it (the removal resets the per-user values); Cobalt sees nothing to remove.
TEST(Presence, ThirdInterfaceClassAloneCountsForIndigoOnly) {
  const std::string sample = BuildFolder() + "sample-payload\\Indigo\\";
  ASSERT_EQ(RunProgram(sample + "QXMXVAIO3_Setup_x64.exe", "-h -i -H -n"), 0);
  bool found = true;
  EXPECT_EQ(RunProgram(SetupProgram("Cobalt"), "-h -u"), 0);
  ReadUserNumber(USER_KEY, "SysTray", &found);
  EXPECT_FALSE(found) << "Cobalt must not run its removal";
  EXPECT_EQ(RunProgram(SetupProgram("Indigo"), "-h -u"), 0);
  ReadUserNumber(USER_KEY, "SysTray", &found);
  EXPECT_TRUE(found) << "Indigo must run its removal";
}

std::string EditionName(const testing::TestParamInfo<const EditionConfig*>& info) {
  return info.param->name;
}

INSTANTIATE_TEST_SUITE_P(Editions, Procedures, testing::Values(&INDIGO_EDITION, &COBALT_EDITION),
                         EditionName);

}  // namespace
