#include <cstring>

#include "install/paths.h"
#include "shell/context.h"
#include "shell/run_log.h"
#include "system/os_version.h"

namespace {

// The log of this run; INVALID_HANDLE_VALUE while there is none (not opened, or it could not
// be written), which turns every Log call into nothing.
HANDLE logFile = INVALID_HANDLE_VALUE;

void WriteLine(const char* line) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  size_t n = strnlen(line, LOG_LINE_CAPACITY);
  WriteFile(logFile, line, static_cast<DWORD>(n), &written, nullptr);
  WriteFile(logFile, "\r\n", 2, &written, nullptr);
}

}  // namespace

void OpenRunLog(const InstallerContext& context, const char* commandLine) {
  if (logFile != INVALID_HANDLE_VALUE) return;
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
                    DetectOsCode(), context.isWindows64, context.targetFolder);
  WriteLine(line);
}

void LogContext(const InstallerContext& context) {
  char line[LOG_LINE_CAPACITY];
  CopyText(line, sizeof line, "program folder: ");
  AppendText(line, sizeof line, context.targetFolder);
  WriteLine(line);
}

void LogPayloadEntry(const char* name, unsigned size, int verified, int written,
                     unsigned long error) {
  char line[LOG_LINE_CAPACITY];
  FormatPayloadEntryLine(line, sizeof line, name, size, verified, written, error);
  WriteLine(line);
}

void LogProgramRun(const char* what, const char* program, const char* commandLine,
                   const char* folder, int started, long exitCode, unsigned long error) {
  char line[LOG_LINE_CAPACITY];
  FormatProgramRunLine(line, sizeof line, what, program, commandLine, folder, started, exitCode,
                       error);
  WriteLine(line);
}

void LogModule(const char* entryPoint, const char* module, int result, long hresult) {
  char line[LOG_LINE_CAPACITY];
  FormatModuleLine(line, sizeof line, entryPoint, module, result, hresult);
  WriteLine(line);
}

void LogAction(const char* action, const char* target, int ok, unsigned long error) {
  char line[LOG_LINE_CAPACITY];
  FormatActionLine(line, sizeof line, action, target, ok, error);
  WriteLine(line);
}

void LogRegistry(const char* action, const char* root, const char* key, const char* value, int ok,
                 unsigned long error) {
  char line[LOG_LINE_CAPACITY];
  FormatRegistryLine(line, sizeof line, action, root, key, value, ok, error);
  WriteLine(line);
}

void LogShortcut(const char* action, const char* folder, const char* title, int ok,
                 unsigned long error) {
  char line[LOG_LINE_CAPACITY];
  FormatShortcutLine(line, sizeof line, action, folder, title, ok, error);
  WriteLine(line);
}

void LogResult(const char* procedure, int result) {
  char line[LOG_LINE_CAPACITY];
  FormatResultLine(line, sizeof line, procedure, result);
  WriteLine(line);
}

void LogFailure(const char* step, const char* why) {
  char line[LOG_LINE_CAPACITY];
  FormatFailureLine(line, sizeof line, step, why);
  WriteLine(line);
}

void CloseRunLog(int exitCode) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  char line[LOG_LINE_CAPACITY];
  FormatExitCodeLine(line, sizeof line, exitCode);
  WriteLine(line);
  CloseHandle(logFile);
  logFile = INVALID_HANDLE_VALUE;
}
