// The removal primitives on real files and keys: leftover ".del" files, files in use moved
// aside, folder and registry trees, and walks that must end.
#include "uninstall/removal.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <windows.h>

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

using Names = std::vector<std::string>;

// A loaded module is what Wine, like Windows, refuses to delete but lets be renamed.
HMODULE HoldInUse(const std::string& path) {
  if (!CopyFileA(StandinFile("module.dll").c_str(), path.c_str(), FALSE)) return nullptr;
  return LoadLibraryA(path.c_str());
}

// The context with this edition's catalogue names (the rest of each record left zero).
std::unique_ptr<InstallerContext> ContextWithCatalogue(const std::string& folder) {
  auto context = std::make_unique<InstallerContext>();
  memset(context.get(), 0, sizeof *context);
  CopyText(context->targetFolder, PATH_CAPACITY, folder.c_str());
  for (int i = 0; i < ThisEdition().payloadEntryCount; ++i)
    CopyText(reinterpret_cast<char*>(context->catalogue + i * CATALOGUE_ENTRY_SIZE), 128,
             ThisEdition().payloadNames[i]);
  return context;
}

void SetCatalogueName(InstallerContext& context, int index, const char* name) {
  char* field = reinterpret_cast<char*>(context.catalogue + index * CATALOGUE_ENTRY_SIZE);
  memset(field, 0, CATALOGUE_ENTRY_SIZE);
  CopyText(field, 128, name);
}

void RemoveTree(void* folder) {
  RemoveFolderTree(static_cast<const char*>(folder));
}

}  // namespace

TEST(LeftoverFiles, DeletesDelFilesOfAnyCaseAndNothingElse) {
  std::string folder = ScratchFolder("mixarro-leftovers");
  for (const char* name :
       {"qxmx_asiodriver.del", "MIXARRO8.DEL", "keep.txt", "x.delta", "mp3lame\\lame_enc.del"})
    ASSERT_TRUE(MakeScratchFile(folder + "\\" + name)) << name;
  ASSERT_TRUE(CreateDirectoryA((folder + "\\x.del").c_str(), nullptr));

  EXPECT_EQ(DeleteLeftoverFiles(folder.c_str()), 2);
  EXPECT_EQ(ListScratchFolder(folder), (Names{"keep.txt", "mp3lame", "x.del", "x.delta"}));
  EXPECT_EQ(ListScratchFolder(folder + "\\mp3lame"), Names{"lame_enc.del"}) << "subfolders stay";

  EXPECT_EQ(DeleteLeftoverFiles((folder + "\\").c_str()), 0);
  EXPECT_EQ(DeleteLeftoverFiles((folder + "\\x.del").c_str()), 0) << "empty folder";
  EXPECT_EQ(DeleteLeftoverFiles((folder + "\\missing").c_str()), 0);
  WipeScratchFolder(folder);
}

TEST(LeftoverFiles, CountsALeftoverStillInUse) {
  std::string folder = ScratchFolder("mixarro-leftovers-busy");
  HMODULE held = HoldInUse(folder + "\\qxmx_asiodriver.del");
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(DeleteLeftoverFiles(folder.c_str()), 1);
  EXPECT_EQ(ListScratchFolder(folder), Names{"qxmx_asiodriver.del"});
  FreeLibrary(held);
  EXPECT_EQ(DeleteLeftoverFiles(folder.c_str()), 1);
  EXPECT_TRUE(ListScratchFolder(folder).empty());
  WipeScratchFolder(folder);
}

TEST(InstalledFiles, DeletesCatalogueFilesAndMovesFilesInUseAside) {
  ASSERT_EQ(ThisEdition().lockedFileHandling, 1);
  std::string outer = ScratchFolder("mixarro-installed");
  std::string folder = outer + "\\QX\\Mixarro";
  for (const char* name : {"readme.txt", "mp3lame\\lame_enc.dll", "mp3lame\\lame_License.txt",
                           "QXLINK_Setup_x64.exe", "notInCatalogue.txt"})
    ASSERT_TRUE(MakeScratchFile(folder + "\\" + name)) << name;
  ASSERT_TRUE(MakeScratchFile(outer + "\\outside.txt"));
  ASSERT_TRUE(MakeScratchFile(outer + "\\QX\\escape.del"));
  HMODULE asio = HoldInUse(folder + "\\qxmx_asiodriver.dll");
  HMODULE lame = HoldInUse(folder + "\\mp3lame\\lame_enc64.dll");
  ASSERT_NE(asio, nullptr);
  ASSERT_NE(lame, nullptr);

  auto context = ContextWithCatalogue(folder + "\\");
  // Unsafe names never reach the file system, whatever the catalogue says.
  SetCatalogueName(*context, 0, "..\\..\\outside.txt");
  SetCatalogueName(*context, 1, "..\\escape.exe");
  SetCatalogueName(*context, 2, "");

  EXPECT_EQ(DeleteInstalledFiles(*context), 0);
  EXPECT_EQ(ListScratchFolder(folder),
            (Names{"mp3lame", "notInCatalogue.txt", "qxmx_asiodriver.del"}));
  EXPECT_EQ(ListScratchFolder(folder + "\\mp3lame"), Names{"lame_enc64.del"});
  EXPECT_TRUE(PathExists(outer + "\\outside.txt"));
  EXPECT_TRUE(PathExists(outer + "\\QX\\escape.del"));

  FreeLibrary(asio);
  FreeLibrary(lame);
  EXPECT_EQ(DeleteLeftoverFiles(folder.c_str()), 1);
  WipeScratchFolder(outer);
}

TEST(InstalledFiles, SharedDelNameTakenByTheFirstFileInUse) {
  std::string folder = ScratchFolder("mixarro-installed-stem");
  HMODULE first = HoldInUse(folder + "\\qxmx_asiodriver.dll");
  HMODULE second = HoldInUse(folder + "\\qxmx_asiodriver64.dll");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // A stale leftover of the second module's stem is already there.
  ASSERT_TRUE(MakeScratchFile(folder + "\\qxmx_asiodriver64.del", "old"));

  auto context = ContextWithCatalogue(folder);
  EXPECT_EQ(DeleteInstalledFiles(*context), 0);
  EXPECT_EQ(ListScratchFolder(folder),
            (Names{"qxmx_asiodriver.del", "qxmx_asiodriver64.del", "qxmx_asiodriver64.dll"}));
  EXPECT_EQ(ReadWholeFile(folder + "\\qxmx_asiodriver64.del"), "old") << "a .del file replaced";
  FreeLibrary(first);
  FreeLibrary(second);
  WipeScratchFolder(folder);
}

TEST(FolderTree, RemovesNestedFolders) {
  std::string folder = ScratchFolder("mixarro-tree");
  for (const char* name : {"a.txt", "b\\c\\d.txt", "b\\c\\e\\f.bin", "b\\g.txt", ".profile"})
    ASSERT_TRUE(MakeScratchFile(folder + "\\" + name)) << name;
  ASSERT_TRUE(CreateDirectoryA((folder + "\\empty").c_str(), nullptr));
  EXPECT_EQ(RemoveFolderTree((folder + "\\").c_str()), 1);
  EXPECT_FALSE(PathExists(folder));

  EXPECT_EQ(RemoveFolderTree(folder.c_str()), 1) << "a missing folder";
  EXPECT_FALSE(PathExists(folder));
}

TEST(FolderTree, EndsAtAFileInUse) {
  std::string folder = ScratchFolder("mixarro-tree-busy");
  ASSERT_TRUE(MakeScratchFile(folder + "\\sub\\inner\\data.txt"));
  HMODULE held = HoldInUse(folder + "\\sub\\qxmx_asiodriver.del");
  ASSERT_NE(held, nullptr);
  std::string sub = folder + "\\sub";

  std::string path = folder;
  ASSERT_TRUE(EndsWithin(60000, RemoveTree, &path[0])) << "the walk did not end";
  EXPECT_TRUE(PathExists(folder + "\\sub\\qxmx_asiodriver.del"));
  EXPECT_TRUE(PathExists(folder)) << "a folder with a file in use stays";

  FreeLibrary(held);
  EXPECT_EQ(RemoveFolderTree(folder.c_str()), 1);
  EXPECT_FALSE(PathExists(folder));
}

TEST(FolderTree, EndsAtASubfolderHoldingADotFolder) {
  std::string folder = ScratchFolder("mixarro-tree-dot");
  for (const char* name : {"a\\.git\\config", "a\\b.txt", "z.txt", ".cache\\x"})
    ASSERT_TRUE(MakeScratchFile(folder + "\\" + name)) << name;

  std::string path = folder;
  ASSERT_TRUE(EndsWithin(60000, RemoveTree, &path[0])) << "the walk did not end";
  // "."-named folders are never entered, so they and the folders holding them stay.
  EXPECT_TRUE(PathExists(folder + "\\a\\.git\\config"));
  EXPECT_TRUE(PathExists(folder + "\\.cache\\x"));
  EXPECT_FALSE(PathExists(folder + "\\a\\b.txt"));
  WipeScratchFolder(folder);
}

namespace {

const char TREE[] = "Software\\QX-Audio Tree Test";

bool KeyThere(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

void MakeKey(const std::string& path) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS) << path;
  DWORD one = 1;
  RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one);
  RegCloseKey(key);
}

// An empty access list: nobody may open the key for deletion any more.
void LockKey(const std::string& path, bool locked) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  alignas(DWORD) char buffer[64];
  ACL* acl = reinterpret_cast<ACL*>(buffer);
  InitializeAcl(acl, sizeof buffer, ACL_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, locked ? acl : nullptr, FALSE);
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
  RegCloseKey(key);
}

struct TreeCall {
  const char* path;
  int result;
};

void RemoveKeyTree(void* p) {
  TreeCall* call = static_cast<TreeCall*>(p);
  call->result = RemoveRegistryTree(HKEY_CURRENT_USER, call->path);
}

}  // namespace

TEST(RegistryTree, RemovesNestedKeys) {
  std::string tree = TREE;
  for (const char* sub : {"\\a\\b\\c", "\\a\\d", "\\e", ""}) MakeKey(tree + sub);
  MakeKey("Software\\QX-Audio Tree Test Sibling");
  EXPECT_EQ(RemoveRegistryTree(HKEY_CURRENT_USER, TREE), 1);
  EXPECT_FALSE(KeyThere(tree));
  EXPECT_TRUE(KeyThere("Software\\QX-Audio Tree Test Sibling"));
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QX-Audio Tree Test Sibling");

  EXPECT_EQ(RemoveRegistryTree(HKEY_CURRENT_USER, TREE), 0) << "a missing key";
  EXPECT_EQ(RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\No Such Key Here"), 0);
}

TEST(RegistryTree, EndsAtASubkeyThatCannotBeRemoved) {
  std::string tree = TREE;
  for (const char* sub : {"\\a\\locked\\inner", "\\a\\b", ""}) MakeKey(tree + sub);
  LockKey(tree + "\\a\\locked", true);

  TreeCall call = {TREE, -1};
  ASSERT_TRUE(EndsWithin(60000, RemoveKeyTree, &call)) << "the walk did not end";
  EXPECT_EQ(call.result, 0);
  EXPECT_TRUE(KeyThere(tree + "\\a")) << "the key above a locked one stays";

  LockKey(tree + "\\a\\locked", false);
  EXPECT_EQ(RemoveRegistryTree(HKEY_CURRENT_USER, TREE), 1);
  EXPECT_FALSE(KeyThere(tree));
}
