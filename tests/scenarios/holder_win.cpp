// Holds product files the way the product's users do while a removal runs: a host
// application with an ASIO module loaded, a program running from its image. Modules and
// programs are mapped as images (they can then be renamed, not deleted); any other file is
// kept open without sharing its deletion (it can be neither). Writes the ready file once
// everything is held, then waits until it is ended.
//   holder.exe READY_FILE PATH...
#include <windows.h>

#include <cstring>

namespace {

bool IsImage(const char* path) {
  const size_t n = strlen(path);
  return n > 4 && (lstrcmpiA(path + n - 4, ".dll") == 0 || lstrcmpiA(path + n - 4, ".exe") == 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  for (int i = 2; i < argc; ++i) {
    const bool held = IsImage(argv[i])
                          ? LoadLibraryExA(argv[i], nullptr, DONT_RESOLVE_DLL_REFERENCES) != nullptr
                          : CreateFileA(argv[i], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr) != INVALID_HANDLE_VALUE;
    if (!held) return 3;
  }
  HANDLE ready = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 4;
  CloseHandle(ready);
  Sleep(INFINITE);
  return 0;
}
