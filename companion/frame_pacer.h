// Wakes the presentation once per display refresh without spinning: a
// waitable timer armed for absolute frame deadlines, waited on together
// with the message queue.
#pragma once

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/system_dlls.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace qb {

class FramePacer {
 public:
  FramePacer() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    ticksPerSecond_ = frequency.QuadPart;
    // Windows 10 1803 and later time this to well under a millisecond; older
    // systems (and Wine) refuse the flag and get a 1 ms system tick instead.
    timer_.Reset(::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS));
    if (!timer_) {
      timer_.Reset(::CreateWaitableTimerW(nullptr, FALSE, nullptr));
      raisedSystemTick_ = winmm::timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    SetRate(RefreshRate());
  }
  ~FramePacer() {
    if (raisedSystemTick_) winmm::timeEndPeriod(1);
  }
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  bool Valid() const { return static_cast<bool>(timer_); }
  HANDLE Timer() const { return timer_.Get(); }

  // The primary display's refresh rate, or 60 when the system cannot tell.
  static int RefreshRate() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    if (::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency >= 24 &&
        mode.dmDisplayFrequency <= 500) {
      return static_cast<int>(mode.dmDisplayFrequency);
    }
    return 60;
  }

  void SetRate(int framesPerSecond) { period_ = ticksPerSecond_ / framesPerSecond; }

  // Arms the timer for the next deadline; a late frame moves the schedule on
  // instead of trying to catch up.
  void ArmNext() {
    const LONGLONG now = Now();
    next_ = next_ == 0 ? now + period_ : next_ + period_;
    if (next_ <= now) next_ = now + period_;
    LARGE_INTEGER due;
    // Negative: relative, in 100 ns units.
    due.QuadPart = -((next_ - now) * 10000000 / ticksPerSecond_);
    if (due.QuadPart == 0) due.QuadPart = -1;
    ::SetWaitableTimer(timer_.Get(), &due, 0, nullptr, nullptr, FALSE);
  }

  // Forgets the schedule, after a pause.
  void Restart() { next_ = 0; }

  LONGLONG Now() const {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart;
  }
  double Seconds(LONGLONG ticks) const { return static_cast<double>(ticks) / static_cast<double>(ticksPerSecond_); }

 private:
  KernelHandle timer_;
  bool raisedSystemTick_ = false;
  LONGLONG ticksPerSecond_ = 1;
  LONGLONG period_ = 1;
  LONGLONG next_ = 0;
};

}  // namespace qb
