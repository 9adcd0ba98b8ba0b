// The installer context: the one process-wide record that the window, the worker thread
// and every procedure share. Zeroed once at start, never freed.
#pragma once

#include "editions/edition.h"
#include "ground/capacities.h"
#include "ground/platform.h"

// The notices a procedure posts to the window above it: its error text is to be shown, or
// the installation finished.
constexpr long NOTICE_ERROR = 127;
constexpr long NOTICE_DONE = 128;

struct InstallerContext;
// How a notice reaches the window. The shell sets it when it fills the context; the layers
// below post through it and never see the window.
using NoticePoster = void (*)(const InstallerContext& context, long notice);

struct ButtonRect {
  int left;
  int top;
  int right;
  int bottom;
};

struct InstallerContext {
  HWND hwnd;
  HINSTANCE hInstance;
  int isWindows64;
  char setupPath[PATH_CAPACITY];
  // How setupPath reached the program (PATH_REACH_*): the uninstaller copy keeps the running
  // file's name only when it was whole.
  int setupPathReach;
  unsigned blinkTimerId;
  int osCode;
  int productPresent;
  char targetFolder[PATH_CAPACITY];
  unsigned char catalogue[MAX_CATALOGUE_SIZE];
  ButtonRect buttonRect;
  int blinkCount;
  HBITMAP backgroundBitmap;
  int backgroundWidth;
  int backgroundHeight;
  HCURSOR handCursor;
  HFONT statusFont;
  HFONT osLabelFont;
  HFONT buttonFont;
  HANDLE workerThread;
  unsigned workerThreadId;
  volatile int workerRunning;
  volatile int workerResult;
  char errorCaption[ERROR_CAPTION_CAPACITY];
  char errorText[ERROR_TEXT_CAPACITY];
  char statusLine[STATUS_LINE_CAPACITY];
  NoticePoster postNotice;
};

// Posts the notice through the context's poster; nothing when none is set.
inline void PostNotice(const InstallerContext& context, long notice) {
  if (context.postNotice) context.postNotice(context, notice);
}

// Process-wide switch flags, set by ParseSwitches before the context is zeroed.
extern int hiddenMode;
extern int installSwitch;
extern int uninstallSwitch;

// The one context of the process.
InstallerContext& TheContext();
