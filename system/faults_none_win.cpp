// The program's answer to the system layer's fault points: never a fault. Linked into the
// deliverable instead of the tests' injecting answer, so that no counting or arming code
// travels with the program.
#include "system/faults.h"

InjectedFault FaultFor(FaultPoint, const char*) {
  return {0, 0};
}

unsigned long PauseLength(unsigned long ms) {
  return ms;
}
