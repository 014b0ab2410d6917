#include "glow/music_light.h"

#include <algorithm>
#include <cmath>

namespace qb::glow {
namespace {

constexpr float kQuietPace = 0.75f, kLoudPace = 1.3f;
// Time constants of the easing: quick to follow a passage growing loud,
// slower to settle after it, as a light that swells and fades.
constexpr double kRiseSeconds = 0.06, kFallSeconds = 0.2;
constexpr float kMaxPacePerSecond = 2.0f;

float Ease(float from, float to, double seconds, float maxPerSecond) {
  const double tau = to > from ? kRiseSeconds : kFallSeconds;
  const float eased = from + (to - from) * static_cast<float>(1.0 - std::exp(-seconds / tau));
  const float most = maxPerSecond * static_cast<float>(seconds);
  return std::clamp(eased, from - most, from + most);
}

}  // namespace

MusicLook LookForLevel(float level) {
  const float l = std::isnan(level) ? 0.0f : std::clamp(level, 0.0f, 1.0f);
  return {MusicEasing::kQuietLight + (MusicEasing::kLoudLight - MusicEasing::kQuietLight) * l,
          kQuietPace + (kLoudPace - kQuietPace) * l};
}

MusicLook MusicEasing::Step(std::optional<float> level, double seconds) {
  if (!(seconds > 0)) return current_;
  const MusicLook target = level ? LookForLevel(*level) : MusicLook{};
  // A long stall counts as a short step, as the show's own clock does.
  seconds = std::min(seconds, 0.1);
  current_.light = Ease(current_.light, target.light, seconds, kMaxLightPerSecond);
  current_.pace = Ease(current_.pace, target.pace, seconds, kMaxPacePerSecond);
  return current_;
}

}  // namespace qb::glow
