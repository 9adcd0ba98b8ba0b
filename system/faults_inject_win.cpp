// The test program's answer to the system layer's fault points: it counts every call, keeps
// what each touched, and fails the one call it is armed for. Never linked into the program.
#include <cstring>

#include "ground/paths.h"
#include "system/fault_injection.h"

namespace {

// Its text is looked for in the built programs: only the test program may hold it.
const char MARKER[] = "mixarro-fault-injection";

int calls = 0;
int armedCall = 0;
unsigned long armedError = 0;
int armedPartial = 0;
int injected = 0;
int pausesSkipped = 0;
FaultPointPassed passed[FAULT_RECORD_CAPACITY];

}  // namespace

InjectedFault FaultFor(FaultPoint point, const char* target) {
  ++calls;
  if (calls <= FAULT_RECORD_CAPACITY) {
    FaultPointPassed& record = passed[calls - 1];
    record.point = point;
    CopyText(record.target, sizeof record.target, target ? target : "");
  }
  if (armedCall == 0 || calls != armedCall) return {0, 0};
  injected = 1;
  return {armedError, armedPartial};
}

unsigned long PauseLength(unsigned long ms) {
  return pausesSkipped ? 0 : ms;
}

void SkipPauses(int skip) {
  pausesSkipped = skip;
}

void ResetFaultPoints() {
  calls = 0;
  armedCall = 0;
  armedError = 0;
  armedPartial = 0;
  injected = 0;
}

void ArmFault(int call, unsigned long error, int partial) {
  armedCall = call;
  armedError = error;
  armedPartial = partial;
  injected = 0;
}

int FaultPointsPassed() {
  return calls;
}

const FaultPointPassed* FaultPointAt(int index) {
  if (index < 0 || index >= calls || index >= FAULT_RECORD_CAPACITY) return nullptr;
  return &passed[index];
}

int ArmedFaultInjected() {
  return injected;
}

const char* FaultPointName(FaultPoint point) {
  static const char* const NAMES[FAULT_POINT_COUNT] = {
      "file write",      "file copy",     "file delete",     "file move",
      "file attributes", "folder create", "folder remove",   "registry write",
      "registry delete", "program start", "shell link save", "module load"};
  return point >= 0 && point < FAULT_POINT_COUNT ? NAMES[point] : MARKER;
}

const char* FaultInjectionMarker() {
  return MARKER;
}
