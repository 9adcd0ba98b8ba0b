#include <cwchar>

#include "ground/capacities.h"
#include "ground/platform.h"
#include "ground/run_log.h"
#include "system/ansi_paths.h"

int AnsiIsUtf8() {
  return GetACP() == CP_UTF8;
}

int WideToAnsiWhole(const wchar_t* path, char* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = '\0';
  if (!path || capacity > 0x7FFFFFFF) return 0;
  // UTF-8 takes neither the no-best-fit flag nor the used-default answer; the conversion back
  // catches what it cannot carry (a lone surrogate) and any mapping that the flag misses.
  const int utf8 = AnsiIsUtf8();
  BOOL usedDefault = FALSE;
  const int n =
      WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, path, -1, out,
                          static_cast<int>(capacity), nullptr, utf8 ? nullptr : &usedDefault);
  wchar_t back[PATH_CAPACITY];
  if (n <= 0 || usedDefault ||
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out, -1, back, PATH_CAPACITY) <= 0 ||
      wcscmp(back, path) != 0) {
    out[0] = '\0';
    return 0;
  }
  return 1;
}

int AnsiToWide(const char* text, wchar_t* out, size_t capacity) {
  if (!out || capacity == 0 || capacity > 0x7FFFFFFF) return 0;
  out[0] = L'\0';
  if (!text) return 0;
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, static_cast<int>(capacity)) <= 0) {
    out[0] = L'\0';
    return 0;
  }
  return 1;
}

int ReachWidePath(const wchar_t* path, char* out, size_t capacity) {
  if (WideToAnsiWhole(path, out, capacity)) return PATH_REACH_WHOLE;
  wchar_t shortForm[PATH_CAPACITY];
  if (path && ReadShortPath(path, shortForm, PATH_CAPACITY) > 0 &&
      WideToAnsiWhole(shortForm, out, capacity))
    return PATH_REACH_SHORT;
  if (out && capacity > 0) out[0] = '\0';
  return PATH_REACH_NONE;
}

int ReachWidePathLogged(const wchar_t* path, char* out, size_t capacity, const char* what,
                        const char* consequence) {
  const int reach = ReachWidePath(path, out, capacity);
  if (reach != PATH_REACH_WHOLE) {
    char line[LOG_LINE_CAPACITY];
    FormatPathReachLine(line, sizeof line, what, reach, GetACP(), out, consequence);
    LogLine(line);
  }
  return reach;
}

int ReadOwnProgramPath(char* out, size_t capacity) {
  wchar_t own[PATH_CAPACITY];
  const DWORD n = GetModuleFileNameW(nullptr, own, PATH_CAPACITY);
  if (n == 0 || n >= PATH_CAPACITY) {
    if (out && capacity > 0) out[0] = '\0';
    LogAction("read the installer's own path", "", 0,
              n == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW);
    return PATH_REACH_NONE;
  }
  return ReachWidePathLogged(own, out, capacity, "the installer's own path",
                             "its copy in the program folder is made from the running program "
                             "itself and named after the edition's setup program");
}
