// Shell links made by CreateShortcut, read back through the shell's own link object.
#include "install/shortcuts.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/helpers.h"
#include "tests/win/scratch.h"

namespace {

struct LinkContents {
  HRESULT loaded;
  std::string path;
  std::string description;
  std::string arguments;
  std::string workingFolder;
};

LinkContents ReadLink(const std::string& linkPath) {
  LinkContents c = {E_FAIL, "", "", "", ""};
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return c;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    c.loaded = file->Load(wide, STGM_READ);
    char text[MAX_PATH];
    if (SUCCEEDED(c.loaded)) {
      text[0] = 0;
      link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
      c.path = text;
      text[0] = 0;
      link->GetDescription(text, MAX_PATH);
      c.description = text;
      text[0] = 0;
      link->GetArguments(text, MAX_PATH);
      c.arguments = text;
      text[0] = 0;
      link->GetWorkingDirectory(text, MAX_PATH);
      c.workingFolder = text;
    }
    file->Release();
  }
  link->Release();
  return c;
}

class Shortcuts : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    program = ScratchFolder("mixarro-links-program");
    menu = ScratchFolder("mixarro-links-menu");
  }
  void TearDown() override {
    WipeScratchFolder(program);
    WipeScratchFolder(menu);
    CoUninitialize();
  }
  std::string program;
  std::string menu;
};

}  // namespace

TEST_F(Shortcuts, LinkCarriesTargetTitleAndTargetFolder) {
  struct {
    const char* title;
    const char* target;
    const char* arguments;
    // clang-format off
  } cases[] = {
      {"Mixarro Indigo",      "Mixarro8.exe",        nullptr},
      {"Readme",              "readme.txt",          nullptr},
      {"15 Bands Graphic EQ", "MixarroBUSGEQ15.exe", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string target = program + "\\" + c.target;
    ASSERT_TRUE(MakeScratchFile(target));
    EXPECT_EQ(CreateShortcut(target.c_str(), menu.c_str(), c.title, c.arguments), S_OK) << c.title;
    LinkContents got = ReadLink(menu + "\\" + c.title + ".LNK");
    ASSERT_EQ(got.loaded, S_OK) << c.title;
    EXPECT_STRCASEEQ(got.path.c_str(), target.c_str()) << c.title;
    EXPECT_EQ(got.description, c.title);
    EXPECT_EQ(got.arguments, "") << c.title;
    EXPECT_STRCASEEQ(got.workingFolder.c_str(), program.c_str()) << c.title;
  }
}

TEST_F(Shortcuts, FolderWithBackslashAndReplacingAndDeleting) {
  std::string first = program + "\\Mixarro.exe";
  std::string second = program + "\\sub\\MXStreamScope.exe";
  ASSERT_TRUE(MakeScratchFile(first));
  ASSERT_TRUE(MakeScratchFile(second));
  std::string folderWithBackslash = menu + "\\";

  EXPECT_EQ(CreateShortcut(first.c_str(), folderWithBackslash.c_str(), "Mixarro", nullptr), S_OK);
  EXPECT_EQ(ListScratchFolder(menu), std::vector<std::string>{"Mixarro.LNK"});
  EXPECT_STRCASEEQ(ReadLink(menu + "\\Mixarro.LNK").path.c_str(), first.c_str());

  // A second link of the same title replaces the first.
  EXPECT_EQ(CreateShortcut(second.c_str(), menu.c_str(), "Mixarro", nullptr), S_OK);
  EXPECT_EQ(ListScratchFolder(menu), std::vector<std::string>{"Mixarro.LNK"});
  LinkContents got = ReadLink(menu + "\\Mixarro.LNK");
  EXPECT_STRCASEEQ(got.path.c_str(), second.c_str());
  EXPECT_STRCASEEQ(got.workingFolder.c_str(), (program + "\\sub").c_str());

  EXPECT_NE(DeleteShortcut(folderWithBackslash.c_str(), "Mixarro"), 0);
  EXPECT_TRUE(ListScratchFolder(menu).empty());
  EXPECT_EQ(DeleteShortcut(menu.c_str(), "Mixarro"), 0) << "a missing link cannot be deleted";
  EXPECT_TRUE(PathExists(first)) << "the target must stay";
}

TEST_F(Shortcuts, MissingFolderSavesNothing) {
  std::string target = program + "\\Mixarro.exe";
  ASSERT_TRUE(MakeScratchFile(target));
  std::string missing = menu + "\\QX Audio\\Mixarro";
  EXPECT_NE(CreateShortcut(target.c_str(), missing.c_str(), "Mixarro", nullptr), S_OK);
  EXPECT_TRUE(ListScratchFolder(menu).empty());
}
