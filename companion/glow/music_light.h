// How the music's loudness sets the show: brighter and livelier in loud
// passages, dimmer and calmer in quiet ones, and exactly as without music
// when there is none. Changes are eased so that no beat makes the screen
// flash.
#pragma once

#include <optional>

namespace qb::glow {

// Factors on the show's light and on its pace; 1 and 1 is the show as it
// is without music.
struct MusicLook {
  float light = 1;
  float pace = 1;
};

// The look that loudness `level` (0 silent .. 1 loud) calls for: each
// factor grows with the level, between the quietest and the loudest look.
MusicLook LookForLevel(float level);

class MusicEasing {
 public:
  // The bounds of the light: a loud passage shows about three times the
  // light of a silence, and the light moves at most kMaxLightPerSecond.
  static constexpr float kQuietLight = 0.45f, kLoudLight = 1.5f;
  static constexpr float kMaxLightPerSecond = 5.0f;

  // The look after `seconds` more of music at `level` (nothing: no music,
  // or none known yet, which eases back to the look without music).
  MusicLook Step(std::optional<float> level, double seconds);
  const MusicLook& Current() const { return current_; }

 private:
  MusicLook current_;
};

}  // namespace qb::glow
