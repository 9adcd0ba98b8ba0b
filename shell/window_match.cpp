#include "shell/window_match.h"

#include <cstring>
#include <cwchar>

#include "shell/texts.h"

int MatchesProductClass(const char* className, const char* title, const char* prefix) {
  if (!className || !title || !prefix) return 0;
  if (strcmp(className, PRODUCT_WINDOW_CLASS) != 0) return 0;
  return strncmp(title, prefix, strlen(prefix)) == 0 ? 1 : 0;
}

int MatchesProductTitle(const wchar_t* title, int hasOwner, const wchar_t* prefix) {
  if (hasOwner || !title || !prefix) return 0;
  return wcsncmp(title, prefix, wcslen(prefix)) == 0 ? 1 : 0;
}
