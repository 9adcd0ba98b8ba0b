// ASIO registration through the module and registration-program stand-ins: what is called
// in which order with which command line, refusing modules, and a registration program
// that takes longer than the wait.
#include "drivers/asio.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "tests/win/helpers.h"
#include "tests/win/scratch.h"

namespace {

class Asio : public testing::Test {
 protected:
  void SetUp() override {
    folder = ScratchFolder("mixarro asio");  // a blank in the folder: no quotes are added
    log = folder + ".log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("MIXARRO_STANDIN_LOG", log.c_str());
    // This test program loads the modules itself, so they are of its own architecture.
    for (int i = 0; i < ThisEdition().asioModuleCount; ++i) {
      ASSERT_TRUE(PlaceStandin("asio.dll", folder, ThisEdition().asioModules[i].module32));
      ASSERT_TRUE(PlaceStandin("asio.dll", folder, ThisEdition().asioModules[i].module64));
    }
    ASSERT_TRUE(PlaceStandin("regsvr.exe", folder, "qxregsvr64.exe", "x86_64"));
    context = std::make_unique<InstallerContext>();
    memset(context.get(), 0, sizeof *context);
    context->isWindows64 = 1;
    CopyText(context->targetFolder, PATH_CAPACITY, folder.c_str());
  }
  void TearDown() override {
    for (const char* name : {"MIXARRO_STANDIN_LOG", "MIXARRO_ASIO_FAIL", "MIXARRO_REGSVR_SLEEP_MS",
                             "MIXARRO_REGSVR_SLEEP_ON"})
      SetEnvironmentVariableA(name, nullptr);
    WipeScratchFolder(folder);
    DeleteFileA(log.c_str());
  }
  // The log as "<file name>|<second field>" lines (the module or program's own file name,
  // then the entry point or the command line).
  std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    for (const std::string& line : ReadLines(log)) {
      std::vector<std::string> fields = SplitTabs(line);
      std::string where = fields[0];
      std::string prefix = folder + "\\";
      if (_strnicmp(where.c_str(), prefix.c_str(), prefix.size()) == 0)
        where = where.substr(prefix.size());
      else
        where = "elsewhere:" + where;
      calls.push_back(where + "|" + (fields.size() > 1 ? fields[1] : ""));
    }
    return calls;
  }
  std::vector<std::string> Expected(int direction, int withProgram) {
    std::vector<std::string> calls;
    const EditionConfig& e = ThisEdition();
    for (int i = 0; i < e.asioModuleCount; ++i)
      calls.push_back(std::string(e.asioModules[i].module32) + "|" +
                      (direction ? "DllRegisterServer" : "DllUnregisterServer"));
    for (int i = 0; withProgram && i < e.asioModuleCount; ++i)
      calls.push_back(std::string("qxregsvr64.exe|") + (direction ? "" : " -u ") + " -f" + folder +
                      "\\" + e.asioModules[i].module64);
    return calls;
  }

  std::string folder;
  std::string log;
  std::unique_ptr<InstallerContext> context;
};

bool Loaded(const std::string& path) {
  return GetModuleHandleA(path.c_str()) != nullptr;
}

}  // namespace

TEST_F(Asio, InProcessFirstThenOneProgramRunPerModuleInTableOrder) {
  ASSERT_EQ(ThisEdition().asioModuleCount, 5);
  struct {
    int isWindows64;
    int direction;
    const char* suffix;
  } cases[] = {
      // clang-format off
      {1, 1, ""},
      {1, 0, "\\"},
      {1, 0, ""},
      {0, 1, "\\"},
      {0, 0, ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string label = "isWindows64 " + std::to_string(c.isWindows64) + " direction " +
                        std::to_string(c.direction) + " folder suffix \"" + c.suffix + "\"";
    DeleteFileA(log.c_str());
    context->isWindows64 = c.isWindows64;
    CopyText(context->targetFolder, PATH_CAPACITY, (folder + c.suffix).c_str());
    EXPECT_EQ(SetAsioRegistration(*context, c.direction), 0) << label;
    EXPECT_EQ(Calls(), Expected(c.direction, c.isWindows64)) << label;
  }
  for (int i = 0; i < 5; ++i)
    EXPECT_FALSE(Loaded(folder + "\\" + ThisEdition().asioModules[i].module32)) << "left loaded";
}

TEST_F(Asio, RefusingModuleIsReleasedAndTheWalkGoesOn) {
  SetEnvironmentVariableA("MIXARRO_ASIO_FAIL", "QXMXAUX_ASIODRIVER.DLL");
  std::string refusing = folder + "\\qxmxaux_asiodriver.dll";
  std::string good = folder + "\\qxmx_asiodriver.dll";
  EXPECT_EQ(RegisterModuleInProcess(refusing.c_str()), 0);
  EXPECT_FALSE(Loaded(refusing));
  EXPECT_EQ(RegisterModuleInProcess(good.c_str()), 1);
  EXPECT_FALSE(Loaded(good));
  // Unregistration counts the call, whatever the entry point answers.
  EXPECT_EQ(UnregisterModuleInProcess(refusing.c_str()), 1);
  EXPECT_FALSE(Loaded(refusing));

  DeleteFileA(log.c_str());
  context->isWindows64 = 0;
  EXPECT_EQ(SetAsioRegistration(*context, 1), 0);
  EXPECT_EQ(Calls(), Expected(1, 0)) << "every module is still called";
}

TEST_F(Asio, MissingModulesAndEntryPoints) {
  std::string plain = folder + "\\plain.dll";
  ASSERT_TRUE(CopyFileA(StandinFile("module.dll").c_str(), plain.c_str(), FALSE));
  std::string missing = folder + "\\missing.dll";
  EXPECT_EQ(RegisterModuleInProcess(plain.c_str()), 0);
  EXPECT_EQ(UnregisterModuleInProcess(plain.c_str()), 0);
  EXPECT_FALSE(Loaded(plain));
  EXPECT_EQ(RegisterModuleInProcess(missing.c_str()), 0);
  EXPECT_EQ(UnregisterModuleInProcess(missing.c_str()), 0);

  // Without any module or registration program the walk still ends quietly.
  std::string empty = ScratchFolder("mixarro-asio-empty");
  CopyText(context->targetFolder, PATH_CAPACITY, empty.c_str());
  EXPECT_EQ(SetAsioRegistration(*context, 1), 0);
  EXPECT_EQ(SetAsioRegistration(*context, 0), 0);
  WipeScratchFolder(empty);
}

TEST_F(Asio, SlowRegistrationProgramIsLeftRunningAndTheWalkGoesOn) {
  SetEnvironmentVariableA("MIXARRO_REGSVR_SLEEP_MS", "60000");
  SetEnvironmentVariableA("MIXARRO_REGSVR_SLEEP_ON", "\\qxmx_asiodriver64.dll");
  EXPECT_EQ(SetAsioRegistration(*context, 1), 0);
  EXPECT_EQ(Calls(), Expected(1, 1));

  std::vector<std::string> lines = ReadLines(log);
  ASSERT_EQ(lines.size(), 10u);
  std::vector<std::string> first = SplitTabs(lines[5]);
  ASSERT_EQ(first.size(), 3u);
  HANDLE slow =
      OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, strtoul(first[2].c_str(), 0, 10));
  ASSERT_NE(slow, nullptr);
  EXPECT_EQ(WaitForSingleObject(slow, 0), DWORD(WAIT_TIMEOUT)) << "it was waited for to the end";
  TerminateProcess(slow, 1);
  WaitForSingleObject(slow, 5000);
  CloseHandle(slow);
}
