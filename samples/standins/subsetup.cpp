// Stand-in of a driver package's sub-setup. It logs how it was started, exits with the code
// the test chose for its package, and, as a real driver setup does, makes a present device
// interface of its package's class on a successful install and removes it on removal.
//   MIXARRO_STANDIN_LOG        log file; one line: module file name, command line, current
//                              folder, tab-separated
//   MIXARRO_EXIT_<STEM>        exit code, <STEM> being the upper-case program name without
//                              "_x64" and ".exe" (MIXARRO_EXIT_QXLINK_SETUP=-1); default 0
// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Package {
  const char* stem;
  const char* device;
  GUID interfaceClass;
};

const Package PACKAGES[] = {
    {"QXLINK_SETUP",
     "QXLINK",
     {0xD8C6B17A, 0x215D, 0x4082, {0x93, 0x41, 0x1E, 0x16, 0x77, 0xAE, 0x6B, 0x55}}},
    {"QXMXAUX_SETUP",
     "QXMXAUX",
     {0x5573CC9C, 0xDF43, 0x40BF, {0x8E, 0xB3, 0xD7, 0x9E, 0x59, 0xA5, 0xA4, 0x81}}},
    {"QXMXVAIO3_SETUP",
     "QXMXVAIO3",
     {0x7B202778, 0x4862, 0x4B61, {0x86, 0x0E, 0xFA, 0x1E, 0x65, 0x7B, 0xA3, 0xC8}}},
};

// Device setup class "MEDIA".
const GUID MEDIA_CLASS = {
    0x4d36e96c, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

const char DEVICE_CLASSES[] = "System\\CurrentControlSet\\Control\\DeviceClasses\\";

void AppendLog(const char* line) {
  const char* log = getenv("MIXARRO_STANDIN_LOG");
  if (!log || !*log) return;
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
  CloseHandle(file);
}

// "QXLINK_Setup_x64.exe" -> "QXLINK_SETUP".
void StemOf(const char* modulePath, char* stem, size_t capacity) {
  const char* name = strrchr(modulePath, '\\');
  name = name ? name + 1 : modulePath;
  size_t n = 0;
  for (; name[n] && name[n] != '.' && n + 1 < capacity; ++n)
    stem[n] = static_cast<char>(name[n] >= 'a' && name[n] <= 'z' ? name[n] - 32 : name[n]);
  stem[n] = '\0';
  if (n > 4 && strcmp(stem + n - 4, "_X64") == 0) stem[n - 4] = '\0';
}

void GuidText(const GUID& g, char* out) {
  sprintf(out, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
          static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
          g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
}

// Marks every interface key of the class that belongs to the device instance as linked,
// which is what makes the interface count as present.
void LinkInterfaces(const GUID& interfaceClass, const char* instanceId) {
  char classKey[256];
  char guid[64];
  GuidText(interfaceClass, guid);
  snprintf(classKey, sizeof classKey, "%s%s", DEVICE_CLASSES, guid);
  HKEY classes;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, classKey, 0, KEY_READ | KEY_WOW64_64KEY, &classes)) return;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(classes, i, name, &size, nullptr, nullptr, nullptr, nullptr)) break;
    char instance[512] = "";
    DWORD instanceSize = sizeof instance - 1;
    HKEY iface;
    if (RegOpenKeyExA(classes, name, 0, KEY_READ | KEY_WOW64_64KEY, &iface)) continue;
    RegQueryValueExA(iface, "DeviceInstance", nullptr, nullptr, reinterpret_cast<BYTE*>(instance),
                     &instanceSize);
    RegCloseKey(iface);
    if (_stricmp(instance, instanceId) != 0) continue;
    char control[1024];
    snprintf(control, sizeof control, "%s\\%s\\#\\Control", classKey, name);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, control, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY,
                        nullptr, &key, nullptr))
      continue;
    DWORD one = 1;
    RegSetValueExA(key, "Linked", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one);
    RegCloseKey(key);
  }
  RegCloseKey(classes);
}

void AddDevice(const Package& package) {
  HDEVINFO set = SetupDiCreateDeviceInfoList(&MEDIA_CLASS, nullptr);
  if (set == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  SP_DEVICE_INTERFACE_DATA iface = {};
  iface.cbSize = sizeof iface;
  char instanceId[512];
  if (SetupDiCreateDeviceInfoA(set, package.device, &MEDIA_CLASS, package.device, nullptr,
                               DICD_GENERATE_ID, &device) &&
      SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr) &&
      SetupDiCreateDeviceInterfaceA(set, &device, &package.interfaceClass, nullptr, 0, &iface) &&
      SetupDiGetDeviceInstanceIdA(set, &device, instanceId, sizeof instanceId, nullptr))
    LinkInterfaces(package.interfaceClass, instanceId);
  SetupDiDestroyDeviceInfoList(set);
}

void RemoveDevices(const Package& package) {
  HDEVINFO set =
      SetupDiGetClassDevsA(&package.interfaceClass, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) SetupDiRemoveDevice(set, &device);
  SetupDiDestroyDeviceInfoList(set);
}

}  // namespace

int main() {
  char module[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, folder);
  const char* commandLine = GetCommandLineA();
  static char line[4 * MAX_PATH + 8192];
  snprintf(line, sizeof line, "%s\t%s\t%s\n", module, commandLine, folder);
  AppendLog(line);

  char stem[MAX_PATH];
  StemOf(module, stem, sizeof stem);
  char variable[MAX_PATH + 16];
  snprintf(variable, sizeof variable, "MIXARRO_EXIT_%s", stem);
  const char* chosen = getenv(variable);
  int exitCode = chosen ? atoi(chosen) : 0;

  int installing = strstr(commandLine, "-i") != nullptr;
  int removing = strstr(commandLine, "-u") != nullptr;
  for (const Package& package : PACKAGES) {
    if (strcmp(package.stem, stem) != 0) continue;
    if (installing && exitCode >= 0 && exitCode != 1) AddDevice(package);
    if (removing && exitCode >= 0) RemoveDevices(package);
  }
  return exitCode;
}
