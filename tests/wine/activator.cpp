// Test helper for the presentation scenario.
//   activator activate MS   shows a window of its own, takes the activation
//                           from whoever has it, holds it MS ms, and reports
//                           whether it became the foreground window;
//   activator cursor-info   reports the cursor as GetCursorInfo sees it
//                           (the foreground thread's cursor).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wait.h"

namespace {

int Activate(DWORD holdMs) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "QbActivator";
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  if (!::RegisterClassA(&wc)) return 3;
  HWND window = ::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "QbActivator", WS_OVERLAPPEDWINDOW, 40, 40,
                                  200, 120, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return 3;
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::SetForegroundWindow(window);
  ::SetActiveWindow(window);
  WaitPumping(nullptr, 200);
  std::printf("foreground=%d\n", ::GetForegroundWindow() == window ? 1 : 0);
  std::fflush(stdout);
  WaitPumping(nullptr, holdMs);
  ::DestroyWindow(window);
  return 0;
}

int CursorInfo() {
  CURSORINFO info = {};
  info.cbSize = sizeof(info);
  if (!::GetCursorInfo(&info)) {
    std::printf("error=%lu\n", ::GetLastError());
    return 1;
  }
  std::printf("cursor_showing=%d\n", (info.flags & CURSOR_SHOWING) ? 1 : 0);
  std::printf("cursor_handle=%d\n", info.hCursor ? 1 : 0);
  std::printf("cursor_pos=%ld,%ld\n", info.ptScreenPos.x, info.ptScreenPos.y);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "activate") == 0) return Activate(std::strtoul(argv[2], nullptr, 10));
  if (argc == 2 && std::strcmp(argv[1], "cursor-info") == 0) return CursorInfo();
  std::fprintf(stderr, "usage: activator activate MS | activator cursor-info\n");
  return 64;
}
