// The program's entry and outer frame: switches, the single-instance mutex, the start-up
// passes over the product's windows, the context, the main window and the message loop.
#pragma once

#include "ground/context.h"
#include "shell/texts.h"

#ifdef _WIN32
// Runs the whole program on the argument text (without the program name); the exit code.
int RunSetupProgram(HINSTANCE instance, const char* arguments);
// Zeroes the context, stores the instance and the 64-bit flag; returns 0.
int InitInstallerContext(InstallerContext& context, HINSTANCE instance);
// Registers the main window class and creates the window (shown unless hidden); null on
// failure, after the "Startup Error" box.
HWND CreateMainWindow(HINSTANCE instance, WNDPROC handler, const char* menuName, const char* title);
// Frame width and caption height for sizing the window; either pointer may be null.
void GetFrameMetrics(int* frameWidth, int* captionHeight);
// Posts WM_DESTROY to the main window, which ends the program.
void PostDestroy();
// The two start-up passes that tell the product's running applications to end.
void CloseProductWindowsByClass(const char* titlePrefix);
void CloseProductWindowsByTitle(const wchar_t* titlePrefix);
#endif
