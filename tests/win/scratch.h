// Scratch folders and stand-in programs for the Windows-side tests of the driver steps,
// the shortcuts and the removal primitives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh, empty folder "<temp>\<name>" (anything of that name is removed first); the path
// has no trailing backslash.
std::string ScratchFolder(const char* name);
// Creates the file with the given text (and the folders above it); false on failure.
bool MakeScratchFile(const std::string& path, const std::string& text = "x");
// Removes the folder and everything in it (test clean-up, independent of the code under test).
void WipeScratchFolder(const std::string& folder);
// Names in the folder (files and folders, without "." and ".."), sorted.
std::vector<std::string> ListScratchFolder(const std::string& folder);

// Architecture of this test program's stand-ins: "x86_64" or "i686" (MIXARRO_ARCH).
std::string StandinArch();
// Architecture of a stand-in for a 32-bit program run under WoW64: "i686", or StandinArch()
// on a machine that cannot run 32-bit code (MIXARRO_CAN_RUN_32BIT=0), where only the choice
// of the program, not its run under WoW64, can be checked.
std::string Wow64StandinArch();
// "<build>\standins\<arch>\<file>", arch defaulting to StandinArch().
std::string StandinFile(const char* file, const std::string& arch = "");
// Copies a stand-in into the folder under a product name; false on failure.
bool PlaceStandin(const char* file, const std::string& folder, const char* productName,
                  const std::string& arch = "");

// Lines of a text file, without their line ends.
std::vector<std::string> ReadLines(const std::string& path);
// Splits a line at tabs.
std::vector<std::string> SplitTabs(const std::string& line);

// Runs `work` on its own thread; false when it has not returned after `ms` (the thread is
// then left behind), so that a walk that never ends fails its test instead of hanging it.
bool EndsWithin(DWORD ms, void (*work)(void*), void* argument);
