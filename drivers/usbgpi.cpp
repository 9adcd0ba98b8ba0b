#include "drivers/usbgpi.h"

const char* UsbGpiFileFor(int osCode, int* choice) {
  unsigned code = static_cast<unsigned>(osCode);
  int picked = code > 6 ? 0 : code <= 3 ? 1 : 2;
  if (choice) *choice = picked;
  if (picked == 1) return "qxusbgpi_uart_xp_vista.inf";
  if (picked == 2) return "qxusbgpi_uart.inf";
  return nullptr;
}
