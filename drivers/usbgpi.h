// The USB GPI driver information file, copied into (or deleted from) Windows' "inf" folder.
#pragma once

struct InstallerContext;

// Copies (direction non-zero) or deletes the file chosen by osCode: 1 for the XP/Vista file,
// 2 for the newer one, 0 when nothing is done (Windows 10 and later, unknown).
int SetUsbGpiDriverInfo(InstallerContext& context, int direction);

// Portable part: the file for an operating-system code, with its result (1 or 2) in
// `choice`; null and 0 for codes above 6 taken as unsigned (-1 included).
const char* UsbGpiFileFor(int osCode, int* choice);
