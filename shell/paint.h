// The main window's look and the resources that it needs: fonts, picture, hand cursor,
// and the context facts gathered while the window is created (operating system, own path,
// product presence).
#pragma once

#include "ground/context.h"

#ifdef _WIN32
// Creates fonts, loads picture and cursor, fills osCode, setupPath and productPresent;
// returns productPresent.
int PrepareWindowResources(InstallerContext& context);
// Deletes the picture and the fonts that exist and forgets them; harmless twice; 0.
int ReleaseWindowResources(InstallerContext& context);
// Copies the whole bitmap to (x, y) of the DC.
void DrawBackground(HDC dc, int x, int y, HBITMAP bitmap);
// The action button in its normal (pressed 0) or pressed (1) look; stores buttonRect.
void DrawActionButton(InstallerContext& context, HWND window, HDC dc, int pressed);
// The black busy button; phase 1 shows "Installing", both phases the current step.
void DrawBusyButton(InstallerContext& context, HDC dc, int phase);
// The white band under the picture with the two status sentences.
void DrawStatusBand(InstallerContext& context, HWND window, HDC dc);
// Everything WM_PAINT draws over the picture: the label, the band, the normal button.
void PaintMainWindow(InstallerContext& context, HWND window, HDC dc);
#endif
