// The registry helpers against Wine's registry: what lands in the key, and which stored
// values ReadUserString takes.
#include "install/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

const char TEST_KEY[] = "QX-Audio\\MixArro";

// The raw stored value: type, bytes (all of them, as stored).
struct Stored {
  LONG status;
  DWORD type;
  std::string bytes;
};

Stored QueryStored(HKEY root, const char* subKey, const char* name) {
  Stored s = {ERROR_FILE_NOT_FOUND, 0, ""};
  HKEY key;
  if ((s.status = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key)) != ERROR_SUCCESS) return s;
  char buffer[8192];
  DWORD size = sizeof buffer;
  s.status = RegQueryValueExA(key, name, nullptr, &s.type, reinterpret_cast<BYTE*>(buffer), &size);
  if (s.status == ERROR_SUCCESS) s.bytes.assign(buffer, size);
  RegCloseKey(key);
  return s;
}

// Stores `count` bytes of `data` as a value of the given type under HKCU\TEST_KEY.
void StoreUserValue(const char* name, DWORD type, const std::string& data, size_t count) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, TEST_KEY, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(count)),
            ERROR_SUCCESS)
      << name;
  RegCloseKey(key);
}

bool KeyExists(HKEY root, const char* subKey) {
  HKEY key;
  if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

TEST(RegistryHelpers, MachineStringIsRegSzStoredWithoutItsNul) {
  const char text[] = "C:\\Program Files (x86)\\QX\\Mixarro\\Mixarro8Setup.exe";
  ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
  EXPECT_EQ(SetMachineString(UNINSTALL_KEY, "UninstallString", text), 1);
  EXPECT_EQ(SetMachineString(UNINSTALL_KEY, "DisplayIcon", text), 1) << "existing key reopened";

  for (const char* name : {"UninstallString", "DisplayIcon"}) {
    Stored s = QueryStored(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, name);
    ASSERT_EQ(s.status, ERROR_SUCCESS) << name;
    EXPECT_EQ(s.type, DWORD(REG_SZ)) << name;
    // The stored bytes are the text alone; a reader may add the NUL itself.
    EXPECT_EQ(s.bytes.substr(0, strlen(text)), text) << name;
    EXPECT_LE(s.bytes.size(), strlen(text) + 1) << name;
  }
  EXPECT_EQ(SetMachineString(UNINSTALL_KEY, "DisplayName", ""), 1);
  EXPECT_EQ(QueryStored(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName").type, DWORD(REG_SZ));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}

TEST(RegistryHelpers, UserDwordCreatesTheKeyAndOverwrites) {
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, PRODUCT_USER_KEY));
  EXPECT_EQ(SetUserDword(PRODUCT_USER_KEY, "install", 7), 1);
  EXPECT_EQ(SetUserDword(PRODUCT_USER_KEY, "install", 0), 1);
  EXPECT_EQ(SetUserDword(PRODUCT_USER_KEY, "nbLaunch", 0xFFFFFFFFu), 1);
  struct {
    const char* name;
    DWORD value;
  } expected[] = {{"install", 0}, {"nbLaunch", 0xFFFFFFFFu}};
  for (const auto& e : expected) {
    Stored s = QueryStored(HKEY_CURRENT_USER, PRODUCT_USER_KEY, e.name);
    ASSERT_EQ(s.status, ERROR_SUCCESS) << e.name;
    EXPECT_EQ(s.type, DWORD(REG_DWORD)) << e.name;
    ASSERT_EQ(s.bytes.size(), 4u) << e.name;
    DWORD got;
    memcpy(&got, s.bytes.data(), 4);
    EXPECT_EQ(got, e.value) << e.name;
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, PRODUCT_USER_KEY);
}

TEST(RegistryHelpers, ReadUserStringTakesOnlyWholeRegSzTexts) {
  const std::string path = "C:\\users\\me\\Start Menu\\Programs";
  const std::string longPath = "C:\\" + std::string(1500, 'p');  // longer than 1,024 bytes
  const std::string full = std::string(4095, 'f');               // 4,096 bytes with the NUL
  const std::string tooLarge = std::string(4096, 't');           // 4,097 bytes with the NUL
  const std::string fullNoNul = std::string(4095, 'n');          // 4,095 bytes, no NUL
  struct Case {
    const char* name;
    DWORD type;
    std::string data;
    size_t count;     // stored bytes
    size_t capacity;  // caller's buffer
    int result;
    std::string text;  // what the caller's buffer holds afterwards
    // clang-format off
  } cases[] = {
      {"plain",     REG_SZ,        path,      path.size() + 1,     1024, 1, path},
      {"noNul",     REG_SZ,        path,      path.size(),         1024, 1, path},
      {"long",      REG_SZ,        longPath,  longPath.size() + 1, 1024, 0, ""},
      {"longFits",  REG_SZ,        longPath,  longPath.size() + 1, 2048, 1, longPath},
      {"full",      REG_SZ,        full,      full.size() + 1,     8192, 1, full},
      {"fullNoNul", REG_SZ,        fullNoNul, fullNoNul.size(),    8192, 1, fullNoNul},
      {"tooLarge",  REG_SZ,        tooLarge,  tooLarge.size() + 1, 8192, 0, ""},
      {"expand",    REG_EXPAND_SZ, path,      path.size() + 1,     1024, 0, ""},
      {"dword",     REG_DWORD,     "abcd",    4,                   1024, 0, ""},
  };
  // clang-format on
  for (const Case& c : cases) StoreUserValue(c.name, c.type, c.data, c.count);

  for (const Case& c : cases) {
    std::string out(c.capacity + 16, 'q');
    EXPECT_EQ(ReadUserString(TEST_KEY, c.name, &out[0], c.capacity), c.result) << c.name;
    std::string got = out.c_str();
    EXPECT_TRUE(got == c.text) << c.name << ": got " << got.size() << " bytes \""
                               << got.substr(0, 40) << "\", expected " << c.text.size();
    EXPECT_EQ(out.substr(c.capacity), std::string(16, 'q')) << c.name << ": wrote past the buffer";
  }

  char out[64] = "q";
  EXPECT_EQ(ReadUserString(TEST_KEY, "missing", out, sizeof out), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(ReadUserString("QX-Audio\\NoSuchKey", "plain", out, sizeof out), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "QX-Audio\\NoSuchKey")) << "key created by a read";
  RegDeleteKeyA(HKEY_CURRENT_USER, TEST_KEY);
}

TEST(RegistryHelpers, ReadsTheUsersProgramsFolder) {
  char out[1024];
  ASSERT_EQ(ReadUserString(SHELL_FOLDERS_KEY, "Programs", out, sizeof out), 1);
  EXPECT_NE(strstr(out, "Programs"), nullptr) << out;
}
