// A DLL planted beside the installer under the name of a DLL that the installer (or a system
// DLL on its behalf) loads: loading it leaves "<its own path>.loaded", and it then refuses to
// load, so that nothing calls into it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char mark[MAX_PATH + 16];
  DWORD n = GetModuleFileNameA(self, mark, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return FALSE;
  lstrcatA(mark, ".loaded");
  HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return FALSE;
}
