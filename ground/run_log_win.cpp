#include <cstring>

#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"

namespace {

// out = folder, a backslash unless it ends with one, then an ASCII name; 1 when it fit.
int JoinWidePath(wchar_t* out, size_t capacity, const wchar_t* folder, const char* name) {
  size_t n = 0;
  for (; folder[n]; ++n) {
    if (n + 1 >= capacity) return 0;
    out[n] = folder[n];
  }
  if (n > 0 && out[n - 1] != L'\\') {
    if (n + 1 >= capacity) return 0;
    out[n++] = L'\\';
  }
  for (size_t i = 0; name[i]; ++i) {
    if (n + 1 >= capacity) return 0;
    out[n++] = static_cast<unsigned char>(name[i]);
  }
  out[n] = L'\0';
  return 1;
}

// The log of this run; INVALID_HANDLE_VALUE while there is none (not opened, or it could not
// be written), which turns every Log call into nothing.
HANDLE logFile = INVALID_HANDLE_VALUE;
// What the run wrote and removed so far.
RunTally tally;

// The system's words for an error, on one line and without the full stop's line break.
int DescribeError(unsigned long error, char* out, size_t capacity) {
  if (capacity == 0) return 0;
  DWORD n =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(error), 0, out, static_cast<DWORD>(capacity), nullptr);
  if (n == 0 || n >= capacity) {
    out[0] = '\0';
    return 0;
  }
  out[n] = '\0';
  while (n > 0 && (out[n - 1] == '\r' || out[n - 1] == '\n' || out[n - 1] == ' ')) out[--n] = '\0';
  for (DWORD i = 0; i < n; ++i)
    if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
  return n > 0;
}

// Milliseconds since the process was created (not since the log was opened: the time before
// the log counts too).
unsigned long long MillisecondsSinceStart() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER from, to;
  from.LowPart = created.dwLowDateTime;
  from.HighPart = created.dwHighDateTime;
  to.LowPart = now.dwLowDateTime;
  to.HighPart = now.dwHighDateTime;
  return to.QuadPart > from.QuadPart ? (to.QuadPart - from.QuadPart) / 10000 : 0;
}

// Writes the text as lines ("\r\n" between them inside the text), each after the time prefix.
void WriteLine(const char* text) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  char prefix[32];
  FormatTimePrefix(prefix, sizeof prefix, MillisecondsSinceStart());
  const DWORD prefixLength = static_cast<DWORD>(strnlen(prefix, sizeof prefix));
  const char* line = text;
  const char* end = text + strnlen(text, LOG_LINE_CAPACITY);
  for (;;) {
    const char* next = line;
    while (next < end && !(next[0] == '\r' && next + 1 < end && next[1] == '\n')) ++next;
    DWORD written = 0;
    WriteFile(logFile, prefix, prefixLength, &written, nullptr);
    WriteFile(logFile, line, static_cast<DWORD>(next - line), &written, nullptr);
    WriteFile(logFile, "\r\n", 2, &written, nullptr);
    if (next >= end) break;
    line = next + 2;
  }
}

}  // namespace

void OpenRunLog(const InstallerContext& context, const char* commandLine, int osCode,
                const char* osLabel) {
  if (logFile != INVALID_HANDLE_VALUE) return;
  SetErrorWords(DescribeError);
  // The folder in UTF-16 and the file made through it: an 8-bit TEMP would name a look-alike
  // folder for a user whose name the code page lacks, and no log would be written at all.
  wchar_t folder[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, folder);
  if (n == 0 || n > MAX_PATH) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  // Never overwrite an earlier log: a second run within the same second gets "-1", "-2", ...
  for (int attempt = 0; attempt < 100 && logFile == INVALID_HANDLE_VALUE; ++attempt) {
    char name[128];
    FormatLogFileName(name, sizeof name, ThisEdition().name, now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, attempt);
    wchar_t path[PATH_CAPACITY];
    if (!JoinWidePath(path, PATH_CAPACITY, folder, name)) return;
    logFile = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return;
  }
  if (logFile == INVALID_HANDLE_VALUE) return;
  // Where the program speaks UTF-8, so does its log; the mark tells every Notepad so (without
  // it an older one takes the text for the system's code page).
  if (GetACP() == CP_UTF8) {
    DWORD written = 0;
    WriteFile(logFile, "\xEF\xBB\xBF", 3, &written, nullptr);
  }
  char line[LOG_LINE_CAPACITY];
  FormatHeaderLines(line, sizeof line, ThisEdition().name, ThisEdition().versionText, commandLine,
                    osCode, osLabel, context.isWindows64, context.targetFolder);
  WriteLine(line);
}

void LogLine(const char* line) {
  WriteLine(line);
}

void LogAction(const char* action, const char* target, int ok, unsigned long error) {
  char line[LOG_LINE_CAPACITY];
  FormatActionLine(line, sizeof line, action, target, ok, error);
  WriteLine(line);
}

void TallyWritten(TallyItem item) {
  if (item >= 0 && item < TALLY_ITEM_COUNT) ++tally.written[item];
}

void TallyRemoved(TallyItem item) {
  if (item >= 0 && item < TALLY_ITEM_COUNT) ++tally.removed[item];
}

void CloseRunLog(int exitCode) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  char line[LOG_LINE_CAPACITY];
  FormatExitCodeLine(line, sizeof line, exitCode);
  WriteLine(line);
  FormatSummaryLine(line, sizeof line, exitCode, MillisecondsSinceStart(), tally);
  WriteLine(line);
  CloseHandle(logFile);
  logFile = INVALID_HANDLE_VALUE;
}
