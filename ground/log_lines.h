// The lines of the run's log, built without the system: each format writes one terminated
// line (without its line break) into `out`, so that every line's shape is tested natively.
#pragma once

#include <cstddef>

// Line formats (portable, each writes one terminated line without its line break into
// `out`; results as CopyText: 1 when the whole line fit).
int FormatHeaderLines(char* out, size_t capacity, const char* edition, const char* version,
                      const char* commandLine, int osCode, const char* osLabel, int isWindows64,
                      const char* targetFolder);
int FormatPayloadEntryLine(char* out, size_t capacity, const char* name, unsigned size,
                           int verified, int written, unsigned long error);
int FormatProgramRunLine(char* out, size_t capacity, const char* what, const char* program,
                         const char* commandLine, const char* folder, int started, long exitCode,
                         unsigned long error);
int FormatModuleLine(char* out, size_t capacity, const char* entryPoint, const char* module,
                     int result, long hresult);
int FormatActionLine(char* out, size_t capacity, const char* action, const char* target, int ok,
                     unsigned long error);
// "<action> HKLM\<key>[\<value>]: ok" or ": FAILED (error N)".
int FormatRegistryLine(char* out, size_t capacity, const char* action, const char* root,
                       const char* key, const char* value, int ok, unsigned long error);
// "<action> <folder>\<title>.LNK: ok" or ": FAILED (0xHHHHHHHH)" (a COM result or an error).
int FormatShortcutLine(char* out, size_t capacity, const char* action, const char* folder,
                       const char* title, int ok, unsigned long error);
int FormatResultLine(char* out, size_t capacity, const char* procedure, int result);
int FormatExitCodeLine(char* out, size_t capacity, int exitCode);
int FormatFailureLine(char* out, size_t capacity, const char* step, const char* why);
// The words Windows has for an error ("Access is denied."), for the failure lines. The Windows
// build sets it when it opens the log; without it a failure shows the number alone. Writes the
// words into `out`; 1 when it had some.
using ErrorWordsFn = int (*)(unsigned long error, char* out, size_t capacity);
void SetErrorWords(ErrorWordsFn describe);
// "error 5", or with words "error 5: Access is denied.".
int FormatWindowsError(char* out, size_t capacity, unsigned long error);

// What a run wrote and removed, counted for its summary line.
enum TallyItem { TALLY_FILE, TALLY_MODULE, TALLY_SHORTCUT, TALLY_ENTRY_VALUE, TALLY_ITEM_COUNT };
struct RunTally {
  int written[TALLY_ITEM_COUNT];
  int removed[TALLY_ITEM_COUNT];
};
// The run's last line: "summary: exit code <n> (<words>) after <ms> ms; written: <n> files,
// <n> modules, <n> shortcuts, <n> entry values; removed: <likewise>".
int FormatSummaryLine(char* out, size_t capacity, int exitCode, unsigned long long milliseconds,
                      const RunTally& tally);
// "program folder: <folder>", once the folder is known.
int FormatContextLine(char* out, size_t capacity, const char* targetFolder);
// "[   123 ms] ": the prefix of every line, the time since the program started.
int FormatTimePrefix(char* out, size_t capacity, unsigned long long milliseconds);
// "MixarroSetup-Indigo-20261209-221530.log"; `attempt` > 0 appends "-<attempt>" before ".log".
int FormatLogFileName(char* out, size_t capacity, const char* edition, int year, int month, int day,
                      int hour, int minute, int second, int attempt);
