// Entry of the Windows-side tests. Message boxes of the test program itself are hooked
// away, so that no test can block on one.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

HHOOK boxHook = nullptr;

// Closes every dialog box that this process creates the moment it is activated.
LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    char className[64] = "";
    GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0) PostMessageA(reinterpret_cast<HWND>(wParam), WM_CLOSE, 0, 0);
  }
  return CallNextHookEx(boxHook, code, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  boxHook = SetWindowsHookExA(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
