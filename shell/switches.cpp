#include "shell/switches.h"

#include "ground/context.h"

int hiddenMode = 0;
int installSwitch = 0;
int uninstallSwitch = 0;

void ScanSwitches(const char* text, Switches& out) {
  if (!text || text[0] == '\0' || text[1] == '\0') return;
  const char* p = text;
  for (;;) {
    while (*p && *p != '-') ++p;
    if (*p == '\0') return;
    char letter = p[1];
    if (letter == '\0') return;
    if (letter == 'h' || letter == 'H') out.hidden = 1;
    if (letter == 'u' || letter == 'U') out.uninstall = 1;
    if (letter == 'i') out.install = 1;  // a capital I is not the install switch
    p += 2;
  }
}

void ParseSwitches(const char* text) {
  Switches s = {hiddenMode, installSwitch, uninstallSwitch};
  ScanSwitches(text, s);
  hiddenMode = s.hidden;
  installSwitch = s.install;
  uninstallSwitch = s.uninstall;
}
