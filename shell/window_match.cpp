#include "shell/window_match.h"

#include <cstring>
#include <cwchar>

const char PRODUCT_WINDOW_CLASS[] = "QXLINK0Mixarro0MainWindow0";
const char PRODUCT_TITLE_PREFIX[] = "MixArro";
const wchar_t* const PRODUCT_WIDE_TITLES[] = {
    L"Mixarro.Remote",         L"QX-Audio 8x8 Matrix", L"QX-Audio Matrix 8",
    L"QX-Audio Graphic EQ 15", L"QXAN2MIDI-Converter", L"MX-Stream Scope",
};
const int PRODUCT_WIDE_TITLE_COUNT = 6;

int MatchesProductClass(const char* className, const char* title, const char* prefix) {
  if (!className || !title || !prefix) return 0;
  if (strcmp(className, PRODUCT_WINDOW_CLASS) != 0) return 0;
  return strncmp(title, prefix, strlen(prefix)) == 0 ? 1 : 0;
}

int MatchesProductTitle(const wchar_t* title, int hasOwner, const wchar_t* prefix) {
  if (hasOwner || !title || !prefix) return 0;
  return wcsncmp(title, prefix, wcslen(prefix)) == 0 ? 1 : 0;
}
