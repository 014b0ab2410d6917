// The benchmark's baseline: a hidden window and one 500 ms timer, nothing
// else, waiting in a message loop like the saver does beside the companion.
#include <windows.h>

#include "platform/win32/message_loop.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) return 0;
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "QbIdleWaiter";
  if (!::RegisterClassA(&wc)) return 1;
  HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "QbIdleWaiter", WS_OVERLAPPED,
                                  0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ::SetTimer(window, 1, 500, nullptr);
  return qb::RunMessageLoop();
}
