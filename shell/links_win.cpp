#include "shell/links.h"
#include "shell/texts.h"

// shellapi.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "ground/context.h"
#include "ground/paths.h"

void OpenLink(const InstallerContext& context, const uint8_t* stored, int length) {
  char link[LINK_BUFFER_SIZE];
  if (!DescrambleLink(stored, length, link)) return;
  ShellExecuteA(context.hwnd, OPEN_VERB, link, nullptr, nullptr, SW_SHOW);
  // The plain address does not linger on the stack.
  ZeroBytes(link, sizeof link);
}
