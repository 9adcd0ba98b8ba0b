#include <cstring>

#include "ground/platform.h"
#include "system/os_version.h"

namespace {

// Replaces the version numbers that GetVersionExA reports (capped by the manifest's
// compatibility list at 6.2) with the true ones, when ntdll offers RtlGetVersion.
void ReadTrueVersion(OSVERSIONINFOEXA& record) {
  HMODULE ntdll = GetModuleHandleA("Ntdll.dll");
  if (!ntdll) return;
  typedef LONG(WINAPI * RtlGetVersionFn)(OSVERSIONINFOW*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (!rtlGetVersion) return;
  OSVERSIONINFOW info;
  memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;  // 276
  if (rtlGetVersion(&info) != 0 || info.dwMajorVersion < 6) return;
  record.dwMajorVersion = info.dwMajorVersion;
  record.dwMinorVersion = info.dwMinorVersion;
  record.dwBuildNumber = info.dwBuildNumber;
  record.dwPlatformId = info.dwPlatformId;
}

}  // namespace

int DetectOsCode() {
  OSVERSIONINFOEXA record;
  memset(&record, 0, sizeof record);
  record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);  // 156
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  auto* basic = reinterpret_cast<OSVERSIONINFOA*>(&record);
  if (!GetVersionExA(basic)) {
    record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (!GetVersionExA(basic)) {
      record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);  // 148
      if (!GetVersionExA(basic)) return OS_UNKNOWN;
    }
  }
#pragma GCC diagnostic pop
  ReadTrueVersion(record);
  return ClassifyOs(record.dwMajorVersion, record.dwMinorVersion, record.wProductType);
}

#ifdef _WIN64
// A 64-bit process runs only on 64-bit Windows.
int IsWindows64() {
  return 1;
}
#else
int IsWindows64() {
  HMODULE kernel = GetModuleHandleA("Kernel32.dll");
  typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
  auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(
                                     GetProcAddress(kernel, "IsWow64Process")))
                               : nullptr;
  HANDLE self = GetCurrentProcess();
  if (!kernel || !isWow64Process || !self) return 0;
  BOOL wow64 = FALSE;
  if (!isWow64Process(self, &wow64)) return 0;
  return wow64 ? 1 : 0;
}
#endif
