// The Windows-side tests' control of the system layer's fault points (faults_inject_win.cpp,
// linked into the test program only): count the points a run passes, and make the n-th of
// them fail with a chosen error. Not thread-safe: the procedures run on the test's thread.
#pragma once

#include "system/faults.h"

// The longest target kept per point passed.
constexpr int FAULT_TARGET_CAPACITY = 512;
// Points recorded per run; later ones are counted but not kept.
constexpr int FAULT_RECORD_CAPACITY = 4096;

struct FaultPointPassed {
  FaultPoint point;
  char target[FAULT_TARGET_CAPACITY];
};

// Forgets the count and the points passed, and disarms: the next call is call 1.
void ResetFaultPoints();
// Makes call `call` (1 = the first after ResetFaultPoints) fail with `error`; with `partial`
// a write first writes part of its bytes. Every other call is made.
void ArmFault(int call, unsigned long error, int partial);
// With `skip` set, the program's deliberate pauses (PauseLength) last no time; 0 restores them.
void SkipPauses(int skip);
// The calls counted since ResetFaultPoints.
int FaultPointsPassed();
// The `index`-th point passed (0-based), or null beyond those kept.
const FaultPointPassed* FaultPointAt(int index);
// 1 once the armed call was reached and failed.
int ArmedFaultInjected();
// The point's name in the tests' messages ("file write").
const char* FaultPointName(FaultPoint point);
// A text found only in the injecting build ("mixarro-fault-injection"): the deliverable is
// checked not to hold it.
const char* FaultInjectionMarker();
