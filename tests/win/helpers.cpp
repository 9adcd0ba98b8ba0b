#include "tests/win/helpers.h"

#include <cstdio>

std::string BuildFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

std::string BuildFile(const char* name) { return BuildFolder() + name; }

std::string SetupProgram(const char* edition) {
  return BuildFile((std::string("MixarroSetup-") + edition + ".exe").c_str());
}

Started StartProgram(const std::string& program, const std::string& arguments,
                     const char* currentFolder) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  // Wine now and then refuses a start while the prefix's services are still coming up; a
  // start that fails is tried again, and the failure is reported either way.
  for (int attempt = 1;; ++attempt) {
    std::string writable = commandLine;
    if (CreateProcessA(program.c_str(), &writable[0], nullptr, nullptr, FALSE, 0, nullptr,
                       currentFolder, &startup, &info))
      break;
    fprintf(stderr, "start of %s failed (attempt %d): error %lu\n", program.c_str(), attempt,
            GetLastError());
    if (attempt == 3) return {nullptr, 0};
    Sleep(500);
  }
  CloseHandle(info.hThread);
  return {info.hProcess, info.dwProcessId};
}

long WaitExit(HANDLE process, DWORD ms) {
  if (!process) return 0x7fffffff;
  if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
    return 0x7fffffff;
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return static_cast<long>(code);
}

long RunProgram(const std::string& program, const std::string& arguments) {
  Started s = StartProgram(program, arguments);
  return WaitExit(s.process, 60000);
}

std::string ReadWholeFile(const std::string& path) {
  std::string out;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return out;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  fclose(f);
  return out;
}

bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
  return fclose(f) == 0 && ok;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
