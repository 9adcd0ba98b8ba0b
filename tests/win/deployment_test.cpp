// What administrators who deploy the product silently rely on: a log of every run, the
// complete Programs and Features entry with its quiet uninstall string, and nothing of the
// product left once the restart has deleted what was in use.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editions/edition.h"
#include "tests/win/helpers.h"
#include "tests/win/machine.h"

namespace {

const char UNINSTALL[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QX:Mixarro {17359A74-1236-5467}";

std::string TempFolder() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return folder;
}

// The run logs of the Indigo program in the temporary folder, oldest name first.
std::vector<std::string> RunLogs() {
  std::vector<std::string> logs;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((TempFolder() + "MixarroSetup-Indigo-*.log").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return logs;
  do logs.push_back(TempFolder() + found.cFileName);
  while (FindNextFileA(h, &found));
  FindClose(h);
  return logs;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class Deployment : public testing::Test {
 protected:
  void SetUp() override {
    log_ = TempFolder() + "mixarro-standins.log";
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", log_.c_str());
  }
  std::string log_;
};

TEST_F(Deployment, EachRunLeavesOneLogWithEveryStep) {
  const std::string folder = ProgramFolder();
  ASSERT_TRUE(RunLogs().empty());
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -i"), 0);
  std::vector<std::string> logs = RunLogs();
  ASSERT_EQ(logs.size(), 1u);
  const std::string install = ReadWholeFile(logs[0]);
  const char* expected[] = {
      "MixarroSetup Indigo 3.0.2.8\r\n",
      "command line: -h -i\r\n",
      "64-bit Windows: 1\r\n",
      "program folder: C:\\",
      "file readme.txt (",
      "file mp3lame\\lame_enc.dll (",
      "): verified, written\r\n",
      "sub-setup: ",
      "QXLINK_Setup_x64.exe \"-h -i -H -n\" in ",
      "QXMXVAIO3_Setup_x64.exe \"-h -i -H -n\" in ",
      "qxmx_asiodriver.dll DllRegisterServer: ok",
      "registration program: ",
      "qxregsvr64.exe \" -f",
      "set value HKCU\\QX-Audio\\MixArro\\nbLaunch: ok",
      "create shortcut ",
      "\\QX Audio\\Mixarro\\Readme.LNK: ok",
      "copy the installer to ",
      "QuietUninstallString: ok",
      "install result: 0\r\n",
      "exit code: 0\r\n",
  };
  for (const char* part : expected) EXPECT_TRUE(Contains(install, part)) << "missing: " << part;
  int fileLines = 0;
  for (size_t at = 0; (at = install.find(" ms] file ", at)) != std::string::npos; ++at) ++fileLines;
  EXPECT_EQ(fileLines, INDIGO_EDITION.payloadEntryCount);

  ASSERT_EQ(RunProgram(SetupProgram(), "-h -u"), 0);
  logs = RunLogs();
  ASSERT_EQ(logs.size(), 2u) << "a second run never overwrites the first log";
  std::string removal =
      ReadWholeFile(logs[0]) == install ? ReadWholeFile(logs[1]) : ReadWholeFile(logs[0]);
  for (const char* part :
       {"command line: -h -u\r\n", "QXLINK_Setup_x64.exe \"-h -u -H\" in ",
        "DllUnregisterServer: ok", "delete C:\\", "delete shortcut ", "remove key HKLM\\SOFTWARE",
        "removal result: 0\r\n", "exit code: 0\r\n"})
    EXPECT_TRUE(Contains(removal, part)) << "missing: " << part;

  // Every line starts with the time since the start, the times never go back, and each run
  // ends with its summary: the result in words, the time taken, what was written or removed.
  struct {
    const std::string* log;
    const char* summary;
    const char* counts;
  } runs[] = {
      {&install, "summary: exit code 0 (success; restart the machine to finish) after ",
       " ms; written: 126 files, 10 modules, 26 shortcuts, 11 entry values; removed: 0 files, 0 "
       "modules, 0 shortcuts, 0 entry values"},
      {&removal, "summary: exit code 0 (success; restart the machine to finish) after ",
       " ms; written: 0 files, 0 modules, 0 shortcuts, 0 entry values; removed: 126 files, 10 "
       "modules, 26 shortcuts, 11 entry values"},
  };
  for (const auto& run : runs) {
    // The program speaks UTF-8, and its log says so to every Notepad with a byte-order mark.
    ASSERT_EQ(run.log->compare(0, 3, "\xEF\xBB\xBF"), 0) << run.log->substr(0, 16);
    std::vector<std::string> lines;
    for (size_t at = 3; at < run.log->size();) {
      size_t end = run.log->find("\r\n", at);
      if (end == std::string::npos) end = run.log->size();
      lines.push_back(run.log->substr(at, end - at));
      at = end + 2;
    }
    ASSERT_GT(lines.size(), 10u);
    unsigned long previous = 0;
    for (const std::string& line : lines) {
      unsigned long ms = 0;
      char rest = 0;
      ASSERT_EQ(sscanf(line.c_str(), "[%lu ms]%c", &ms, &rest), 2) << line;
      EXPECT_GE(ms, previous) << line;
      previous = ms;
    }
    const std::string& last = lines.back();
    EXPECT_TRUE(Contains(last, run.summary)) << last;
    EXPECT_TRUE(Contains(last, run.counts)) << last;
  }
}

// A failing step names its path and the Windows error as a number and in words.
TEST_F(Deployment, FailedStepGivesTheErrorInWords) {
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -i"), 0);
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string inf = std::string(windows) + "\\inf\\qxusbgpi_uart.inf";
  ASSERT_TRUE(DeleteFileA(inf.c_str()));
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -u"), 0);
  std::string removal;
  for (const std::string& log : RunLogs())
    if (Contains(ReadWholeFile(log), "command line: -h -u")) removal = ReadWholeFile(log);
  const std::string line = "delete driver information file " + inf + ": FAILED (error 2: ";
  const size_t at = removal.find(line);
  ASSERT_NE(at, std::string::npos) << removal;
  const size_t close = removal.find(")\r\n", at);
  ASSERT_NE(close, std::string::npos);
  EXPECT_GT(close, at + line.size() + 3) << "no words after the number";
}

TEST_F(Deployment, FailuresAreNamedInTheLog) {
  SetEnvironmentVariableA("MIXARRO_EXIT_QXMXAUX_SETUP", "1");
  EXPECT_EQ(RunProgram(SetupProgram(), "-h -i"), -21);
  SetEnvironmentVariableA("MIXARRO_EXIT_QXMXAUX_SETUP", nullptr);
  std::vector<std::string> logs = RunLogs();
  ASSERT_EQ(logs.size(), 1u);
  std::string text = ReadWholeFile(logs[0]);
  EXPECT_TRUE(Contains(
      text, "QXMXAUX_Setup_x64.exe \"-h -i -H -n\" in " + ProgramFolder() + ": exit code 1\r\n"));
  EXPECT_TRUE(Contains(
      text, "ERROR at step \"Install Aux Audio Driver\": the sub-setup asks for a restart"));
  EXPECT_TRUE(Contains(text, "install result: -21\r\n"));
  EXPECT_TRUE(Contains(text, "exit code: -21\r\n"));
}

TEST_F(Deployment, FailedPayloadEntryIsNamedInTheLog) {
  std::string image = ReadWholeFile(SetupProgram());
  std::string needle("QXMXAUX_ControlPanel.exe");
  needle.resize(128, '\0');
  size_t at = image.find(needle);
  ASSERT_NE(at, std::string::npos);
  image[at + 140] = static_cast<char>(image[at + 140] ^ 1);  // a digest byte
  const std::string program = TempFolder() + "MixarroSetup-Indigo.exe";
  ASSERT_TRUE(WriteText(program, image));
  EXPECT_EQ(RunProgram(program, "-h -i"), -10);
  std::vector<std::string> logs = RunLogs();
  ASSERT_EQ(logs.size(), 1u);
  std::string text = ReadWholeFile(logs[0]);
  EXPECT_TRUE(Contains(text, "file QXMXAUX_ControlPanel.exe ("));
  EXPECT_TRUE(Contains(text, " bytes): FAILED verification, not written\r\n"));
  EXPECT_TRUE(Contains(text, "ERROR at step \"Copy Files\""));
  EXPECT_TRUE(Contains(text, "exit code: -10\r\n"));
}

TEST_F(Deployment, UnwritableLogFolderChangesNothing) {
  const std::string realTemp = TempFolder();
  SetEnvironmentVariableA("TEMP", "C:\\no such folder\\temp");
  SetEnvironmentVariableA("TMP", "C:\\no such folder\\temp");
  EXPECT_EQ(RunProgram(SetupProgram(), "-h -i"), 0);
  SetEnvironmentVariableA("TEMP", realTemp.c_str());
  SetEnvironmentVariableA("TMP", realTemp.c_str());
  EXPECT_TRUE(RunLogs().empty());
  EXPECT_TRUE(MachineKeyExists(UNINSTALL));
  EXPECT_EQ(ListFiles(CommonStartMenuGroup()).size(), 13u);
  EXPECT_TRUE(PathExists(ProgramFolder() + "\\mp3lame\\lame_enc.dll"));
}

// Both builds: the entry's values and the quiet uninstall string run as a deployment tool
// runs it, with the string as the whole command line.
TEST_F(Deployment, DeliverableCompleteEntryAndQuietUninstall) {
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -i"), 0);
  const std::string folder = ProgramFolder();
  const std::string copy = folder + "\\MixarroSetup-Indigo.exe";
  EXPECT_EQ(ReadMachineText(UNINSTALL, "DisplayVersion"), "3.0.2.8");
  EXPECT_EQ(ReadMachineText(UNINSTALL, "InstallLocation"), folder);
  EXPECT_EQ(ReadMachineText(UNINSTALL, "QuietUninstallString"), "\"" + copy + "\" -h -u");
  EXPECT_EQ(ReadMachineText(UNINSTALL, "URLInfoAbout"), "https://www.qx-audio.com/mixarro");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL, 0, KEY_READ, &key), ERROR_SUCCESS);
  uint64_t payloadBytes = 0;
  for (int i = 0; i < INDIGO_EDITION.payloadEntryCount; ++i) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA((folder + "\\" + INDIGO_EDITION.payloadNames[i]).c_str(),
                                     GetFileExInfoStandard, &data));
    payloadBytes += data.nFileSizeLow;
  }
  const struct {
    const char* name;
    DWORD value;
  } numbers[] = {{"EstimatedSize", static_cast<DWORD>((payloadBytes + 1023) / 1024)},
                 {"NoModify", 1},
                 {"NoRepair", 1}};
  for (const auto& n : numbers) {
    DWORD type = 0, value = 0xdeadbeef, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, n.name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS)
        << n.name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << n.name;
    EXPECT_EQ(value, n.value) << n.name;
  }
  RegCloseKey(key);

  std::string commandLine = ReadMachineText(UNINSTALL, "QuietUninstallString");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  CloseHandle(info.hThread);
  EXPECT_EQ(WaitExit(info.hProcess, 60000), 0);
  EXPECT_FALSE(MachineKeyExists(UNINSTALL));
  EXPECT_FALSE(PathExists(folder + "\\readme.txt"));
  EXPECT_FALSE(PathExists(CommonStartMenuGroup()));
}

TEST_F(Deployment, QuietUninstallThroughCmd) {
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -i"), 0);
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  std::string quiet = ReadMachineText(UNINSTALL, "QuietUninstallString");
  EXPECT_EQ(RunProgram(std::string(system) + "\\cmd.exe", "/c \"" + quiet + "\""), 0);
  EXPECT_FALSE(MachineKeyExists(UNINSTALL));
  EXPECT_FALSE(PathExists(ProgramFolder() + "\\readme.txt"));
}

// The paths of PendingFileRenameOperations that are to be deleted, in order.
std::vector<std::string> PendingDeletions() {
  std::vector<std::string> paths;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return paths;
  std::vector<char> data(65536);
  DWORD type = 0, size = static_cast<DWORD>(data.size());
  LONG r = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return paths;
  // Pairs of source and target; an empty target means delete.
  std::vector<std::string> items;
  for (size_t at = 0; at < size;) {
    std::string item(data.data() + at);
    items.push_back(item);
    at += item.size() + 1;
  }
  for (size_t i = 0; i + 1 < items.size(); i += 2)
    if (items[i + 1].empty() && !items[i].empty()) paths.push_back(items[i]);
  return paths;
}

TEST_F(Deployment, WhatIsInUseGoesAtTheRestart) {
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -i"), 0);
  const std::string folder = ProgramFolder();
  HMODULE held = LoadLibraryA((folder + "\\qxmx_asiodriver.dll").c_str());
  ASSERT_NE(held, nullptr);
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -u"), 0);
  std::vector<std::string> pending = PendingDeletions();
  std::vector<std::string> expected = {"\\??\\" + folder + "\\qxmx_asiodriver.del",
                                       "\\??\\" + folder};
  std::vector<std::string> product;
  for (const std::string& p : pending)
    if (Contains(p, "\\QX\\Mixarro")) product.push_back(p);
  EXPECT_EQ(product, expected);
  FreeLibrary(held);
}

TEST_F(Deployment, NothingInUseSchedulesNothing) {
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -i"), 0);
  ASSERT_EQ(RunProgram(SetupProgram(), "-h -u"), 0);
  for (const std::string& p : PendingDeletions()) EXPECT_FALSE(Contains(p, "\\QX\\Mixarro")) << p;
}

}  // namespace
