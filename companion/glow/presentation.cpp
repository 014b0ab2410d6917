#include "glow/presentation.h"

#include <algorithm>
#include <cmath>

namespace qb::glow {
namespace {

constexpr double kTrailSeconds = 0.32;  // time for a trail to fall to 1/e
// Light one point leaves per 1/60 s at full visibility; scaled by the step
// so that trails are as bright at 30 fps as at 144.
constexpr double kExposure = 0.6;
constexpr float kSigmas[Simulation::kSizes] = {0.9f, 1.6f, 2.8f};
// The fade touches every lit pixel and is most of a frame's cost; 40 times
// a second (every other frame at 60 Hz) looks the same as every frame.
constexpr double kFadeInterval = 1.0 / 40.0;

}  // namespace

Presentation::Presentation(int width, int height, uint64_t seed, int pointCount)
    : simulation_(width, height, pointCount < 0 ? PointCountFor(width, height) : pointCount, seed) {
  // Glows keep their look on any screen: sized by its height, as the motion is.
  const float scale = std::clamp(static_cast<float>(height) / 1080.0f, 0.35f, 3.0f);
  for (float sigma : kSigmas) sprites_.emplace_back(sigma * scale);
  tilesAcross_ = (std::max(width, 0) + kTileWidth - 1) / kTileWidth;
  tilesDown_ = (std::max(height, 0) + kTileHeight - 1) / kTileHeight;
  // Whatever the frame holds at first fades out.
  lit_.assign(static_cast<std::size_t>(tilesAcross_) * tilesDown_, 1);
}

void Presentation::FadeLitTiles(const FrameView& frame, uint32_t factor) {
  for (int ty = 0; ty < tilesDown_; ++ty) {
    const int top = ty * kTileHeight;
    const int height = std::min(kTileHeight, frame.height - top);
    uint8_t* lit = &lit_[static_cast<std::size_t>(ty) * tilesAcross_];
    for (int tx = 0; tx < tilesAcross_; ++tx) {
      if (!lit[tx]) continue;
      const int left = tx * kTileWidth;
      lit[tx] = FadeArea(frame, left, top, std::min(kTileWidth, frame.width - left), height, factor) ? 1 : 0;
    }
  }
}

void Presentation::MarkLit(int left, int top, int size) {
  const int tx0 = std::max(0, left / kTileWidth);
  const int ty0 = std::max(0, top / kTileHeight);
  const int tx1 = std::min(tilesAcross_ - 1, (left + size - 1) / kTileWidth);
  const int ty1 = std::min(tilesDown_ - 1, (top + size - 1) / kTileHeight);
  for (int ty = ty0; ty <= ty1; ++ty) {
    for (int tx = tx0; tx <= tx1; ++tx) lit_[static_cast<std::size_t>(ty) * tilesAcross_ + tx] = 1;
  }
}

uint32_t Presentation::FadeFactor(double seconds) {
  const double keep = std::exp(-std::max(seconds, 0.0) / kTrailSeconds);
  return static_cast<uint32_t>(std::clamp(std::lround(256.0 * keep), 0L, 255L));
}

void Presentation::Advance(double seconds, const FrameView& frame) {
  simulation_.Step(seconds);
  if (frame.width != simulation_.Width() || frame.height != simulation_.Height()) return;
  unfaded_ += std::max(seconds, 0.0);
  if (unfaded_ >= kFadeInterval) {
    FadeLitTiles(frame, FadeFactor(unfaded_));
    unfaded_ = 0;
  }
  const double gain = 256.0 * kExposure * std::min(seconds, 0.1) * 60.0;
  const auto& points = simulation_.Points();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double k = gain * simulation_.Visibility(i);
    if (k < 2.0) continue;
    const uint32_t weight = static_cast<uint32_t>(std::min(k, 256.0));
    const Point& p = points[i];
    const GlowSprite& sprite = sprites_[p.size];
    if (Splat(frame, sprite, p.x, p.y, Scale(simulation_.ColourOf(i), weight))) {
      MarkLit(static_cast<int>(std::floor(p.x)) - sprite.Radius(), static_cast<int>(std::floor(p.y)) - sprite.Radius(),
              sprite.Size());
    }
  }
}

}  // namespace qb::glow
