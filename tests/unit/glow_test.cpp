#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "glow/frame.h"
#include "glow/presentation.h"
#include "glow/simulation.h"
#include "glow/sprite.h"

namespace qb::glow {
namespace {

// A frame whose pixel memory is exactly width x height, so that AddressSanitizer
// reports any write beyond it.
struct OwnedFrame {
  OwnedFrame(int w, int h, uint32_t fill = 0) : pixels(static_cast<std::size_t>(w) * h, fill), view{nullptr, w, h, w} {
    view.pixels = pixels.data();
  }
  uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * view.width + x]; }
  bool AllBlack() const {
    for (uint32_t p : pixels) {
      if (p & 0xFFFFFF) return false;
    }
    return true;
  }
  std::vector<uint32_t> pixels;
  FrameView view;
};

TEST(GlowBlend, AddingSaturatesEachChannelWithoutCarryingIntoItsNeighbour) {
  EXPECT_EQ(AddSaturating(PackRgb(0xF0, 0x10, 0xF0), PackRgb(0x20, 0x20, 0x20)), PackRgb(0xFF, 0x30, 0xFF));
  EXPECT_EQ(AddSaturating(PackRgb(0x00, 0xFF, 0x00), PackRgb(0x00, 0x01, 0x00)), PackRgb(0x00, 0xFF, 0x00));
  EXPECT_EQ(AddSaturating(PackRgb(0xFF, 0xFF, 0xFF), PackRgb(0xFF, 0xFF, 0xFF)), PackRgb(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(AddSaturating(PackRgb(0x01, 0x02, 0x03), PackRgb(0x10, 0x20, 0x30)), PackRgb(0x11, 0x22, 0x33));
  EXPECT_EQ(Scale(PackRgb(200, 100, 50), 256), PackRgb(200, 100, 50));
  EXPECT_EQ(Scale(PackRgb(200, 100, 50), 128), PackRgb(100, 50, 25));
  EXPECT_EQ(Scale(PackRgb(255, 255, 255), 0), 0u);
}

TEST(GlowBlend, SplatsPileUpToWhiteInsteadOfWrapping) {
  OwnedFrame frame(32, 32, PackRgb(0xF0, 0x08, 0x80));
  const GlowSprite sprite(2.0f);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(Splat(frame.view, sprite, 16.5f, 16.5f, PackRgb(0x40, 0x00, 0x40)));
  const uint32_t centre = frame.At(16, 16);
  EXPECT_EQ(RedOf(centre), 0xFFu);
  EXPECT_EQ(GreenOf(centre), 0x08u);  // nothing added, nothing carried in
  EXPECT_EQ(BlueOf(centre), 0xFFu);
  // Far from the glow the frame is as it was.
  EXPECT_EQ(frame.At(0, 0), PackRgb(0xF0, 0x08, 0x80));
}

TEST(GlowSprite, IsBrightestAtItsCentreAndFadesOutward) {
  OwnedFrame frame(41, 41);
  ASSERT_TRUE(Splat(frame.view, GlowSprite(3.0f), 20.5f, 20.5f, PackRgb(255, 255, 255)));
  EXPECT_GE(RedOf(frame.At(20, 20)), 240u);
  for (int step : {-1, 1}) {
    uint32_t previous = 256;
    for (int i = 0; i <= 20; ++i) {
      const uint32_t across = RedOf(frame.At(20 + step * i, 20));
      const uint32_t down = RedOf(frame.At(20, 20 + step * i));
      EXPECT_LE(across, previous) << "x offset " << step * i;
      EXPECT_NEAR(static_cast<int>(across), static_cast<int>(down), 1) << "offset " << step * i;
      previous = across;
    }
  }
  EXPECT_EQ(frame.At(0, 20), 0u);
  EXPECT_EQ(frame.At(40, 40), 0u);
}

TEST(GlowSprite, PointsAtAndBeyondEveryEdgeStayInsideTheFrame) {
  // Odd sizes, a frame smaller than the sprite, and positions on, just
  // beyond and far beyond each edge; AddressSanitizer catches a stray write.
  const GlowSprite big(4.0f);
  const GlowSprite small(0.9f);
  for (const auto& size : std::vector<std::pair<int, int>>{{37, 23}, {5, 3}, {1, 1}}) {
    OwnedFrame frame(size.first, size.second);
    const float w = static_cast<float>(size.first), h = static_cast<float>(size.second);
    const float xs[] = {-100.0f, -13.0f, -0.5f, 0.0f, 0.25f, w * 0.5f, w - 1.0f, w - 0.01f, w, w + 0.7f, w + 13.0f, 5e7f};
    const float ys[] = {-100.0f, -13.0f, -0.5f, 0.0f, 0.25f, h * 0.5f, h - 1.0f, h - 0.01f, h, h + 0.7f, h + 13.0f, -5e7f};
    for (float x : xs) {
      for (float y : ys) {
        Splat(frame.view, big, x, y, PackRgb(255, 128, 64));
        Splat(frame.view, small, x, y, PackRgb(255, 128, 64));
      }
    }
    EXPECT_FALSE(frame.AllBlack());
  }
  OwnedFrame frame(8, 8);
  EXPECT_FALSE(Splat(frame.view, big, NAN, 4.0f, PackRgb(255, 255, 255)));
  EXPECT_FALSE(Splat(frame.view, big, 4.0f, INFINITY, PackRgb(255, 255, 255)));
  EXPECT_FALSE(Splat(frame.view, big, -30.0f, 4.0f, PackRgb(255, 255, 255)));
  EXPECT_TRUE(frame.AllBlack());
}

TEST(GlowSprite, DrawsIntoARowStrideWiderThanTheFrame) {
  // The frame is the left 10 x 6 of a 16-pixel-wide buffer; the rest of
  // each row must stay untouched.
  std::vector<uint32_t> buffer(16 * 6, 0);
  const FrameView view{buffer.data(), 10, 6, 16};
  for (float x = -3; x < 14; x += 0.5f) Splat(view, GlowSprite(2.0f), x, 3.0f, PackRgb(255, 255, 255));
  for (int y = 0; y < 6; ++y) {
    EXPECT_NE(buffer[static_cast<std::size_t>(y) * 16 + 9], 0u) << y;
    for (int x = 10; x < 16; ++x) EXPECT_EQ(buffer[static_cast<std::size_t>(y) * 16 + x], 0u) << x << "," << y;
  }
}

TEST(GlowFade, TrailsFadeToBlackWhenNothingIsDrawn) {
  // Widths that are and are not whole vector blocks.
  for (int width : {1, 3, 4, 5, 64, 67}) {
    OwnedFrame frame(width, 7, PackRgb(255, 255, 255));
    const uint32_t factor = Presentation::FadeFactor(1.0 / 60.0);
    ASSERT_LT(factor, 255u);
    ASSERT_GT(factor, 200u);
    uint32_t last = 255;
    int frames = 0;
    while (FadeFrame(frame.view, factor)) {
      const uint32_t level = RedOf(frame.At(width - 1, 6));
      ASSERT_LT(level, last);  // strictly darker every frame
      last = level;
      ASSERT_LT(++frames, 300) << "width " << width;
    }
    EXPECT_TRUE(frame.AllBlack()) << "width " << width;
  }
}

TEST(GlowFade, ShortensByTheElapsedTime) {
  // One 1/30 s step fades about as much as two 1/60 s steps.
  OwnedFrame once(16, 1, PackRgb(200, 120, 40));
  OwnedFrame twice(16, 1, PackRgb(200, 120, 40));
  FadeFrame(once.view, Presentation::FadeFactor(1.0 / 30.0));
  FadeFrame(twice.view, Presentation::FadeFactor(1.0 / 60.0));
  FadeFrame(twice.view, Presentation::FadeFactor(1.0 / 60.0));
  for (int x = 0; x < 16; ++x) {
    EXPECT_NEAR(static_cast<int>(RedOf(once.At(x, 0))), static_cast<int>(RedOf(twice.At(x, 0))), 3);
    EXPECT_NEAR(static_cast<int>(BlueOf(once.At(x, 0))), static_cast<int>(BlueOf(twice.At(x, 0))), 3);
  }
  EXPECT_EQ(Presentation::FadeFactor(10.0), 0u);
}

TEST(GlowPresentation, WhatIsNoLongerDrawnFadesOutOfTheFrame) {
  // Lit tiles are tracked; a trail left by a point must still fade away
  // everywhere, including pixels the presentation did not draw itself.
  OwnedFrame frame(200, 100, PackRgb(90, 90, 90));
  Presentation show(200, 100, 3, 0);  // no points at all
  for (int i = 0; i < 200; ++i) show.Advance(1.0 / 60.0, frame.view);
  EXPECT_TRUE(frame.AllBlack());
}

std::vector<Point> Simulate(uint64_t seed, double fps, double seconds, int count = 300) {
  Simulation simulation(640, 360, count, seed);
  const int steps = static_cast<int>(std::lround(seconds * fps));
  for (int i = 0; i < steps; ++i) simulation.Step(1.0 / fps);
  return simulation.Points();
}

TEST(GlowSimulation, IsDeterministicForASeed) {
  const auto a = Simulate(42, 60, 5);
  const auto b = Simulate(42, 60, 5);
  const auto c = Simulate(43, 60, 5);
  ASSERT_EQ(a.size(), b.size());
  int differ = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].x, b[i].x);
    EXPECT_EQ(a[i].y, b[i].y);
    EXPECT_EQ(a[i].generation, b[i].generation);
    if (a[i].x != c[i].x) ++differ;
  }
  EXPECT_GT(differ, 250);

  // And so is the picture.
  OwnedFrame f1(160, 90), f2(160, 90);
  Presentation p1(160, 90, 9), p2(160, 90, 9);
  for (int i = 0; i < 120; ++i) {
    p1.Advance(1.0 / 60.0, f1.view);
    p2.Advance(1.0 / 60.0, f2.view);
  }
  EXPECT_EQ(f1.pixels, f2.pixels);
  EXPECT_FALSE(f1.AllBlack());
}

TEST(GlowSimulation, MovesAtTheSamePaceAt30And60FramesPerSecond) {
  const auto slow = Simulate(7, 30, 3);
  const auto fast = Simulate(7, 60, 3);
  const auto start = Simulate(7, 60, 0);
  double error = 0, travel = 0;
  int compared = 0;
  for (std::size_t i = 0; i < slow.size(); ++i) {
    // A point reborn in one run may still be alive in the other for a frame.
    if (slow[i].generation != fast[i].generation || slow[i].generation != start[i].generation) continue;
    error += std::hypot(slow[i].x - fast[i].x, slow[i].y - fast[i].y);
    travel += std::hypot(fast[i].x - start[i].x, fast[i].y - start[i].y);
    ++compared;
  }
  ASSERT_GT(compared, 150);
  // Points travel tens of pixels in 3 s; the two runs agree to within a
  // couple of percent of that.
  EXPECT_GT(travel / compared, 20.0);
  EXPECT_LT(error / compared, 0.03 * travel / compared);
  // Both clocks agree, so the moods (colours, density) do too.
  Simulation a(640, 360, 10, 7), b(640, 360, 10, 7);
  for (int i = 0; i < 90; ++i) a.Step(1.0 / 30.0);
  for (int i = 0; i < 180; ++i) b.Step(1.0 / 60.0);
  EXPECT_NEAR(a.Elapsed(), b.Elapsed(), 1e-9);
  EXPECT_NEAR(a.CurrentMood().baseHue, b.CurrentMood().baseHue, 1e-3);
}

TEST(GlowSimulation, ALongStallCountsAsAShortStep) {
  Simulation a(640, 360, 50, 1), b(640, 360, 50, 1);
  a.Step(30.0);
  b.Step(0.1);
  EXPECT_EQ(a.Points()[0].x, b.Points()[0].x);
  EXPECT_DOUBLE_EQ(a.Elapsed(), 0.1);
}

TEST(GlowSimulation, PointsStayOnOrNearTheFieldAndAreReborn) {
  Simulation simulation(320, 180, 200, 5);
  uint32_t reborn = 0;
  for (int i = 0; i < 60 * 30; ++i) {
    simulation.Step(1.0 / 60.0);
    for (const Point& p : simulation.Points()) {
      ASSERT_GT(p.x, -20.0f);
      ASSERT_LT(p.x, 340.0f);
      ASSERT_GT(p.y, -20.0f);
      ASSERT_LT(p.y, 200.0f);
    }
  }
  for (const Point& p : simulation.Points()) reborn += p.generation;
  EXPECT_GT(reborn, 200u);  // lives are 4 to 12 s
}

TEST(GlowSimulation, ColoursAndDensityChangeOverMinutes) {
  std::set<int> hues;
  float leastActive = 1, mostActive = 0;
  for (int s = 0; s < 600; s += 10) {
    const Mood m = MoodAt(s);
    hues.insert(static_cast<int>(std::fmod(m.baseHue + 360.0f, 360.0f)) / 30);
    leastActive = std::min(leastActive, m.activeFraction);
    mostActive = std::max(mostActive, m.activeFraction);
  }
  EXPECT_GE(hues.size(), 10u);  // of 12 sectors of the colour wheel in 10 minutes
  EXPECT_LT(leastActive, 0.6f);
  EXPECT_GT(mostActive, 0.9f);
}

TEST(GlowColour, HsvCoversTheWheel) {
  EXPECT_EQ(HsvToRgb(0, 1, 1), PackRgb(255, 0, 0));
  EXPECT_EQ(HsvToRgb(120, 1, 1), PackRgb(0, 255, 0));
  EXPECT_EQ(HsvToRgb(240, 1, 1), PackRgb(0, 0, 255));
  EXPECT_EQ(HsvToRgb(-120, 1, 1), PackRgb(0, 0, 255));
  EXPECT_EQ(HsvToRgb(720 + 60, 1, 1), PackRgb(255, 255, 0));
  EXPECT_EQ(HsvToRgb(300, 0, 1), PackRgb(255, 255, 255));
}

TEST(GlowPresentation, DrawsGlowsOfSeveralHuesOnADarkField) {
  OwnedFrame frame(480, 270);
  Presentation show(480, 270, 11);
  for (int i = 0; i < 60 * 4; ++i) show.Advance(1.0 / 60.0, frame.view);
  int dark = 0, bright = 0;
  std::set<int> hues;
  for (uint32_t p : frame.pixels) {
    const uint32_t r = RedOf(p), g = GreenOf(p), b = BlueOf(p);
    const uint32_t hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (hi < 40) ++dark;
    if (hi > 150 && hi - lo > 60) {
      ++bright;
      hues.insert(r == hi ? 0 : g == hi ? 1 : 2);
    }
  }
  EXPECT_GT(dark, static_cast<int>(frame.pixels.size() * 6 / 10));
  EXPECT_GT(bright, 50);
  EXPECT_EQ(PointCountFor(1920, 1080), 2073);
  EXPECT_EQ(PointCountFor(0, 0), 150);
}

}  // namespace
}  // namespace qb::glow
