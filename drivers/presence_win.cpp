// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <cstdlib>

#include "drivers/presence.h"
#include "drivers/texts.h"
#include "ground/context.h"
#include "system/syscalls.h"

namespace {

// The device-installation functions, bound at run time from System32: SETUPAPI.DLL is not
// among the DLLs that every supported Windows maps from System32 alone, so it stays out of
// the import table. Without them no class counts as present.
struct DeviceFunctions {
  decltype(&SetupDiGetClassDevsA) getClassDevs;
  decltype(&SetupDiEnumDeviceInterfaces) enumInterfaces;
  decltype(&SetupDiGetDeviceInterfaceDetailA) getDetail;
  decltype(&SetupDiDestroyDeviceInfoList) destroyList;
};

template <typename Fn>
void Bind(HMODULE module, const char* name, Fn* out) {
  *out = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

DeviceFunctions device = {nullptr, nullptr, nullptr, nullptr};

// 1 when every function was found; the module then stays loaded for the process.
int BindDeviceFunctions() {
  if (device.getClassDevs && device.enumInterfaces && device.getDetail && device.destroyList)
    return 1;
  HMODULE setupapi = LoadSystemLibrary(SETUPAPI_NAME);
  if (!setupapi) return 0;
  Bind(setupapi, GET_CLASS_DEVS, &device.getClassDevs);
  Bind(setupapi, ENUM_INTERFACES, &device.enumInterfaces);
  Bind(setupapi, GET_INTERFACE_DETAIL, &device.getDetail);
  Bind(setupapi, DESTROY_INFO_LIST, &device.destroyList);
  if (device.getClassDevs && device.enumInterfaces && device.getDetail && device.destroyList)
    return 1;
  device = {nullptr, nullptr, nullptr, nullptr};
  FreeLibrary(setupapi);
  return 0;
}

GUID ToGuid(const InterfaceClass& c) {
  GUID g;
  g.Data1 = c.data1;
  g.Data2 = c.data2;
  g.Data3 = c.data3;
  for (int i = 0; i < 8; ++i) g.Data4[i] = c.data4[i];
  return g;
}

}  // namespace

// Opens the first present device interface of the class; null when none is enumerated.
// An interface that is enumerated but cannot be opened gives INVALID_HANDLE_VALUE, which
// still counts as present.
HANDLE OpenFirstDeviceInterface(GUID interfaceClass) {
  if (!BindDeviceFunctions()) return nullptr;
  HDEVINFO set =
      device.getClassDevs(&interfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return nullptr;
  SP_DEVICE_INTERFACE_DATA item;
  ZeroMemory(&item, sizeof item);
  item.cbSize = sizeof item;  // 28 in the 32-bit build, 32 in the 64-bit one
  if (!device.enumInterfaces(set, nullptr, &interfaceClass, 0, &item)) {
    device.destroyList(set);
    return nullptr;
  }
  DWORD required = 0;
  device.getDetail(set, &item, nullptr, 0, &required, nullptr);
  HANDLE handle = INVALID_HANDLE_VALUE;
  if (required >= sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(calloc(1, required));
    if (detail) {
      detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);  // 5 or 8
      if (device.getDetail(set, &item, detail, required, nullptr, nullptr))
        handle = CreateFileA(detail->DevicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING, 0x800, nullptr);
      free(detail);
    }
  }
  device.destroyList(set);
  return handle;
}

int ProbeProductPresent(InstallerContext& context) {
  context.productPresent = 0;
  const EditionConfig& edition = ThisEdition();
  // Every class is probed, also after a hit.
  for (int i = 0; i < edition.interfaceClassCount; ++i) {
    HANDLE h = OpenFirstDeviceInterface(ToGuid(edition.interfaceClasses[i]));
    if (h) {
      CloseHandle(h);
      context.productPresent = 1;
    }
  }
  return context.productPresent;
}
