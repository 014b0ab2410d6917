// Wakes the presentation once per frame without spinning: a waitable timer
// armed for the frame deadlines of a FrameSchedule, waited on together with
// the message queue.
#pragma once

#include <windows.h>

#include <vector>

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

  // The primary display's refresh rate, exact where the system tells it
  // (59.94 Hz, which the display settings round down to 59), or 0 when it
  // cannot tell.
  static double RefreshRate() {
    UINT32 paths = 0, modes = 0;
    if (::GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &paths, &modes) == ERROR_SUCCESS) {
      std::vector<DISPLAYCONFIG_PATH_INFO> path(paths);
      std::vector<DISPLAYCONFIG_MODE_INFO> mode(modes);
      if (::QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &paths, path.data(), &modes, mode.data(), nullptr) ==
          ERROR_SUCCESS) {
        for (UINT32 i = 0; i < paths; ++i) {
          // The primary is the source at the virtual screen's origin.
          const UINT32 m = path[i].sourceInfo.modeInfoIdx;
          if (m >= modes || mode[m].infoType != DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE) continue;
          const POINTL at = mode[m].sourceMode.position;
          const DISPLAYCONFIG_RATIONAL rate = path[i].targetInfo.refreshRate;
          if (at.x == 0 && at.y == 0 && rate.Denominator != 0) return static_cast<double>(rate.Numerator) / rate.Denominator;
        }
      }
    }
    DEVMODEW settings = {};
    settings.dmSize = sizeof(settings);
    if (!::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &settings)) return 0;
    return settings.dmDisplayFrequency;
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
