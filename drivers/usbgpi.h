// The USB GPI driver information file, copied into (or deleted from) Windows' "inf" folder.
#pragma once

struct InstallerContext;

// Copies (direction non-zero) or deletes the file chosen by osCode: 1 for the XP/Vista file,
// 2 for the newer one, 0 when nothing is done (Windows 10 and later, unknown).
int SetUsbGpiDriverInfo(InstallerContext& context, int direction);
