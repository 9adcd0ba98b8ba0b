// What the main window does beyond drawing: the action button, the check that the
// installed product came from this setup program, and the sizing around the picture.
#pragma once

#include "ground/context.h"

#ifdef _WIN32
// The button's action: pressed look, a short pause, then the install worker or the removal.
void PressActionButton(InstallerContext& context, HWND window);
// 1 when the uninstall entry names this setup program (file names only) or cannot be read.
int IsSameSetupProgram(const InstallerContext& context);
// Grows or shrinks the window so that its client area is exactly width x height.
void FitClientArea(HWND window, int width, int height);
#endif
