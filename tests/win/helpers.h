// Helpers of the Windows-side tests: where the built programs are, starting them and
// waiting for them, reading files and registry values.
#pragma once

#include <windows.h>

#include <string>

// Folder of the running test program (the build folder), with a trailing backslash.
std::string BuildFolder();
// Full path of a file in the build folder.
std::string BuildFile(const char* name);
// "MixarroSetup-Indigo.exe" of this build.
std::string SetupProgram(const char* edition = "Indigo");

struct Started {
  HANDLE process;
  DWORD id;
};
// Starts "<program> <arguments>" (program quoted); process handle or null.
Started StartProgram(const std::string& program, const std::string& arguments,
                     const char* currentFolder = nullptr);
// Waits at most `ms`; the exit code, or 0x7fffffff on a time-out (the process is then killed).
long WaitExit(HANDLE process, DWORD ms);
// Starts, waits (60 s at most) and returns the exit code.
long RunProgram(const std::string& program, const std::string& arguments);

std::string ReadWholeFile(const std::string& path);
bool WriteText(const std::string& path, const std::string& text);
bool PathExists(const std::string& path);
