#include "shell/window_logic.h"

#include "ground/paths.h"
#include "shell/layout.h"
#include "shell/window.h"

int MouseX(uint32_t lParam) {
  return static_cast<int16_t>(lParam & 0xFFFF);
}

int MouseY(uint32_t lParam) {
  return static_cast<int16_t>((lParam >> 16) & 0xFFFF);
}

int IsInsideButton(const ButtonRect& rect, int x, int y) {
  return rect.left < x && x < rect.right && rect.top < y && y < rect.bottom;
}

ClickAction DecideClick(const InstallerContext& context, int x, int y) {
  if (context.workerRunning) return CLICK_NOTHING;
  if (IsInsideButton(context.buttonRect, x, y)) return CLICK_PRESS_BUTTON;
  if (y < context.backgroundHeight) return CLICK_OPEN_PICTURE_LINK;
  return CLICK_NOTHING;
}

KeyAction DecideKey(const InstallerContext& context, int virtualKey) {
  // Escape only asks to close; the close request itself is refused while the worker runs.
  if (virtualKey == VK_CODE_ESCAPE) return KEY_POST_CLOSE;
  if (virtualKey == VK_CODE_ENTER && !context.workerRunning) return KEY_PRESS_BUTTON;
  return KEY_NOTHING;
}

int AcceptsClose(const InstallerContext& context) {
  return context.workerRunning ? 0 : 1;
}

int ShowsHandCursor(const InstallerContext& context, int y) {
  return y < context.backgroundHeight ? 1 : 0;
}

CommandAction DecideCommand(uintptr_t wParam, intptr_t lParam, int hidden) {
  const unsigned id = static_cast<unsigned>(wParam & 0xFFFF);
  if (id == CMD_WORKER_NOTICE) {
    if (hidden) return COMMAND_NOTHING;
    if (lParam == NOTICE_ERROR) return COMMAND_ERROR_BOX;
    if (lParam == NOTICE_DONE) return COMMAND_DONE_BOX;
    return COMMAND_NOTHING;
  }
  if (id == CMD_SWITCH_RUN) return lParam == SWITCH_RUN_TAG ? COMMAND_SWITCH_RUN : COMMAND_NOTHING;
  if (id == CMD_FOREIGN_SETUP) return COMMAND_FOREIGN_SETUP_BOX;
  return COMMAND_NOTHING;
}

SwitchRunAction DecideSwitchRun(int productPresent, int installSwitchSet, int sameSetupProgram) {
  if (productPresent) return sameSetupProgram ? SWITCH_RUN_UNINSTALL : SWITCH_RUN_REFUSE_FOREIGN;
  if (installSwitchSet) return SWITCH_RUN_INSTALL;
  return SWITCH_RUN_NOTHING;
}

CreationPost DecideCreationPost(int installSwitchSet, int uninstallSwitchSet, int productPresent) {
  if (installSwitchSet || uninstallSwitchSet) return CREATION_POST_SWITCH_RUN;
  if (productPresent) return CREATION_CHECK_SETUP;
  return CREATION_POST_NOTHING;
}

int DrawsBlinkTick(const InstallerContext& context, uintptr_t timerId) {
  return context.workerRunning && timerId == BLINK_TIMER_ID ? 1 : 0;
}

int BlinkPhase(int blinkCount) {
  return blinkCount & 1;
}

void StripEnclosingQuotes(char* text) {
  size_t length = 0;
  while (text[length]) ++length;
  if (length < 2 || text[0] != '"' || text[length - 1] != '"') return;
  CopyBytes(text, text + 1, length - 2);
  text[length - 2] = '\0';
}

int NamesSameSetupProgram(const char* setupPath, const char* storedValue) {
  char own[PATH_CAPACITY];
  char stored[PATH_CAPACITY];
  CopyText(own, sizeof own, setupPath);
  CopyText(stored, sizeof stored, storedValue);
  StripEnclosingQuotes(stored);
  if (!stored[0]) return 1;
  KeepFileName(own);
  KeepFileName(stored);
  return EqualIgnoringAsciiCase(own, stored);
}

void FormulaWindowSize(int width, int height, int frameWidth, int captionHeight, int* windowWidth,
                       int* windowHeight) {
  *windowWidth = width + 2 * frameWidth;
  *windowHeight = height + STATUS_BAND_HEIGHT + 2 * frameWidth + captionHeight;
}

void CorrectedWindowSize(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                         int wantedClientWidth, int wantedClientHeight, int* newWidth,
                         int* newHeight) {
  *newWidth = windowWidth + (wantedClientWidth - clientWidth);
  *newHeight = windowHeight + (wantedClientHeight - clientHeight);
}
