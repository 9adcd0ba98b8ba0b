#include "ground/log_lines.h"

#include <cstdio>

#include "ground/results.h"

namespace {

// snprintf into a bounded buffer: 1 when the whole text fit (a cut text is terminated).
template <typename... Args>
int Print(char* out, size_t capacity, const char* format, Args... args) {
  if (!out || capacity == 0) return 0;
  int n = snprintf(out, capacity, format, args...);
  return n >= 0 && static_cast<size_t>(n) < capacity;
}

const char* Or(const char* text, const char* instead) {
  return text ? text : instead;
}

ErrorWordsFn errorWords = nullptr;

// Room for "error N: " and the words.
constexpr size_t ERROR_TEXT_SIZE = 320;

}  // namespace

void SetErrorWords(ErrorWordsFn describe) {
  errorWords = describe;
}

int FormatWindowsError(char* out, size_t capacity, unsigned long error) {
  char words[256];
  if (error != 0 && errorWords && errorWords(error, words, sizeof words) && words[0])
    return Print(out, capacity, "error %lu: %s", error, words);
  return Print(out, capacity, "error %lu", error);
}

int FormatSummaryLine(char* out, size_t capacity, int exitCode, unsigned long long milliseconds,
                      const RunTally& t) {
  return Print(out, capacity,
               "summary: exit code %d (%s) after %llu ms; written: %d files, %d modules, "
               "%d shortcuts, %d entry values; removed: %d files, %d modules, %d shortcuts, "
               "%d entry values",
               exitCode, ResultWords(exitCode), milliseconds, t.written[TALLY_FILE],
               t.written[TALLY_MODULE], t.written[TALLY_SHORTCUT], t.written[TALLY_ENTRY_VALUE],
               t.removed[TALLY_FILE], t.removed[TALLY_MODULE], t.removed[TALLY_SHORTCUT],
               t.removed[TALLY_ENTRY_VALUE]);
}

int FormatHeaderLines(char* out, size_t capacity, const char* edition, const char* version,
                      const char* commandLine, int osCode, const char* osLabel, int isWindows64,
                      const char* targetFolder) {
  return Print(out, capacity,
               "MixarroSetup %s %s\r\ncommand line: %s\r\nsystem: %s (code %d), "
               "64-bit Windows: %d\r\nprogram folder: %s",
               Or(edition, "?"), Or(version, "?"), Or(commandLine, ""), Or(osLabel, "?"), osCode,
               isWindows64, (targetFolder && targetFolder[0]) ? targetFolder : "(not yet known)");
}

int FormatPayloadEntryLine(char* out, size_t capacity, const char* name, unsigned size,
                           int verified, int written, unsigned long error) {
  if (!verified)
    return Print(out, capacity, "file %s (%u bytes): FAILED verification, not written",
                 Or(name, "?"), size);
  if (written)
    return Print(out, capacity, "file %s (%u bytes): verified, written", Or(name, "?"), size);
  char why[ERROR_TEXT_SIZE];
  FormatWindowsError(why, sizeof why, error);
  return Print(out, capacity, "file %s (%u bytes): verified, NOT written (%s)", Or(name, "?"), size,
               why);
}

int FormatProgramRunLine(char* out, size_t capacity, const char* what, const char* program,
                         const char* commandLine, const char* folder, int started, long exitCode,
                         unsigned long error) {
  if (!started) {
    char why[ERROR_TEXT_SIZE];
    FormatWindowsError(why, sizeof why, error);
    return Print(out, capacity, "%s: %s \"%s\" in %s: could NOT be started (%s)",
                 Or(what, "program"), Or(program, "?"), Or(commandLine, ""),
                 Or(folder, "(inherited folder)"), why);
  }
  return Print(out, capacity, "%s: %s \"%s\" in %s: exit code %ld", Or(what, "program"),
               Or(program, "?"), Or(commandLine, ""), Or(folder, "(inherited folder)"), exitCode);
}

int FormatModuleLine(char* out, size_t capacity, const char* entryPoint, const char* module,
                     int result, long hresult) {
  return Print(out, capacity, "module %s %s: %s (0x%08lx)", Or(module, "?"), Or(entryPoint, "?"),
               result ? "ok" : "FAILED", static_cast<unsigned long>(hresult) & 0xFFFFFFFFul);
}

int FormatActionLine(char* out, size_t capacity, const char* action, const char* target, int ok,
                     unsigned long error) {
  if (ok) return Print(out, capacity, "%s %s: ok", Or(action, "?"), Or(target, "?"));
  char why[ERROR_TEXT_SIZE];
  FormatWindowsError(why, sizeof why, error);
  return Print(out, capacity, "%s %s: FAILED (%s)", Or(action, "?"), Or(target, "?"), why);
}

int FormatRegistryLine(char* out, size_t capacity, const char* action, const char* root,
                       const char* key, const char* value, int ok, unsigned long error) {
  const char* separator = value ? "\\" : "";
  if (ok)
    return Print(out, capacity, "%s %s\\%s%s%s: ok", Or(action, "?"), Or(root, "?"), Or(key, "?"),
                 separator, Or(value, ""));
  char why[ERROR_TEXT_SIZE];
  FormatWindowsError(why, sizeof why, error);
  return Print(out, capacity, "%s %s\\%s%s%s: FAILED (%s)", Or(action, "?"), Or(root, "?"),
               Or(key, "?"), separator, Or(value, ""), why);
}

int FormatShortcutLine(char* out, size_t capacity, const char* action, const char* folder,
                       const char* title, int ok, unsigned long error) {
  const char* folderText = Or(folder, "");
  size_t n = 0;
  while (folderText[n]) ++n;
  const char* separator = (n > 0 && folderText[n - 1] == '\\') ? "" : "\\";
  if (ok)
    return Print(out, capacity, "%s %s%s%s.LNK: ok", Or(action, "?"), folderText, separator,
                 Or(title, "?"));
  return Print(out, capacity, "%s %s%s%s.LNK: FAILED (0x%08lx)", Or(action, "?"), folderText,
               separator, Or(title, "?"), error & 0xFFFFFFFFul);
}

int FormatResultLine(char* out, size_t capacity, const char* procedure, int result) {
  return Print(out, capacity, "%s result: %d", Or(procedure, "run"), result);
}

int FormatExitCodeLine(char* out, size_t capacity, int exitCode) {
  return Print(out, capacity, "exit code: %d", exitCode);
}

int FormatFailureLine(char* out, size_t capacity, const char* step, const char* why) {
  return Print(out, capacity, "ERROR at step \"%s\": %s", Or(step, "?"), Or(why, ""));
}

int FormatContextLine(char* out, size_t capacity, const char* targetFolder) {
  return Print(out, capacity, "program folder: %s", Or(targetFolder, ""));
}

int FormatTimePrefix(char* out, size_t capacity, unsigned long long milliseconds) {
  return Print(out, capacity, "[%6llu ms] ", milliseconds);
}

int FormatLogFileName(char* out, size_t capacity, const char* edition, int year, int month, int day,
                      int hour, int minute, int second, int attempt) {
  if (attempt > 0)
    return Print(out, capacity, "MixarroSetup-%s-%04d%02d%02d-%02d%02d%02d-%d.log",
                 Or(edition, "?"), year, month, day, hour, minute, second, attempt);
  return Print(out, capacity, "MixarroSetup-%s-%04d%02d%02d-%02d%02d%02d.log", Or(edition, "?"),
               year, month, day, hour, minute, second);
}
