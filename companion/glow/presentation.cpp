#include "glow/presentation.h"

#include <algorithm>
#include <cmath>

#include "glow/simd.h"

namespace qb::glow {
namespace {

constexpr double kTrailSeconds = 0.32;  // time for a trail to fall to 1/e
// Light one point leaves per 1/60 s at full visibility; scaled by the step
// so that trails are as bright at 30 fps as at 144.
constexpr double kExposure = 0.85;
constexpr float kSigmas[Simulation::kSizes] = {0.9f, 1.6f, 2.8f};
// The presentation's glows on a 1080-line screen, as a factor on those:
// fewer, larger lights cost less to draw and to show than many small ones
// with the same light.
constexpr float kGlowScale = 1.5f;
// Screen pixels per point on a 1080-line screen.
constexpr double kPixelsPerPoint = 3600;
// The fade touches every lit pixel and is much of a frame's cost: at most
// 40 times a second (every frame at 30 frames a second, every other one at
// 60) looks the same as more often.
constexpr double kFadeInterval = 1.0 / 40.0;
// Pixels between the glows that draw one point's way in one frame, and at
// most how many: a point seldom goes further than a few pixels a frame.
constexpr float kStampSpacing = 2.0f;
constexpr int kMaxStamps = 4;

// Steps taken off each channel at each fade, beyond the multiply: the
// faint end of a trail goes in a few frames instead of lingering.
constexpr uint32_t kTail = 4;
// Bands drawn before they are shown: 32 rows, a quarter to a half of a
// second-level cache at 1920 to 3840 pixels across, so that the copy reads
// them from there; smaller groups would cost more copies.
constexpr int kGroupBands = 4;
// Rows ahead that lit cells are fetched (see FadeBand).
constexpr int kFetchRows = 1;

}  // namespace

Look LookFor(int width, int height, int screenHeight) {
  // Every screen shows as many lights as a 1080-line one of its shape, and
  // the points move in screen heights per second. On a screen of twice the
  // lines a trail is twice as long in pixels and, at the same exposure,
  // half as bright: twice the exposure, and lights half as large again in
  // pixels, keep the light per screen area (measured), and each light is
  // smaller on the screen: the same picture at a finer grain, for about the
  // same work per pixel.
  const double scale = std::clamp(static_cast<double>(screenHeight) / 1080.0, 0.25, 8.0);
  const double area = static_cast<double>(std::max(width, 0)) * std::max(height, 0);
  Look look;
  look.points = static_cast<int>(std::clamp(area / (kPixelsPerPoint * scale * scale), 8.0, 40000.0));
  look.screenHeight = static_cast<float>(1080.0 * scale);
  look.glowScale = static_cast<float>(kGlowScale * std::pow(scale, 0.6));
  look.exposure = static_cast<float>(scale);
  return look;
}

std::vector<Screen> ScreensFor(int width, int height, const std::vector<PixelRect>& monitors) {
  std::vector<Screen> screens;
  for (const PixelRect& m : monitors) {
    const int left = std::max(m.x, 0), top = std::max(m.y, 0);
    const PixelRect area{left, top, std::min(m.x + m.width, width) - left, std::min(m.y + m.height, height) - top};
    // A monitor that mirrors another adds nothing to see.
    const bool seen = std::any_of(screens.begin(), screens.end(), [&](const Screen& s) { return s.area == area; });
    if (area.width <= 0 || area.height <= 0 || seen) continue;
    screens.push_back({area, LookFor(area.width, area.height, std::min(m.width, m.height))});
  }
  if (screens.empty() && width > 0 && height > 0) {
    screens.push_back({{0, 0, width, height}, LookFor(width, height, std::min(width, height))});
  }
  return screens;
}

namespace {

std::vector<Region> RegionsOf(const std::vector<Screen>& screens) {
  std::vector<Region> regions;
  for (const Screen& s : screens) regions.push_back({s.area, s.look.points, s.look.screenHeight});
  return regions;
}

}  // namespace

Presentation::Presentation(int width, int height, uint64_t seed, const std::vector<Screen>& screens)
    : simulation_(width, height, RegionsOf(screens), seed), lit_(width, height), touched_(width, height) {
  int radius = 0;
  for (std::size_t i = 0; i < screens.size(); ++i) {
    const Look& look = screens[i].look;
    exposures_.push_back(look.exposure);
    // Screens of one size share their sprites.
    std::size_t same = 0;
    while (screens[same].look.glowScale != look.glowScale) ++same;
    if (same < i) {
      firstSprites_.push_back(firstSprites_[same]);
      continue;
    }
    firstSprites_.push_back(static_cast<uint32_t>(sprites_.size()));
    for (float sigma : kSigmas) {
      sprites_.emplace_back(sigma * look.glowScale);
      radius = std::max(radius, sprites_.back().Radius());
    }
  }
  reach_ = (radius + 1) / TileGrid::kTileHeight + 1;
  // Whatever the frame holds at first fades out.
  lit_.Fill();
}

void Presentation::CollectStamps(double seconds, int height) {
  const auto& points = simulation_.Points();
  const int bands = touched_.Down();
  const float lastRow = static_cast<float>(height - 1);
  auto bandOf = [&](float y) {
    y = y < 0 ? 0 : y < lastRow ? y : lastRow;  // also NaN
    return static_cast<std::size_t>(static_cast<int>(y) / TileGrid::kTileHeight);
  };
  const double gain = 256.0 * kExposure * music_.light * std::min(seconds, 0.1) * 60.0;
  unsorted_.clear();
  bandStarts_.assign(static_cast<std::size_t>(bands) + 1, 0);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Point& p = points[i];
    const double k = gain * exposures_[p.over] * simulation_.Visibility(i);
    if (k < 2.0) continue;
    // Glows along the way the point came, close enough to run together:
    // its trail stays a line however far it went since the last frame.
    const float dx = p.x - p.fromX, dy = p.y - p.fromY;
    const float way = std::sqrt(dx * dx + dy * dy);
    const int stamps = way < kStampSpacing ? 1 : std::min(kMaxStamps, static_cast<int>(way / kStampSpacing) + 1);
    const uint32_t colour = Scale(simulation_.ColourOf(i), static_cast<uint32_t>(std::min(k / stamps, 256.0)));
    for (int j = stamps - 1; j >= 0; --j) {
      const float back = static_cast<float>(j) / static_cast<float>(stamps);
      const float x = p.x - dx * back, y = p.y - dy * back;
      unsorted_.push_back({x, y, colour, firstSprites_[p.over] + p.size});
      ++bandStarts_[bandOf(y) + 1];
    }
  }
  // A counting sort by band.
  for (int b = 0; b < bands; ++b) bandStarts_[static_cast<std::size_t>(b) + 1] += bandStarts_[static_cast<std::size_t>(b)];
  stamps_.resize(unsorted_.size());
  cursor_.assign(bandStarts_.begin(), bandStarts_.end() - 1);
  for (const Stamp& stamp : unsorted_) stamps_[cursor_[bandOf(stamp.y)]++] = stamp;
}

void Presentation::FadeBand(const FrameView& frame, int band, uint32_t factor) {
  constexpr int kCell = LitCells::kCellWidth;
  const int top = band * TileGrid::kTileHeight;
  const int bottom = std::min(top + TileGrid::kTileHeight, frame.height);
  // Row by row, in the order memory lies, visiting only what holds light.
  for (int y = top; y < bottom; ++y) {
    uint32_t* row = frame.Row(y);
    const bool fetch = y + kFetchRows < frame.height;
    lit_.Sweep(y, [&](int cell) {
      const int left = cell * kCell;
#if QB_GLOW_SSE2
      // Light lies scattered, and a fetch from memory takes longer than
      // fading a cell: the cell below, which most often holds light too, is
      // asked for now, so that the waits overlap instead of adding up.
      if (fetch) _mm_prefetch(reinterpret_cast<const char*>(row + kFetchRows * frame.stride + left), _MM_HINT_T0);
#endif
      touched_.Set(cell, band, true);
      return FadePixels(row + left, std::min(kCell, frame.width - left), factor, kTail) != 0;
    });
  }
}

void Presentation::DrawBand(const FrameView& frame, int band) {
  const int top = band * TileGrid::kTileHeight;
  const int rows = std::min(TileGrid::kTileHeight, frame.height - top);
  const FrameView view{frame.Row(top), frame.width, rows, frame.stride};
  const float shift = static_cast<float>(top);
  const int from = std::max(0, band - reach_);
  const int to = std::min(touched_.Down(), band + reach_ + 1);
  for (uint32_t i = bandStarts_[static_cast<std::size_t>(from)]; i < bandStarts_[static_cast<std::size_t>(to)]; ++i) {
    const Stamp& stamp = stamps_[i];
    const GlowSprite& sprite = sprites_[stamp.sprite];
    // Each glow is drawn a band at a time, its rows in this band only.
    if (Splat(view, sprite, stamp.x, stamp.y - shift, stamp.colour)) {
      const int left = static_cast<int>(std::floor(stamp.x)) - sprite.Radius();
      const int spriteTop = static_cast<int>(std::floor(stamp.y)) - sprite.Radius();
      const int first = std::max(top, spriteTop);
      const int end = std::min(top + rows, spriteTop + sprite.Size());
      lit_.Mark(left, first, sprite.Size(), end - first);
      touched_.Mark(left, first, sprite.Size(), end - first);
    }
  }
}

uint32_t Presentation::FadeFactor(double seconds) {
  const double keep = std::exp(-std::max(seconds, 0.0) / kTrailSeconds);
  return static_cast<uint32_t>(std::clamp(std::lround(256.0 * keep), 0L, 255L));
}

void Presentation::Advance(double seconds, const FrameView& frame, AreaSink* sink) {
  simulation_.Step(seconds * music_.pace);
  changed_.clear();
  if (frame.width != simulation_.Width() || frame.height != simulation_.Height()) return;
  touched_.Fill(false);
  unfaded_ += std::max(seconds, 0.0);
  const bool fade = unfaded_ >= kFadeInterval;
  const uint32_t factor = FadeFactor(unfaded_);
  if (fade) unfaded_ = 0;
  CollectStamps(seconds, frame.height);
  // A band of tiles at a time, faded and then drawn into while it is at
  // hand in the cache, and a few bands at a time shown.
  for (int group = 0; group < touched_.Down(); group += kGroupBands) {
    const int end = std::min(group + kGroupBands, touched_.Down());
    for (int band = group; band < end; ++band) {
      if (fade) FadeBand(frame, band, factor);
      DrawBand(frame, band);
    }
    const std::size_t shown = changed_.size();
    touched_.Cover(group, end, kCopyCost, changed_);
    if (sink) {
      for (std::size_t i = shown; i < changed_.size(); ++i) sink->Show(changed_[i]);
    }
  }
}

}  // namespace qb::glow
