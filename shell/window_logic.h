// The main window's decisions that need no system: what a click, a key, a close request,
// a command or a timer tick does in the window's present state, what the window posts to
// itself at creation, which setup program an uninstall entry names, and how far the
// window must grow so that its client area holds the picture and the band.
#pragma once

#include <cstdint>

#include "ground/context.h"

constexpr int VK_CODE_ENTER = 13;
constexpr int VK_CODE_ESCAPE = 27;
constexpr int PICTURE_LINK_SIZE = 27;
constexpr int COMPLETION_LINK_SIZE = 50;
constexpr int LINK_BUFFER_SIZE = 512;

enum ClickAction { CLICK_NOTHING, CLICK_PRESS_BUTTON, CLICK_OPEN_PICTURE_LINK };
enum KeyAction { KEY_NOTHING, KEY_PRESS_BUTTON, KEY_POST_CLOSE };
enum CommandAction {
  COMMAND_NOTHING,
  COMMAND_ERROR_BOX,
  COMMAND_DONE_BOX,
  COMMAND_SWITCH_RUN,
  COMMAND_FOREIGN_SETUP_BOX
};
enum SwitchRunAction {
  SWITCH_RUN_NOTHING,
  SWITCH_RUN_UNINSTALL,
  SWITCH_RUN_INSTALL,
  SWITCH_RUN_REFUSE_FOREIGN
};
enum CreationPost { CREATION_POST_NOTHING, CREATION_POST_SWITCH_RUN, CREATION_CHECK_SETUP };

// The signed x (low 16 bits) and y (high 16 bits) of a mouse message's lParam.
int MouseX(uint32_t lParam);
int MouseY(uint32_t lParam);

// 1 when (x, y) lies strictly inside the rectangle: a click on its border is no press.
int IsInsideButton(const ButtonRect& rect, int x, int y);
// A left click at (x, y).
ClickAction DecideClick(const InstallerContext& context, int x, int y);
// A key press (virtual key code).
KeyAction DecideKey(const InstallerContext& context, int virtualKey);
// 1 when a close request ends the window now (never while the worker runs).
int AcceptsClose(const InstallerContext& context);
// 1 when the mouse at row y shows the hand cursor (every row of the picture).
int ShowsHandCursor(const InstallerContext& context, int y);
// A WM_COMMAND: its identifier is the low 16 bits of wParam, lParam counts whole.
CommandAction DecideCommand(uintptr_t wParam, intptr_t lParam, int hidden);
// The procedure of a switch run: removal when present, install with the install switch. A
// present product whose uninstall entry names another setup program (`sameSetupProgram` 0,
// the rule of IsSameSetupProgram) is refused, as the window refuses it to a click: the other
// edition's removal would leave the drivers that only that program knows.
SwitchRunAction DecideSwitchRun(int productPresent, int installSwitchSet, int sameSetupProgram);
// What the creation steps do after sizing: the switch run, the foreign-setup check, or nothing.
CreationPost DecideCreationPost(int installSwitchSet, int uninstallSwitchSet, int productPresent);
// 1 when a blink tick draws the busy button.
int DrawsBlinkTick(const InstallerContext& context, uintptr_t timerId);
// The busy button's phase for a tick count: 1 shows the word.
int BlinkPhase(int blinkCount);

// Strips one pair of double quotes that enclose the whole text, in place.
void StripEnclosingQuotes(char* text);
// 1 when the stored uninstall command names the same program file as `setupPath`: file
// names only (the folders may differ), ASCII case ignored, one pair of enclosing quotes of
// the stored text ignored. An empty stored text counts as the same program.
int NamesSameSetupProgram(const char* setupPath, const char* storedValue);

// The outer size of the window from the frame metrics: the picture, the band, two frames
// and the caption.
void FormulaWindowSize(int width, int height, int frameWidth, int captionHeight, int* windowWidth,
                       int* windowHeight);
// The outer size that gives exactly the wanted client size, from the window's present
// outer and client sizes (the frame is whatever the two differ by).
void CorrectedWindowSize(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                         int wantedClientWidth, int wantedClientHeight, int* newWidth,
                         int* newHeight);
