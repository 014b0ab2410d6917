// The music's loudness as the show's light: the look each level calls for,
// the easing between them, and what a frame shows with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "glow/music_light.h"
#include "glow/presentation.h"

namespace qb::glow {
namespace {

TEST(MusicLight, LouderIsBrighterAndLivelierWithinBounds) {
  for (int i = 1; i <= 100; ++i) {
    const MusicLook look = LookForLevel(i / 100.0f), last = LookForLevel((i - 1) / 100.0f);
    EXPECT_TRUE(look.light > last.light && look.pace > last.pace) << i;
  }
  EXPECT_EQ(std::tuple(LookForLevel(-1).light, LookForLevel(NAN).light, LookForLevel(1).light, LookForLevel(7).light),
            std::tuple(MusicEasing::kQuietLight, MusicEasing::kQuietLight, MusicEasing::kLoudLight, MusicEasing::kLoudLight));
  // Calmer than the show without music when quiet, livelier when loud.
  EXPECT_TRUE(LookForLevel(0).pace < 1.0f && LookForLevel(1).pace > 1.0f);
}

// The light's lowest and highest once settled on a square wave of loudness
// of `hz` at `fps` frames a second, and its largest change in one frame.
struct Swing {
  float low = 9, high = 0, step = 0;
};
Swing SwingOn(double hz, double fps) {
  MusicEasing easing;
  Swing swing;
  for (int frame = 0; frame < static_cast<int>(fps * 8); ++frame) {
    const float last = easing.Current().light, t = static_cast<float>(frame / fps);
    const float light = easing.Step(std::fmod(t * hz, 1.0) < 0.5 ? 0.0f : 1.0f, 1.0 / fps).light;
    swing.step = std::max(swing.step, std::fabs(light - last));
    if (t >= 4) swing.low = std::min(swing.low, light), swing.high = std::max(swing.high, light);
  }
  return swing;
}

TEST(MusicLight, FollowsPassagesButNotBeatsAndNeverJumps) {
  const float range = MusicEasing::kLoudLight - MusicEasing::kQuietLight;
  for (double fps : {30.0, 60.0, 144.0}) {
    // Passages of a second: the light covers nearly its whole range.
    const Swing passages = SwingOn(0.5, fps);
    EXPECT_GT(passages.high - passages.low, 0.9f * range) << fps;
    EXPECT_LE(passages.step, MusicEasing::kMaxLightPerSecond / fps + 1e-4) << fps;
    // Beats eight times a second would flash: the light hardly moves.
    const Swing beats = SwingOn(8, fps);
    EXPECT_LT(beats.high - beats.low, 0.35f * range) << fps;
  }
  // A loud passage after a quiet one shows within about a tenth of a second.
  MusicEasing easing;
  for (int frame = 0; frame < 60; ++frame) easing.Step(0.0f, 1.0 / 60);
  for (int frame = 0; frame < 6; ++frame) easing.Step(1.0f, 1.0 / 60);
  EXPECT_GT(easing.Current().light, MusicEasing::kQuietLight + 0.4f * range);
}

// The light of the show's frames 2 to 4 s in, the music's look given (or none).
double LightOf(std::optional<float> level, std::vector<uint32_t>* last = nullptr) {
  std::vector<uint32_t> pixels(320 * 180);
  Presentation show(320, 180, 9, LookFor(320, 180, 180));
  uint64_t sum = 0;
  for (int frame = 0; frame < 240; ++frame) {
    if (level) show.SetMusic(*level < 0 ? MusicLook{} : LookForLevel(*level));
    show.Advance(1.0 / 60, {pixels.data(), 320, 180, 320});
    for (uint32_t p : pixels) sum += frame < 120 ? 0 : std::max({RedOf(p), GreenOf(p), BlueOf(p)});
  }
  if (last) *last = pixels;
  return static_cast<double>(sum);
}

TEST(MusicLight, TheShowIsAsItWasWithoutMusicAndBrighterTheLouderItIs) {
  MusicEasing easing;
  for (int frame = 0; frame < 100; ++frame) ASSERT_EQ(easing.Step(std::nullopt, 1.0 / 60).light, 1.0f);
  // Music that stops eases back to the same look.
  for (int frame = 0; frame < 60; ++frame) easing.Step(1.0f, 1.0 / 60);
  for (int frame = 0; frame < 300; ++frame) easing.Step(std::nullopt, 1.0 / 60);
  EXPECT_NEAR(easing.Current().light, 1.0f, 1e-3);
  EXPECT_NEAR(easing.Current().pace, 1.0f, 1e-3);

  std::vector<uint32_t> plain, told;
  LightOf(std::nullopt, &plain);
  LightOf(-1.0f, &told);  // the look without music, given every frame
  EXPECT_EQ(plain, told);
  const double quiet = LightOf(0.0f), middle = LightOf(0.5f), loud = LightOf(1.0f);
  EXPECT_GT(middle, 1.4 * quiet);
  EXPECT_GT(loud, 1.4 * middle);
}

}  // namespace
}  // namespace qb::glow
