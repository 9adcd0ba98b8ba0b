// Reads and drives the installer's windows from another process of the same Wine prefix,
// for the GUI checks, where X alone cannot read a message box's text or make a close
// request (there is no window manager, so no close box).
//   gui_probe.exe text CAPTION   prints the message text of the visible box with that
//                                caption, byte for byte; exit code 1 when there is none
//   gui_probe.exe close TITLE    posts the close box's request (WM_SYSCOMMAND SC_CLOSE) to
//                                the top-level window whose title starts with TITLE
//   gui_probe.exe painted TITLE  waits (10 s at most) until the top-level window whose title
//                                starts with TITLE has no part left to paint and its thread
//                                has answered a message since; exit code 1 when it never does
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct Search {
  const char* title;
  int prefixOnly;
  HWND found;
};

// Picks the first visible top-level window whose title matches the search.
BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
  Search& search = *reinterpret_cast<Search*>(lParam);
  if (!IsWindowVisible(window)) return TRUE;
  char title[512] = "";
  GetWindowTextA(window, title, sizeof title);
  const size_t length = strlen(search.title);
  const int matches = search.prefixOnly ? strncmp(title, search.title, length) == 0
                                        : strcmp(title, search.title) == 0;
  if (!matches) return TRUE;
  search.found = window;
  return FALSE;
}

HWND FindTopLevel(const char* title, int prefixOnly) {
  Search search = {title, prefixOnly, nullptr};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct LongestText {
  char text[4096];
};

// Keeps the longest text of the box's static controls: the message (the icon's is empty).
BOOL CALLBACK KeepLongestStatic(HWND child, LPARAM lParam) {
  LongestText& longest = *reinterpret_cast<LongestText*>(lParam);
  char className[64] = "";
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") != 0) return TRUE;
  char text[sizeof longest.text] = "";
  GetWindowTextA(child, text, sizeof text);
  if (strlen(text) > strlen(longest.text)) memcpy(longest.text, text, sizeof text);
  return TRUE;
}

// Prints the message text of the box titled `caption`; 0 when found, 1 when not.
int PrintBoxText(const char* caption) {
  HWND box = FindTopLevel(caption, 0);
  if (!box) return 1;
  static LongestText longest = {};
  EnumChildWindows(box, KeepLongestStatic, reinterpret_cast<LPARAM>(&longest));
  _setmode(_fileno(stdout), _O_BINARY);
  fwrite(longest.text, 1, strlen(longest.text), stdout);
  fflush(stdout);
  return 0;
}

// Posts the close box's request to the window whose title starts with `title`.
int RequestClose(const char* title) {
  HWND window = FindTopLevel(title, 1);
  if (!window) return 1;
  return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
}

// Waits until the window titled `title` is painted: visible, an empty update region, and
// a message answered by its thread after that (so its painting has ended, not just begun).
int WaitPainted(const char* title) {
  for (int tries = 0; tries < 200; ++tries) {
    HWND window = FindTopLevel(title, 1);
    if (window && !GetUpdateRect(window, nullptr, FALSE)) {
      DWORD_PTR answer = 0;
      if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) &&
          !GetUpdateRect(window, nullptr, FALSE))
        return 0;
    }
    Sleep(50);
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "text") == 0) return PrintBoxText(argv[2]);
  if (argc == 3 && strcmp(argv[1], "close") == 0) return RequestClose(argv[2]);
  if (argc == 3 && strcmp(argv[1], "painted") == 0) return WaitPainted(argv[2]);
  fprintf(stderr, "usage: gui_probe text CAPTION | close TITLE | painted TITLE\n");
  return 2;
}
