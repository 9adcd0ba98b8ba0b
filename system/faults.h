// The calls of the system layer that change the machine, as points where a test build can
// make them fail. Each wrapper in syscalls.h asks FaultFor before it makes its call; when the
// answer carries an error, the wrapper does not make the call but fails as the call would
// have failed with that error. The program links an answer that is always "make the call"
// (faults_none_win.cpp); the Windows-side tests link one that counts the calls and fails the
// one it is armed for (faults_inject_win.cpp, with fault_injection.h).
#pragma once

enum FaultPoint {
  FAULT_FILE_WRITE,       // create or truncate a file and write all its bytes
  FAULT_FILE_COPY,        // CopyFileA
  FAULT_FILE_DELETE,      // DeleteFileA
  FAULT_FILE_MOVE,        // MoveFileA, MoveFileExA (also a deletion at the next restart)
  FAULT_FILE_ATTRIBUTES,  // SetFileAttributesA
  FAULT_FOLDER_CREATE,    // CreateDirectoryA
  FAULT_FOLDER_REMOVE,    // RemoveDirectoryA
  FAULT_REGISTRY_WRITE,   // RegCreateKeyA, RegSetValueExA, RegSetValueExW
  FAULT_REGISTRY_DELETE,  // RegDeleteKeyA, RegDeleteValueW
  FAULT_PROGRAM_START,    // CreateProcessA
  FAULT_LINK_SAVE,        // IPersistFile::Save of a shell link
  FAULT_MODULE_LOAD,      // LoadLibraryExA of a module of the payload
  FAULT_POINT_COUNT
};

// What the wrapper is to do instead of its call: nothing (error 0: make the call), or fail
// with `error`. A write with `partial` set first writes part of its bytes, as a disk that
// fills up in the middle of a file does.
struct InjectedFault {
  unsigned long error;
  int partial;
};

// Asked by each wrapper before its call, with the path (or key, or program) it is about to
// touch; {0, 0} in the program.
InjectedFault FaultFor(FaultPoint point, const char* target);
// How long a pause that the program makes on purpose lasts: `ms` in the program. A test that
// runs the procedures hundreds of times with stand-ins, for which no pause is needed, may
// shorten it; nothing else about the run changes.
unsigned long PauseLength(unsigned long ms);
