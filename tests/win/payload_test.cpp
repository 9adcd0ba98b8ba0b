// The payload reader against the built installer: its resource is extracted from a loaded
// copy of MixarroSetup-Indigo.exe, compared with the sample payload it was packed from.
#include "install/payload.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "editions/edition.h"
#include "ground/context.h"
#include "ground/paths.h"
#include "install/entry_pass.h"
#include "tests/win/helpers.h"

namespace {

InstallerContext testContext;

std::string DigestOfFile(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  uint8_t d[16];
  Md5Digest(bytes.data(), bytes.size(), d);
  return std::string(reinterpret_cast<const char*>(d), 16);
}

// A new empty folder below the temporary folder.
std::string NewTempFolder(const char* tag) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  std::string folder = std::string(base) + "mixarro-" + tag + "-" +
                       std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

std::string SampleFolder() {
  return BuildFolder() + "sample-payload\\Indigo\\";
}

// Loads the built Indigo installer as a module of this process.
HMODULE LoadInstaller() {
  HMODULE module = LoadLibraryExA(SetupProgram().c_str(), nullptr, 0);
  if (!module) module = LoadLibraryExA(SetupProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  return module;
}

// Every catalogue file in `folder` equals its sample; the names of those that do not.
std::string FilesDifferingFromSample(const std::string& folder, const char* except = nullptr) {
  std::string differing;
  const EditionConfig& e = ThisEdition();
  for (int i = 0; i < e.payloadEntryCount; ++i) {
    const char* name = e.payloadNames[i];
    if (except && lstrcmpA(name, except) == 0) continue;
    std::string expected = ReadWholeFile(SampleFolder() + name);
    if (expected.empty() || ReadWholeFile(folder + "\\" + name) != expected)
      differing += std::string(" ") + name;
  }
  return differing;
}

TEST(PayloadReader, ExtractsTheBuiltInstallerTwiceAndLeavesItsFileUnchanged) {
  std::string before = DigestOfFile(SetupProgram());
  HMODULE module = LoadInstaller();
  ASSERT_NE(module, nullptr) << "error " << GetLastError();
  ZeroBytes(&testContext, sizeof testContext);
  testContext.hInstance = module;
  ASSERT_EQ(LoadCatalogue(testContext), 0);
  EXPECT_EQ(memcmp(testContext.catalogue, ThisEdition().payloadNames[0],
                   strlen(ThisEdition().payloadNames[0]) + 1),
            0);

  for (int run = 1; run <= 2; ++run) {
    std::string folder = NewTempFolder("extract");
    CopyText(testContext.targetFolder, sizeof testContext.targetFolder, folder.c_str());
    EXPECT_EQ(ExtractPayload(testContext, nullptr), 0) << "run " << run;
    EXPECT_TRUE(PathExists(folder + "\\mp3lame\\lame_enc.dll")) << "run " << run;
    EXPECT_EQ(FilesDifferingFromSample(folder), "") << "run " << run;
    RemoveTree(folder);
  }
  FreeLibrary(module);
  EXPECT_TRUE(DigestOfFile(SetupProgram()) == before) << "the installer on disk changed";
}

// The extraction makes the SSE2 pass where the system reports SSE2 (every x86-64 system does),
// the pass in the general registers elsewhere; the test above holds its files to the samples.
TEST(PayloadReader, ExtractionTakesThePassThatTheSystemAllows) {
  const EntryPass expected = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE)
                                 ? DigestDescrambleDigestSse2
                                 : DigestDescrambleDigest;
  EXPECT_EQ(ChooseEntryPass(), expected);
  if (sizeof(void*) == 8) {
    EXPECT_EQ(ChooseEntryPass(), &DigestDescrambleDigestSse2);
  }
  HMODULE module = LoadInstaller();
  ASSERT_NE(module, nullptr);
  ZeroBytes(&testContext, sizeof testContext);
  testContext.hInstance = module;
  std::string folder = NewTempFolder("pass");
  CopyText(testContext.targetFolder, sizeof testContext.targetFolder, folder.c_str());
  UseEntryPass(nullptr);
  EXPECT_EQ(ExtractPayload(testContext, "readme.txt"), 0);
  EXPECT_EQ(CurrentEntryPass(), expected);
  EXPECT_EQ(ReadWholeFile(folder + "\\readme.txt"), ReadWholeFile(SampleFolder() + "readme.txt"));
  RemoveTree(folder);
  FreeLibrary(module);
}

TEST(PayloadReader, OnlyNameWritesOneFileAndAFolderNameEndingInBackslashWorks) {
  HMODULE module = LoadInstaller();
  ASSERT_NE(module, nullptr);
  ZeroBytes(&testContext, sizeof testContext);
  testContext.hInstance = module;
  std::string folder = NewTempFolder("only");
  CopyText(testContext.targetFolder, sizeof testContext.targetFolder, (folder + "\\").c_str());
  EXPECT_EQ(ExtractPayload(testContext, "mp3lame\\lame_enc.dll"), 0);
  EXPECT_EQ(ReadWholeFile(folder + "\\mp3lame\\lame_enc.dll"),
            ReadWholeFile(SampleFolder() + "mp3lame\\lame_enc.dll"));
  EXPECT_FALSE(PathExists(folder + "\\readme.txt"));
  EXPECT_EQ(ExtractPayload(testContext, "no such file"), 0);
  EXPECT_FALSE(PathExists(folder + "\\readme.txt"));
  RemoveTree(folder);
  FreeLibrary(module);
}

TEST(PayloadReader, FileHeldOpenFailsOnlyThatEntry) {
  HMODULE module = LoadInstaller();
  ASSERT_NE(module, nullptr);
  ZeroBytes(&testContext, sizeof testContext);
  testContext.hInstance = module;
  std::string folder = NewTempFolder("held");
  CopyText(testContext.targetFolder, sizeof testContext.targetFolder, folder.c_str());
  std::string held = folder + "\\readme.txt";
  ASSERT_TRUE(WriteText(held, "held"));
  HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ExtractPayload(testContext, nullptr), -101);
  CloseHandle(handle);
  EXPECT_EQ(ReadWholeFile(held), "held");
  EXPECT_EQ(FilesDifferingFromSample(folder, "readme.txt"), "");
  RemoveTree(folder);
  FreeLibrary(module);
}

TEST(PayloadReader, ProgramWithoutPayloadGivesMinusOne) {
  ZeroBytes(&testContext, sizeof testContext);
  testContext.hInstance = GetModuleHandleA(nullptr);  // the test program carries none
  testContext.catalogue[0] = 0x7a;
  EXPECT_EQ(LoadCatalogue(testContext), -1);
  EXPECT_EQ(ExtractPayload(testContext, nullptr), -1);
  EXPECT_EQ(testContext.catalogue[0], 0x7a) << "the catalogue is left as it was";
}

TEST(PayloadFiles, WriteWholeFileFileExistsAndCreateFolderPath) {
  std::string folder = NewTempFolder("files");
  std::string deep = folder + "\\a\\bb\\ccc";
  SetLastError(0xdeadbeef);
  EXPECT_EQ(CreateFolderPath((deep + "\\").c_str()), 1);
  EXPECT_TRUE(PathExists(deep));
  EXPECT_EQ(CreateFolderPath(deep.c_str()), 1) << "existing levels are fine";

  std::string file = deep + "\\f.bin";
  EXPECT_EQ(FileExists(file.c_str()), 0);
  EXPECT_EQ(WriteWholeFile(file.c_str(), "0123456789", 10), 1);
  EXPECT_EQ(WriteWholeFile(file.c_str(), "abc", 3), 1);
  EXPECT_EQ(ReadWholeFile(file), "abc") << "truncated and rewritten";
  EXPECT_EQ(FileExists(file.c_str()), 1);

  HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WriteWholeFile(file.c_str(), "x", 1), 0);
  EXPECT_EQ(FileExists(file.c_str()), 0);
  CloseHandle(handle);

  // A file where a folder level should be: that level fails.
  EXPECT_EQ(CreateFolderPath((file + "\\sub").c_str()), 0);
  // Four characters: nothing is created.
  EXPECT_EQ(CreateFolderPath("C:\\q"), 0);
  EXPECT_FALSE(PathExists("C:\\q"));
  EXPECT_EQ(CreateFolderPath("C:\\qq"), 1);
  EXPECT_TRUE(PathExists("C:\\qq"));
  RemoveDirectoryA("C:\\qq");
  RemoveTree(folder);
}

}  // namespace
