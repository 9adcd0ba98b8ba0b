#include <cstring>

#include "ground/context.h"
#include "ground/paths.h"
#include "ground/run_log.h"

namespace {

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
  char folder[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  // Never overwrite an earlier log: a second run within the same second gets "-1", "-2", ...
  for (int attempt = 0; attempt < 100 && logFile == INVALID_HANDLE_VALUE; ++attempt) {
    char name[128], path[PATH_CAPACITY];
    FormatLogFileName(name, sizeof name, ThisEdition().name, now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, attempt);
    if (!JoinPath(path, sizeof path, folder, name)) return;
    logFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return;
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
