#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

#include "frame_schedule.h"
#include "glow/frame.h"
#include "glow/presentation.h"
#include "glow/simulation.h"
#include "glow/sprite.h"
#include "glow/tiles.h"

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

TEST(GlowSprite, AddsEveryWeightExactlyWhereverItLands) {
  // Splat adds four pixels at a time where it can; one pixel at a time,
  // each pixel gets Scale(colour, weight) added, and nothing else changes.
  const GlowSprite sprite(2.3f);  // 16 wide: groups of four straddle the edges
  const uint32_t colour = PackRgb(200, 90, 255);
  for (float y = -9.0f; y < 26.0f; y += 1.37f) {
    for (float x = -9.0f; x < 32.0f; x += 0.61f) {
      OwnedFrame got(23, 17, PackRgb(30, 200, 7)), want(23, 17, PackRgb(30, 200, 7));
      Splat(got.view, sprite, x, y, colour);
      const int phaseX = std::min(static_cast<int>((x - std::floor(x)) * 4), 3);
      const int phaseY = std::min(static_cast<int>((y - std::floor(y)) * 4), 3);
      const uint16_t* weights = sprite.Weights(phaseX, phaseY);
      const int left = static_cast<int>(std::floor(x)) - sprite.Radius();
      const int top = static_cast<int>(std::floor(y)) - sprite.Radius();
      for (int b = 0; b < sprite.Size(); ++b) {
        for (int a = 0; a < sprite.Size(); ++a) {
          if (left + a < 0 || left + a >= 23 || top + b < 0 || top + b >= 17) continue;
          uint32_t& p = want.pixels[static_cast<std::size_t>((top + b) * 23 + left + a)];
          p = AddSaturating(p, Scale(colour, weights[b * sprite.Stride() + a]));
        }
      }
      ASSERT_EQ(got.pixels, want.pixels) << "at " << x << "," << y;
    }
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
  Look none = LookFor(200, 100, 100);
  none.points = 0;
  Presentation show(200, 100, 3, none);
  for (int i = 0; i < 200; ++i) show.Advance(1.0 / 60.0, frame.view);
  EXPECT_TRUE(frame.AllBlack());
}

struct Recorder : AreaSink {
  void Show(const PixelRect& area) override { shown.push_back(area); }
  std::vector<PixelRect> shown;
};

TEST(GlowPresentation, EveryPixelThatChangesLiesInARectangleItReports) {
  // Frame after frame, at steps of several lengths: only what the
  // presentation reports is copied to the screen, so a changed pixel
  // outside its rectangles would stay wrong there.
  for (const auto& size : std::vector<std::pair<int, int>>{{333, 201}, {640, 360}}) {
    const int w = size.first, h = size.second;
    OwnedFrame frame(w, h);
    Look look = LookFor(w, h, h);
    look.points = 30;  // sparse enough that the rectangles leave some out
    Presentation show(w, h, 5, look);
    const double steps[] = {1.0 / 30, 1.0 / 60, 1.0 / 30, 0.25, 1.0 / 144};
    double copied = 0;
    for (int i = 0; i < 120; ++i) {
      const std::vector<uint32_t> before = frame.pixels;
      Recorder sink;
      show.Advance(steps[i % 5], frame.view, &sink);
      ASSERT_EQ(sink.shown, show.Changed()) << "frame " << i;
      std::vector<bool> inside(frame.pixels.size(), false);
      for (const PixelRect& r : show.Changed()) {
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0 && r.x + r.width <= w && r.y + r.height <= h);
        for (int y = r.y; y < r.y + r.height; ++y) {
          std::fill_n(inside.begin() + static_cast<std::ptrdiff_t>(y) * w + r.x, r.width, true);
        }
        copied += static_cast<double>(r.width) * r.height;
      }
      for (std::size_t p = 0; p < frame.pixels.size(); ++p) {
        if (frame.pixels[p] != before[p]) {
          ASSERT_TRUE(inside[p]) << w << "x" << h << " frame " << i << ": pixel " << p % w << "," << p / w;
        }
      }
    }
    // And the rectangles are not simply the whole frame every time.
    EXPECT_LT(copied / 120 / (w * h), 0.8) << w << "x" << h;
  }
}

TEST(GlowPresentation, LargerScreensShowTheSamePictureAtAFinerGrain) {
  // The light per screen area of a 1080-line screen is about that of one
  // half as high, over the moods of two seeds.
  auto light = [](int w, int h, uint64_t seed) {
    OwnedFrame frame(w, h);
    Presentation show(w, h, seed, LookFor(w, h, h));
    std::vector<double> shots;
    for (int i = 1; i <= 30 * 4; ++i) {
      show.Advance(1.0 / 30, frame.view);
      if (i % 45 != 0) continue;
      int bright = 0;
      for (uint32_t p : frame.pixels) bright += std::max({RedOf(p), GreenOf(p), BlueOf(p)}) > 160;
      shots.push_back(bright / (static_cast<double>(w) * h));
    }
    std::sort(shots.begin(), shots.end());
    return shots[shots.size() / 2];
  };
  double small = 0, large = 0;
  for (uint64_t seed : {1, 2}) {
    small += light(960, 540, seed);
    large += light(1920, 1080, seed);
  }
  EXPECT_GT(small, 0);
  EXPECT_GT(large / small, 0.8);
  EXPECT_LT(large / small, 1.5);
  // At a finer grain: as many lights, each smaller on the screen.
  const Look hd = LookFor(1920, 1080, 1080), uhd = LookFor(3840, 2160, 2160);
  EXPECT_EQ(uhd.points, hd.points);
  EXPECT_GT(uhd.glowScale, hd.glowScale);
  EXPECT_LT(uhd.glowScale, 2 * hd.glowScale);
  // Several screens side by side: each shows what one alone would.
  EXPECT_NEAR(LookFor(3840, 1080, 1080).points, 2 * LookFor(1920, 1080, 1080).points, 1);
}

TEST(GlowScreens, EachMonitorShowsAndMovesWhatAScreenOfItsSizeAloneWould) {
  // Monitors in the frame's pixels, each against the same monitor alone, lying down.
  const PixelRect hd{0, 0, 1920, 1080}, uhd{0, 0, 3840, 2160};
  const struct {
    int width, height;
    std::vector<PixelRect> monitors, alone;
  } layouts[] = {
      {5760, 2160, {hd, {1920, 0, 3840, 2160}}, {hd, uhd}},                     // 1080p primary, 4K beside it
      {5760, 2160, {{1920, 0, 3840, 2160}, {0, 1080, 1920, 1080}}, {uhd, hd}},  // 4K primary, 1080p left, low
      {1920, 2160, {hd, {0, 1080, 1920, 1080}}, {hd, hd}},                      // stacked
      {3000, 1920, {hd, {1920, 0, 1080, 1920}}, {hd, hd}},                      // the second upright
      {1920, 1080, {{-50, 0, 1920, 1080}, hd, hd}, {{0, 0, 1870, 1080}, hd}},   // off the frame; mirrored
      {800, 600, {}, {{0, 0, 800, 600}}},
  };
  auto key = [](const Look& l) { return std::make_tuple(l.points, l.screenHeight, l.glowScale, l.exposure); };
  for (const auto& layout : layouts) {
    const std::vector<Screen> screens = ScreensFor(layout.width, layout.height, layout.monitors);
    ASSERT_EQ(screens.size(), layout.alone.size()) << layout.width << "x" << layout.height;
    for (std::size_t i = 0; i < screens.size(); ++i) {
      const PixelRect& a = layout.alone[i];
      EXPECT_EQ(key(screens[i].look), key(LookFor(a.width, a.height, a.height))) << layout.width << "x" << layout.height << "/" << i;
    }
  }
}

// Per monitor, over two simulated minutes: lights over it, their mean
// visibility, and the pace (pixels a second) of those born on it and of
// those born on another.
struct MonitorShare {
  double lights = 0, visibility = 0, pace[2] = {0, 0}, steps[2] = {0, 0};
};
std::vector<MonitorShare> Shares(int width, int height, const std::vector<PixelRect>& monitors) {
  std::vector<Region> regions;
  for (const Screen& s : ScreensFor(width, height, monitors)) regions.push_back({s.area, s.look.points, s.look.screenHeight});
  Simulation simulation(width, height, regions, 3);
  std::vector<MonitorShare> shares(regions.size());
  constexpr int kSteps = 30 * 120;
  for (int i = 0; i < kSteps; ++i) {
    simulation.Step(1.0 / 30);
    for (std::size_t j = 0; j < simulation.Points().size(); ++j) {
      const Point& p = simulation.Points()[j];
      // Below the 1080p monitor of 1080p beside 4K no monitor shows.
      EXPECT_FALSE(regions.size() == 2 && p.x < 1920 - 64.8f && p.y > 1080 + 32.4f) << p.x << "," << p.y;
      MonitorShare& s = shares[p.over];
      s.lights += 1.0 / kSteps;
      s.visibility += simulation.Visibility(j);
      if (p.age < 0.1f) continue;  // just born: no step yet
      const int born = p.over != p.home;
      s.pace[born] += std::hypot(p.x - p.fromX, p.y - p.fromY) * 30;
      ++s.steps[born];
    }
  }
  for (MonitorShare& s : shares) {
    s.visibility /= s.lights * kSteps;
    for (int born : {0, 1}) s.pace[born] /= std::max(s.steps[born], 1.0);
  }
  return shares;
}

TEST(GlowScreens, BesideAnotherEachMonitorKeepsItsOwnLightBrightnessAndPaceForMinutes) {
  // 1080p beside 4K, each against itself alone, with the same moods; lights
  // that came over from the other (there are some) at this one's pace.
  const auto both = Shares(5760, 2160, {{0, 0, 1920, 1080}, {1920, 0, 3840, 2160}});
  const MonitorShare alone[] = {Shares(1920, 1080, {})[0], Shares(3840, 2160, {})[0]};
  for (int m : {0, 1}) {
    SCOPED_TRACE(m ? "4K" : "1080p");
    EXPECT_NEAR(both[m].lights / alone[m].lights, 1.0, 0.1);
    EXPECT_NEAR(both[m].visibility / alone[m].visibility, 1.0, 0.1);
    EXPECT_NEAR(both[m].pace[0] / alone[m].pace[0], 1.0, 0.1);
    EXPECT_NEAR(both[m].pace[1] / alone[m].pace[0], 1.0, 0.25);
  }
  EXPECT_NEAR(alone[1].pace[0] / alone[0].pace[0], 2.0, 0.2);  // in screen heights, alike
}

TEST(GlowScreens, ALightShinesAsBrightAsTheMonitorItIsOverShows) {
  // A narrow monitor whose fast lights soon cross onto a wide one that has
  // none of its own: the wide one shows them about twice as bright when it
  // shows light twice as bright (a little more: the faintest light is cut).
  auto lightOnSecond = [](float exposure) {
    Look first = LookFor(480, 270, 270);
    first.exposure = 0.4f;
    first.screenHeight = 1080;
    Look second = first;
    second.points = 0;
    second.exposure = exposure;
    Presentation show(960, 270, 3, {{{0, 0, 60, 270}, first}, {{60, 0, 900, 270}, second}});
    OwnedFrame frame(960, 270);
    double light = 0;
    for (int i = 1; i <= 30 * 10; ++i) {
      show.Advance(1.0 / 30, frame.view);
      for (std::size_t p = 0; i % 3 == 0 && p < frame.pixels.size(); ++p) {
        if (p % 960 >= 76) light += RedOf(frame.pixels[p]) + GreenOf(frame.pixels[p]) + BlueOf(frame.pixels[p]);
      }
    }
    return light;
  };
  const double brighter = lightOnSecond(0.8f) / lightOnSecond(0.4f);
  EXPECT_GT(brighter, 1.8);
  EXPECT_LT(brighter, 3.0);
}

TEST(GlowTiles, CoverHoldsEveryFlaggedTileAndMergesOnlyWhatPays) {
  // An odd-sized frame, tiles flagged in a scattered pattern.
  constexpr int kW = 333, kH = 205;
  TileGrid tiles(kW, kH);
  int flagged = 0;
  for (int ty = 0; ty < tiles.Down(); ++ty) {
    for (int tx = 0; tx < tiles.Across(); ++tx) {
      // Row 5 empty, so that a merge must also reach across rows.
      const bool on = ty != 5 && ((tx * 7 + ty * 13) % 11 < 3 || (tx == tiles.Across() - 1 && ty == tiles.Down() - 1));
      tiles.Set(tx, ty, on);
      flagged += on;
    }
  }
  auto covered = [&](const std::vector<PixelRect>& rects, int x, int y) {
    return std::any_of(rects.begin(), rects.end(), [&](const PixelRect& r) { return r.Contains(x, y); });
  };
  for (int cost : {0, 2048, 1 << 30}) {
    std::vector<PixelRect> rects;
    tiles.Cover(0, tiles.Down(), cost, rects);
    long long area = 0;
    for (const PixelRect& r : rects) {
      EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= kW && r.y + r.height <= kH) << cost;
      area += static_cast<long long>(r.width) * r.height;
    }
    for (int ty = 0; ty < tiles.Down(); ++ty) {
      for (int tx = 0; tx < tiles.Across(); ++tx) {
        if (!tiles.At(tx, ty)) continue;
        const int x1 = std::min(kW, (tx + 1) * TileGrid::kTileWidth) - 1;
        const int y1 = std::min(kH, (ty + 1) * TileGrid::kTileHeight) - 1;
        EXPECT_TRUE(covered(rects, tx * TileGrid::kTileWidth, ty * TileGrid::kTileHeight) && covered(rects, x1, y1))
            << "tile " << tx << "," << ty << " cost " << cost;
      }
    }
    if (cost == 0) {
      // Nothing merged that would add a pixel: exactly the flagged tiles.
      EXPECT_LE(area, static_cast<long long>(flagged) * TileGrid::kTileWidth * TileGrid::kTileHeight);
    } else if (cost > kW * kH) {
      EXPECT_EQ(rects.size(), 1u);  // any copy costs more than the whole frame
    }
  }
  // Rows of tiles outside the range asked for are left out.
  std::vector<PixelRect> some;
  tiles.Cover(2, 4, 2048, some);
  for (const PixelRect& r : some) EXPECT_TRUE(r.y >= 2 * TileGrid::kTileHeight && r.y + r.height <= 4 * TileGrid::kTileHeight);
}

TEST(FrameSchedule, AtMostThirtyFramesASecondWhateverTheDisplaysRate) {
  // Each frame lasts whole refreshes, decided and kept with the pacer woken
  // a little after each deadline; 0 and 1: the system could not tell.
  constexpr int64_t kTicks = 10000000;  // a 10 MHz performance counter
  for (auto [display, rate] : std::vector<std::pair<double, double>>{
           {60, 30}, {50, 25}, {75, 25}, {144, 28.8}, {120, 30}, {24, 24}, {165, 27.5}, {240, 30}, {23, 23},
           {23.976, 23.976}, {59.94, 29.97}, {60.02, 30.01}, {30, 30}, {0, 30}, {1, 30}, {100000, 30},
           // A little above a multiple keeps its cadence; the cap still holds.
           {60.317, 30.1585}, {61, 30.5}, {120.2, 30.05}, {31, 15.5}}) {
    EXPECT_NEAR(FrameRateFor(display), rate, 1e-9) << display;
    FrameSchedule schedule(kTicks, FrameRateFor(display));
    int frames = 0;
    for (int64_t now = 0; now < 10 * kTicks; ++frames) now = schedule.Next(now) + 3000;
    EXPECT_NEAR(frames, 10 * rate, 1) << display;
  }
}

TEST(FrameSchedule, ALateFrameIsNotMadeUpFor) {
  constexpr int64_t kTicks = 1000000;
  FrameSchedule schedule(kTicks, 30);
  int64_t now = 0;
  for (int i = 0; i < 10; ++i) now = schedule.Next(now);
  now += kTicks / 2;  // a stall of half a second
  int frames = 0;
  const int64_t end = now + kTicks;
  while (now < end) {
    now = schedule.Next(now);
    ++frames;
  }
  EXPECT_NEAR(frames, 30, 1);  // not 45: the missed frames are not drawn in a burst
  schedule.Restart();
  EXPECT_EQ(schedule.Next(5 * kTicks), 5 * kTicks + schedule.Period());
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
  Presentation p1(160, 90, 9, LookFor(160, 90, 90)), p2(160, 90, 9, LookFor(160, 90, 90));
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
  Presentation show(480, 270, 11, LookFor(480, 270, 270));
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
}

}  // namespace
}  // namespace qb::glow
