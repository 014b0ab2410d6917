// The presentation benchmark's floor: a bare topmost window over the virtual
// screen that draws nothing and copies one frame of the screen's size to
// itself with BitBlt, 60 times a second, paced by a waitable timer.
//
// Usage: blit_floor [SECONDS [SIDE [COUNT]]]
//   SECONDS  how long it runs (default 30); a key or a click ends it sooner
//   SIDE     0 (default): the full frame; else COUNT squares of SIDE pixels,
//            spread over the screen, one BitBlt each (what a copy costs
//            besides its pixels)
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/win32/gdi.h"
#include "platform/win32/handles.h"

namespace {

constexpr wchar_t kTitle[] = L"qb_blit_floor";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN: ::DestroyWindow(window); return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_SETCURSOR: ::SetCursor(nullptr); return TRUE;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

// False once WM_QUIT came.
bool PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  char* next = commandLine;
  const long seconds = *next ? std::strtol(next, &next, 10) : 30;
  const int side = static_cast<int>(std::strtol(next, &next, 10));
  const int count = std::max(1, static_cast<int>(std::strtol(next, &next, 10)));

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kTitle;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  if (!::RegisterClassExW(&wc)) return 1;
  const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  HWND window = ::CreateWindowExW(WS_EX_TOPMOST, kTitle, kTitle, WS_POPUP | WS_VISIBLE, x, y, width, height,
                                  nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  qb::DibSection frame(width, height);
  if (!frame.Pixels()) return 1;
  // Something other than black, so that no layer can skip the copy.
  for (int i = 0; i < width * height; ++i) frame.Pixels()[i] = 0x00203040u + static_cast<uint32_t>(i & 0xFF);
  qb::KernelHandle timer(::CreateWaitableTimerW(nullptr, FALSE, nullptr));
  if (!timer) return 1;
  // Absolute deadlines 1/60 s apart (FILETIME units of 100 ns): a period
  // in whole milliseconds would not give 60 a second.
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const long long start = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;

  HDC dc = ::GetDC(window);
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  for (long long n = 1; ::GetTickCount64() < end; ++n) {
    ::GetSystemTimeAsFileTime(&now);
    const long long time = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    LARGE_INTEGER due;
    due.QuadPart = start + n * 500000LL / 3;
    if (due.QuadPart <= time) {
      // Late: on to the next deadline, as the presentation's pacer does.
      n = (time - start) * 3 / 500000 + 1;
      due.QuadPart = start + n * 500000LL / 3;
    }
    ::SetWaitableTimer(timer.Get(), &due, 0, nullptr, nullptr, FALSE);
    HANDLE wait = timer.Get();
    do {
      if (!PumpMessages()) return 0;
    } while (::MsgWaitForMultipleObjectsEx(1, &wait, 1000, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0);
    if (side <= 0) {
      ::BitBlt(dc, 0, 0, width, height, frame.Dc(), 0, 0, SRCCOPY);
      continue;
    }
    for (int i = 0; i < count; ++i) {
      // A different place each frame and square, as scattered lights are.
      const int sx = static_cast<int>(static_cast<unsigned long long>(n * 7919 + i * 104729) % width);
      const int sy = static_cast<int>(static_cast<unsigned long long>(n * 6271 + i * 15485863) % height);
      ::BitBlt(dc, sx, sy, side, side, frame.Dc(), sx, sy, SRCCOPY);
    }
  }
  ::ReleaseDC(window, dc);
  ::DestroyWindow(window);
  return 0;
}
