#include "system/os_version.h"

int ClassifyOs(uint32_t major, uint32_t minor, uint8_t productType) {
  if (major <= 5) {
    if (minor == 0) return OS_PRE_XP;
    return minor == 2 ? OS_SERVER_2003 : OS_XP;
  }
  if (major == 6) {
    switch (minor) {
      case 0: return OS_VISTA;
      // Server 2008 R2 shares 6.1 with Windows 7; only the product type tells them apart.
      case 1: return productType == PRODUCT_TYPE_WORKSTATION ? OS_WIN7 : OS_VISTA;
      case 2: return OS_WIN8;
      case 3: return OS_WIN81;
      default: return OS_UNKNOWN;
    }
  }
  if (major == 10) return OS_WIN10;
  if (major > 10) return OS_POST_WIN10;
  return OS_UNKNOWN;
}

const char* OsCodeLabel(int osCode) {
  static const char* const LABELS[] = {
      "O/S: < XP", "O/S: WIN XP", "O/S: Server 2003", "O/S: VISTA",   "O/S: WIN7",
      "O/S: WIN8", "O/S: WIN8.1", "O/S: WIN10",       "O/S: > WIN10",
  };
  if (osCode < 0 || osCode > 8) return "O/S: unknown";
  return LABELS[osCode];
}
