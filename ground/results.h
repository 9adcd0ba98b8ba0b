// The program's results: what each exit code of a switch run means, in one table. The run
// log's summary line reads its words from here, and the deployment guide's table of exit codes
// is checked against it, so that neither can drift from what the program returns.
#pragma once

constexpr int RESULT_SUCCESS = 0;
// A second installer is running, the payload catalogue is missing, or the window or the
// worker thread cannot be made.
constexpr int RESULT_REFUSED = -1;
constexpr int RESULT_NO_PROGRAM_FOLDER = -3;
constexpr int RESULT_PAYLOAD_NOT_WRITTEN = -10;
// The driver packages' sub-setups.
constexpr int RESULT_SUBSETUP_FAILED = -20;
constexpr int RESULT_SUBSETUP_RESTART_NEEDED = -21;
constexpr int RESULT_SUBSETUP_NO_PROCESS = -604;
constexpr int RESULT_SUBSETUP_NOT_STARTED = -605;
// A switch run on a product whose uninstall entry names another setup program (the other
// edition's): nothing done, as the window does for a click.
constexpr int RESULT_FOREIGN_SETUP = -30;

struct ResultMeaning {
  int code;
  const char* words;
};

// Every result the program can end with, in the order of the deployment guide's table.
extern const ResultMeaning RESULT_MEANINGS[];
extern const int RESULT_MEANING_COUNT;

// The words of a result, or "not a result of this program".
const char* ResultWords(int code);
