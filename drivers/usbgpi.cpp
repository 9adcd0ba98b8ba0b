#include "drivers/usbgpi.h"

#include "drivers/texts.h"

const char* UsbGpiFileFor(int osCode, int* choice) {
  unsigned code = static_cast<unsigned>(osCode);
  int picked = code > 6 ? 0 : code <= 3 ? 1 : 2;
  if (choice) *choice = picked;
  if (picked == 1) return INF_XP_VISTA;
  if (picked == 2) return INF_LATER;
  return nullptr;
}
