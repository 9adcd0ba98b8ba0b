// The installer context: the one process-wide record that the window, the worker thread
// and every procedure share. Zeroed once at start, never freed.
#pragma once

#include "editions/edition.h"
#include "install/payload.h"
#include "system/platform.h"

// The largest edition's catalogue; an edition uses the first entryCount * 156 bytes.
constexpr int MAX_CATALOGUE_SIZE = MAX_PAYLOAD_ENTRY_COUNT * CATALOGUE_ENTRY_SIZE;

constexpr int PATH_CAPACITY = 1024;
constexpr int ERROR_CAPTION_CAPACITY = 512;
constexpr int ERROR_TEXT_CAPACITY = 2048;
constexpr int STATUS_LINE_CAPACITY = 1024;

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
};

// Process-wide switch flags, set by ParseSwitches before the context is zeroed.
extern int hiddenMode;
extern int installSwitch;
extern int uninstallSwitch;

// The one context of the process.
InstallerContext& TheContext();
