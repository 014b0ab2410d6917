// How the Win32 test helpers wait: their own windows keep answering while
// they do, and every poll ends with a timeout.
#pragma once

#include <windows.h>

#include <functional>

inline void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// Waits up to `ms` for `handle` (may be null) while pumping messages; true
// when the handle was signalled.
inline bool WaitPumping(HANDLE handle, DWORD ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    const DWORD spent = ::GetTickCount() - start;
    const DWORD left = spent >= ms ? 0 : ms - spent;
    const DWORD count = handle ? 1 : 0;
    const DWORD result = ::MsgWaitForMultipleObjects(count, &handle, FALSE, left, QS_ALLINPUT);
    if (handle && result == WAIT_OBJECT_0) return true;
    PumpMessages();
    if (result == WAIT_TIMEOUT || left == 0) return false;
  }
}

enum class PollEnd { kDone, kEnded, kTimedOut };

// Calls `done` every `intervalMs` until it returns true, `process` (may be
// null) has ended, or more than `timeoutMs` have passed since `start`. A
// process that ends is polled once more, so what went with it is seen gone.
inline PollEnd PollUntil(DWORD start, DWORD timeoutMs, HANDLE process, const std::function<bool()>& done,
                         DWORD intervalMs = 10) {
  bool ended = false;
  for (;;) {
    if (done()) return PollEnd::kDone;
    if (ended) return PollEnd::kEnded;
    if (::GetTickCount() - start > timeoutMs) return PollEnd::kTimedOut;
    ended = WaitPumping(process, intervalMs);
  }
}
