// The run's log: a plain-text account of what the program did, one line per step, for
// administrators who deploy the product silently. It goes to the user's temporary folder as
// "MixarroSetup-<edition>-<yyyymmdd-hhmmss>.log". A log that cannot be written changes nothing:
// every call below is then a no-op. Every line starts with the time since the program started,
// so that a slow step stands out.
#pragma once

#include <cstddef>

#include "ground/capacities.h"
#include "ground/log_lines.h"

struct InstallerContext;

#ifdef _WIN32
// Opens the log of this run and writes its header (the system as the caller detected it).
void OpenRunLog(const InstallerContext& context, const char* commandLine, int osCode,
                const char* osLabel);
// One step as a line of its own.
void LogLine(const char* line);
// A step, its result and its Windows error: "<action> <target>: ok" or ": FAILED (error N)".
void LogAction(const char* action, const char* target, int ok, unsigned long error);
// A step in the shape of one of the formats above:
// LogFormatted(FormatRegistryLine, "set value", "HKLM", key, value, ok, error).
template <typename Format, typename... Args>
void LogFormatted(Format format, Args... args) {
  char line[LOG_LINE_CAPACITY];
  format(line, sizeof line, args...);
  LogLine(line);
}
// Counts one file, module, shortcut or entry value that the run wrote (registered, made) or
// removed, for the summary line.
void TallyWritten(TallyItem item);
void TallyRemoved(TallyItem item);
// Ends the log with the program's exit code and the summary line, and closes it.
void CloseRunLog(int exitCode);
#endif
