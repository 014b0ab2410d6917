// The music's loudness as the show's light: the look each level calls for,
// the easing between them, and what a frame shows with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "glow/music_light.h"
#include "glow/presentation.h"

namespace qb::glow {
namespace {

TEST(MusicLight, LouderIsBrighterAndLivelierWithinBounds) {
  MusicLook last = LookForLevel(-1.0f);
  EXPECT_EQ(last.light, MusicEasing::kQuietLight);
  for (int i = 1; i <= 100; ++i) {
    const MusicLook look = LookForLevel(i / 100.0f);
    EXPECT_GT(look.light, last.light) << i;
    EXPECT_GT(look.pace, last.pace) << i;
    last = look;
  }
  EXPECT_EQ(last.light, MusicEasing::kLoudLight);
  EXPECT_EQ(LookForLevel(7.0f).light, MusicEasing::kLoudLight);
  EXPECT_EQ(LookForLevel(NAN).light, MusicEasing::kQuietLight);
  // Dimmer than the show without music when quiet, brighter when loud.
  EXPECT_LT(LookForLevel(0).pace, 1.0f);
  EXPECT_GT(LookForLevel(1).pace, 1.0f);
}

// The light's lowest and highest after settling on a square wave of loudness
// (0, then 1) of `hz`, at `fps` frames a second; and the largest change
// from one frame to the next.
struct Swing {
  float low = 9, high = 0, step = 0;
};
Swing SwingOn(double hz, double fps) {
  MusicEasing easing;
  Swing swing;
  float last = easing.Current().light;
  for (int frame = 0; frame < static_cast<int>(fps * 8); ++frame) {
    const double t = frame / fps;
    const float light = easing.Step(std::fmod(t * hz, 1.0) < 0.5 ? 0.0f : 1.0f, 1.0 / fps).light;
    swing.step = std::max(swing.step, std::fabs(light - last));
    last = light;
    if (t < 4) continue;
    swing.low = std::min(swing.low, light);
    swing.high = std::max(swing.high, light);
  }
  return swing;
}

TEST(MusicLight, FollowsPassagesButNotBeatsAndNeverJumps) {
  const float range = MusicEasing::kLoudLight - MusicEasing::kQuietLight;
  for (double fps : {30.0, 60.0, 144.0}) {
    // Passages of a second: the light covers nearly its whole range.
    const Swing passages = SwingOn(0.5, fps);
    EXPECT_GT(passages.high - passages.low, 0.9f * range) << fps;
    // Beats eight times a second would flash: the light hardly moves.
    const Swing beats = SwingOn(8, fps);
    EXPECT_LT(beats.high - beats.low, 0.35f * range) << fps;
    EXPECT_LE(passages.step, MusicEasing::kMaxLightPerSecond / fps + 1e-4) << fps;
  }
  // A loud passage after a quiet one shows within about a tenth of a second.
  MusicEasing easing;
  for (int frame = 0; frame < 60; ++frame) easing.Step(0.0f, 1.0 / 60);
  for (int frame = 0; frame < 6; ++frame) easing.Step(1.0f, 1.0 / 60);
  EXPECT_GT(easing.Current().light, MusicEasing::kQuietLight + 0.4f * range);
}

TEST(MusicLight, WithoutMusicTheShowIsExactlyAsItWas) {
  MusicEasing easing;
  for (int frame = 0; frame < 100; ++frame) {
    const MusicLook look = easing.Step(std::nullopt, 1.0 / 60);
    ASSERT_EQ(look.light, 1.0f);
    ASSERT_EQ(look.pace, 1.0f);
  }
  // Music that stops eases back to the same look.
  for (int frame = 0; frame < 60; ++frame) easing.Step(1.0f, 1.0 / 60);
  for (int frame = 0; frame < 300; ++frame) easing.Step(std::nullopt, 1.0 / 60);
  EXPECT_NEAR(easing.Current().light, 1.0f, 1e-3);

  // The frames of a show given the plain look are the frames of one given none.
  std::vector<uint32_t> a(320 * 180), b(320 * 180);
  Presentation plain(320, 180, 5, LookFor(320, 180, 180)), told(320, 180, 5, LookFor(320, 180, 180));
  for (int frame = 0; frame < 120; ++frame) {
    told.SetMusic(MusicLook{});
    plain.Advance(1.0 / 60, {a.data(), 320, 180, 320});
    told.Advance(1.0 / 60, {b.data(), 320, 180, 320});
  }
  EXPECT_EQ(a, b);
}

TEST(MusicLight, TheLoudLookLightsMoreOfTheFrameThanTheQuietOne) {
  auto lightOf = [](float level) {
    std::vector<uint32_t> pixels(480 * 270);
    Presentation show(480, 270, 9, LookFor(480, 270, 270));
    show.SetMusic(LookForLevel(level));
    uint64_t sum = 0;
    for (int frame = 0; frame < 240; ++frame) {
      show.Advance(1.0 / 60, {pixels.data(), 480, 270, 480});
      if (frame < 120) continue;
      for (uint32_t p : pixels) sum += std::max({RedOf(p), GreenOf(p), BlueOf(p)});
    }
    return static_cast<double>(sum);
  };
  const double quiet = lightOf(0), middle = lightOf(0.5f), loud = lightOf(1);
  EXPECT_GT(middle, 1.4 * quiet);
  EXPECT_GT(loud, 1.4 * middle);
}

}  // namespace
}  // namespace qb::glow
