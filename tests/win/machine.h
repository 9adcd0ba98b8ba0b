// What a test sees of the machine after a run of the installer: the program folder, the
// Start-menu groups, the registry values, the stand-ins' log.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// "<Program Files>\QX\Mixarro" as this process sees it (the x86 folder in a 32-bit test).
std::string ProgramFolder();
// "<Programs>\QX Audio\Mixarro" of the current user and of all users.
std::string UserStartMenuGroup();
std::string CommonStartMenuGroup();

// Every file below the folder, as sorted relative paths ("mp3lame\lame_enc.dll").
std::vector<std::string> ListFiles(const std::string& folder);
// A listing of files (with sizes) and folders below `folder`, one per line, for comparisons.
std::string DescribeTree(const std::string& folder);

// A value of HKEY_LOCAL_MACHINE / HKEY_CURRENT_USER; `found` tells whether it exists.
std::string ReadMachineText(const char* key, const char* value, bool* found = nullptr,
                            REGSAM view = 0);
std::string ReadUserText(const char* key, const char* value);
DWORD ReadUserNumber(const char* key, const char* value, bool* found = nullptr);
bool MachineKeyExists(const char* key, REGSAM view = 0);
// Every value under the key and its subkeys, as text lines (for before/after comparisons).
std::string DescribeKey(HKEY root, const char* key, REGSAM view = 0);

struct LinkInfo {
  std::string path, description, workingFolder, arguments;
  bool loaded;
};
LinkInfo ReadLink(const std::string& lnkPath);

// The stand-ins' log: one line per event, fields separated by tabs.
std::vector<std::vector<std::string>> ReadStandinLog(const std::string& path);
