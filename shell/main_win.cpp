// The Windows GUI entry point of MixarroSetup.
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  return RunSetupProgram(instance, arguments);
}
