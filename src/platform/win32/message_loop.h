// The message loop every window of the program's processes runs on.
#pragma once

#include <windows.h>

namespace qb {

// Dispatches messages until WM_QUIT (or a GetMessage failure); returns the
// WM_QUIT exit code, or 0 after a failure.
inline int RunMessageLoop() {
  MSG msg = {};
  BOOL got;
  while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

// Dispatches the messages already queued, for loops that also wait on other
// things; false once WM_QUIT came, with its exit code in *exitCode.
inline bool PumpWaitingMessages(int* exitCode) {
  MSG msg = {};
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *exitCode = static_cast<int>(msg.wParam);
      return false;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace qb
