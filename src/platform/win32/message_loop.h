// The message loop every window of the program's processes runs on.
#pragma once

#include <windows.h>

namespace qb {

// Dispatches messages until WM_QUIT (or a GetMessage failure); returns the
// WM_QUIT exit code, or 0 after a failure.
inline int RunMessageLoop() {
  MSG msg = {};
  BOOL got;
  while ((got = ::GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

}  // namespace qb
