// Command-line switches: -h/-H hidden, -i install, -u/-U uninstall.
#pragma once

struct Switches {
  int hidden;
  int install;
  int uninstall;
};

// Scans the argument text: only the first letter after each "-" counts, wherever the "-"
// stands (inside a word or a quoted path too). Sets flags, never clears them.
void ScanSwitches(const char* text, Switches& out);

// Sets the process-wide hiddenMode, installSwitch and uninstallSwitch.
void ParseSwitches(const char* text);
