// Stand-in of the product's other modules (MixarroRemote, the MP3 encoder).
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
