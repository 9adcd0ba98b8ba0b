#include "ground/results.h"

const ResultMeaning RESULT_MEANINGS[] = {
    {RESULT_SUCCESS, "success; restart the machine to finish"},
    {RESULT_REFUSED,
     "nothing done: another installer is running, the payload catalogue is missing or "
     "unreadable, or the window or its worker cannot be made"},
    {RESULT_NO_PROGRAM_FOLDER, "the program folder cannot be created"},
    {RESULT_PAYLOAD_NOT_WRITTEN, "a payload file failed its check or could not be written"},
    {RESULT_SUBSETUP_FAILED, "a driver package's sub-setup failed"},
    {RESULT_SUBSETUP_RESTART_NEEDED, "a driver package's sub-setup asks for a restart first"},
    {RESULT_SUBSETUP_NO_PROCESS, "a driver package's sub-setup gave no process to wait for"},
    {RESULT_SUBSETUP_NOT_STARTED, "a driver package's sub-setup cannot be started"},
    {RESULT_FOREIGN_SETUP,
     "nothing done: another setup program installed the product; remove it with that one"},
};
const int RESULT_MEANING_COUNT = sizeof RESULT_MEANINGS / sizeof RESULT_MEANINGS[0];

const char* ResultWords(int code) {
  for (const ResultMeaning& m : RESULT_MEANINGS)
    if (m.code == code) return m.words;
  return "not a result of this program";
}
