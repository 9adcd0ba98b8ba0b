// Which Windows this is (the operating-system code) and whether it is 64-bit.
#pragma once

#include <cstdint>

constexpr int OS_UNKNOWN = -1;
constexpr int OS_PRE_XP = 0;
constexpr int OS_XP = 1;
constexpr int OS_SERVER_2003 = 2;
constexpr int OS_VISTA = 3;
constexpr int OS_WIN7 = 4;
constexpr int OS_WIN8 = 5;
constexpr int OS_WIN81 = 6;
constexpr int OS_WIN10 = 7;
constexpr int OS_POST_WIN10 = 8;

constexpr uint8_t PRODUCT_TYPE_WORKSTATION = 1;  // VER_NT_WORKSTATION

// The operating-system code of a version; the build number never matters.
int ClassifyOs(uint32_t major, uint32_t minor, uint8_t productType);
// The label that the window shows for a code; "O/S: unknown" outside 0 to 8.
const char* OsCodeLabel(int osCode);

// Win32 side.
// Asks GetVersionExA (extended record first, basic last) and RtlGetVersion; -1 when refused.
int DetectOsCode();
// 1 when the installer runs on 64-bit Windows. The 64-bit build knows it at compile time.
int IsWindows64();
