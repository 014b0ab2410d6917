// When the presentation's frames are due: portable arithmetic on a clock
// of any resolution, which the Win32 pacer (frame_pacer.h) drives.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qb {

// A screen saver gains nothing visible from more frames than this, and a
// fast display would otherwise multiply the cost.
constexpr int kMaxFrameRate = 30;

// Frames a second for a display refreshing `displayRate` times a second
// (0 or 1 when the system cannot tell): the most, up to kMaxFrameRate, that
// show each frame for a whole number of refreshes, so that motion keeps an
// even cadence (144 Hz: 28.8, every fifth refresh; 75 Hz: 25, every third).
// A rate up to 3% above a multiple of the cap keeps that cadence, a little
// over the cap: the standard 800x600 timing's 60.317 Hz shows every second
// refresh (30.16 frames a second), not every third (20.1).
constexpr double kFrameRateTolerance = 1.03;

constexpr double FrameRateFor(double displayRate) {
  if (!(displayRate >= 2 && displayRate <= 1000)) return kMaxFrameRate;
  int refreshesPerFrame = 1;
  while (displayRate / refreshesPerFrame > kMaxFrameRate * kFrameRateTolerance) ++refreshesPerFrame;
  return displayRate / refreshesPerFrame;
}

class FrameSchedule {
 public:
  FrameSchedule(int64_t ticksPerSecond, double framesPerSecond)
      : period_(std::max<int64_t>(1, std::llround(static_cast<double>(ticksPerSecond) / std::max(framesPerSecond, 1.0)))) {}

  // The deadline of the next frame, `now` being the time the last one was
  // drawn; a late frame moves the schedule on instead of trying to catch up.
  int64_t Next(int64_t now) {
    next_ = started_ ? next_ + period_ : now + period_;
    started_ = true;
    if (next_ <= now) next_ = now + period_;
    return next_;
  }

  // Forgets the schedule, after a pause.
  void Restart() { started_ = false; }

  int64_t Period() const { return period_; }

 private:
  int64_t period_;
  int64_t next_ = 0;
  bool started_ = false;
};

}  // namespace qb
