// Stand-in of an ASIO driver module. Its registration entry points log their call
//   MIXARRO_STANDIN_LOG   log file; one line: module file name, entry point, tab-separated
// and refuse when told so:
//   MIXARRO_ASIO_FAIL     file name of the module (any letter case) whose entry points
//                         return E_FAIL
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

HMODULE thisModule = nullptr;

// The process's own environment: the loading program may have changed it after the C
// runtime took its copy.
const char* Variable(const char* name, char* buffer, DWORD size) {
  DWORD n = GetEnvironmentVariableA(name, buffer, size);
  return n > 0 && n < size ? buffer : nullptr;
}

HRESULT Entry(const char* name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(thisModule, path, MAX_PATH);
  char logName[MAX_PATH];
  if (const char* log = Variable("MIXARRO_STANDIN_LOG", logName, MAX_PATH)) {
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char line[MAX_PATH + 64];
      snprintf(line, sizeof line, "%s\t%s\n", path, name);
      DWORD written;
      WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
      CloseHandle(file);
    }
  }
  const char* fileName = strrchr(path, '\\');
  fileName = fileName ? fileName + 1 : path;
  char failName[MAX_PATH];
  const char* failing = Variable("MIXARRO_ASIO_FAIL", failName, MAX_PATH);
  return failing && _stricmp(failing, fileName) == 0 ? E_FAIL : S_OK;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) thisModule = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
  return Entry("DllRegisterServer");
}
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() {
  return Entry("DllUnregisterServer");
}
