// Registry helpers of the install and removal procedures.
#pragma once

#include <cstddef>

// Programs and Features entry, under HKEY_LOCAL_MACHINE.
extern const char UNINSTALL_KEY[];
// Per-user product values, directly under HKEY_CURRENT_USER.
extern const char PRODUCT_USER_KEY[];
// Where the current user's Programs folder is read ("Programs", HKEY_CURRENT_USER).
extern const char SHELL_FOLDERS_KEY[];

// Largest REG_SZ value ReadUserString takes, in bytes.
constexpr size_t USER_STRING_LIMIT = 4096;

// REG_SZ under HKEY_LOCAL_MACHINE (key opened or created); 1 when written.
int SetMachineString(const char* subKey, const char* valueName, const char* text);
// REG_DWORD under HKEY_LOCAL_MACHINE (key opened or created); 1 when written.
int SetMachineDword(const char* subKey, const char* valueName, unsigned value);
// REG_DWORD under HKEY_CURRENT_USER (key opened or created); 1 when written.
// The setters leave the registry's error code in GetLastError when they fail.
int SetUserDword(const char* subKey, const char* valueName, unsigned value);
// The current user's "Programs" folder (the shell folders key) into `out`; 1 when it is there
// and a full path. An empty or relative value gives 0 and a log line: shortcuts made or removed
// below it would land below whatever the current folder is.
int ReadUserProgramsFolder(char* out, size_t capacity);
// The number of values of a key under HKEY_LOCAL_MACHINE; 0 when it cannot be opened.
int CountMachineValues(const char* subKey);
// Reads a REG_SZ value of HKEY_CURRENT_USER into `out` (at most `capacity` bytes, always
// terminated); 1 when read whole, 0 (and `out` empty) when missing, of another type, larger
// than 4,096 bytes or longer than `out`.
int ReadUserString(const char* subKey, const char* valueName, char* out, size_t capacity);

// Portable part of ReadUserString: the text of `count` stored bytes (up to the first NUL, or
// all of them when the value was stored without one) into `out`, always terminated; 1 when
// the whole text fit.
int TakeRegistryText(const char* bytes, size_t count, char* out, size_t capacity);
