// Paths that the system gives in UTF-16, brought into the program's 8-bit texts. The program
// asks for the UTF-8 code page in its manifest, and then every path arrives whole. A system
// that ignores that request (Windows before 10 version 1903) converts into its ANSI code page,
// where a letter that the page lacks becomes a look-alike ("Ł" -> "L") or "?": a path that names
// some other folder, or none. Such a path is read in UTF-16 and taken only when it converts
// whole; else its short (8.3) form; else not at all, with a log line that says so.
#pragma once

#include <cstddef>

#include "ground/paths.h"

// The log line for a system path that did not reach the program whole: `what` names the place,
// `shortForm` is the form used instead (PATH_REACH_SHORT), `consequence` what the run does
// without it (PATH_REACH_NONE). 1 when it fit.
int FormatPathReachLine(char* out, size_t capacity, const char* what, int reach, unsigned codePage,
                        const char* shortForm, const char* consequence);

#ifdef _WIN32
// 1 when the program's 8-bit calls speak UTF-8.
int AnsiIsUtf8();
// The path in the 8-bit code page, without best-fit mapping and checked by converting back; 1
// when it converted whole and fit, else 0 with `out` emptied.
int WideToAnsiWhole(const wchar_t* path, char* out, size_t capacity);
// An 8-bit text in UTF-16; 1 when it fit.
int AnsiToWide(const char* text, wchar_t* out, size_t capacity);
// The short form of an existing path (GetShortPathNameW): its length, 0 when there is none
// (a volume without 8.3 names, a missing path) or it did not fit.
unsigned long ReadShortPath(const wchar_t* path, wchar_t* out, unsigned long capacity);
// The path in 8-bit text, whole or as its short form (PATH_REACH_*); PATH_REACH_NONE leaves
// `out` empty.
int ReachWidePath(const wchar_t* path, char* out, size_t capacity);
// As ReachWidePath, and a log line unless the path arrived whole.
int ReachWidePathLogged(const wchar_t* path, char* out, size_t capacity, const char* what,
                        const char* consequence);
// The running program's own file (GetModuleFileNameW), as ReachWidePathLogged.
int ReadOwnProgramPath(char* out, size_t capacity);
#endif
