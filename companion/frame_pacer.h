// Wakes the presentation once per frame without spinning: a waitable timer
// armed for the frame deadlines of a FrameSchedule, waited on together with
// the message queue.
#pragma once

#include <windows.h>

#include "frame_schedule.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_dlls.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace qb {

class FramePacer {
 public:
  FramePacer() {
    // Windows 10 1803 and later time this to well under a millisecond; older
    // systems (and Wine) refuse the flag and get a 1 ms system tick instead.
    timer_.Reset(::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS));
    if (!timer_) {
      timer_.Reset(::CreateWaitableTimerW(nullptr, FALSE, nullptr));
      raisedSystemTick_ = winmm::timeBeginPeriod(1) == TIMERR_NOERROR;
    }
  }
  ~FramePacer() {
    if (raisedSystemTick_) winmm::timeEndPeriod(1);
  }
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  bool Valid() const { return static_cast<bool>(timer_); }
  HANDLE Timer() const { return timer_.Get(); }

  // The primary display's refresh rate, or 0 when the system cannot tell.
  static int RefreshRate() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    if (!::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return static_cast<int>(mode.dmDisplayFrequency);
  }

  // Arms the timer for the next deadline.
  void ArmNext() {
    const LONGLONG now = Now();
    LARGE_INTEGER due;
    // Negative: relative, in 100 ns units.
    due.QuadPart = -((schedule_.Next(now) - now) * 10000000 / ticksPerSecond_);
    if (due.QuadPart == 0) due.QuadPart = -1;
    ::SetWaitableTimer(timer_.Get(), &due, 0, nullptr, nullptr, FALSE);
  }

  // Forgets the schedule, after a pause.
  void Restart() { schedule_.Restart(); }

  LONGLONG Now() const {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart;
  }
  double Seconds(LONGLONG ticks) const { return static_cast<double>(ticks) / static_cast<double>(ticksPerSecond_); }

 private:
  KernelHandle timer_;
  bool raisedSystemTick_ = false;
  LONGLONG ticksPerSecond_ = Frequency();
  FrameSchedule schedule_{ticksPerSecond_, FrameRateFor(RefreshRate())};

  static LONGLONG Frequency() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
  }
};

}  // namespace qb
