// Stand-in of the 64-bit registration program "qxregsvr64.exe". It logs how it was started
// and can be told to take its time:
//   MIXARRO_STANDIN_LOG       log file; one line: module file name, command line, process id
//   MIXARRO_REGSVR_SLEEP_MS   sleep this long before ending
//   MIXARRO_REGSVR_SLEEP_ON   only sleep when the command line holds this text
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main() {
  char module[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const char* commandLine = GetCommandLineA();
  if (const char* log = getenv("MIXARRO_STANDIN_LOG")) {
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      static char line[MAX_PATH + 8192];
      snprintf(line, sizeof line, "%s\t%s\t%lu\n", module, commandLine,
               static_cast<unsigned long>(GetCurrentProcessId()));
      DWORD written;
      WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
      CloseHandle(file);
    }
  }
  const char* sleepMs = getenv("MIXARRO_REGSVR_SLEEP_MS");
  const char* sleepOn = getenv("MIXARRO_REGSVR_SLEEP_ON");
  if (sleepMs && (!sleepOn || strstr(commandLine, sleepOn)))
    Sleep(static_cast<DWORD>(atol(sleepMs)));
  return 0;
}
