#include "glow/sprite.h"

#include <algorithm>
#include <cmath>

namespace qb::glow {

GlowSprite::GlowSprite(float sigma) {
  sigma = std::max(sigma, 0.3f);
  radius_ = std::max(1, static_cast<int>(std::ceil(sigma * 3.0f)));
  size_ = 2 * radius_ + 2;
  weights_.resize(static_cast<std::size_t>(kPhases * kPhases * size_ * size_));
  spans_.resize(static_cast<std::size_t>(kPhases * kPhases * size_ * 2));
  const float edge = static_cast<float>(radius_) + 0.5f;
  const float halo = sigma * 2.5f;
  for (int py = 0; py < kPhases; ++py) {
    for (int px = 0; px < kPhases; ++px) {
      const float cx = static_cast<float>(radius_) + (static_cast<float>(px) + 0.5f) / kPhases;
      const float cy = static_cast<float>(radius_) + (static_cast<float>(py) + 0.5f) / kPhases;
      uint16_t* w = &weights_[static_cast<std::size_t>((py * kPhases + px) * size_ * size_)];
      for (int b = 0; b < size_; ++b) {
        for (int a = 0; a < size_; ++a) {
          const float dx = static_cast<float>(a) + 0.5f - cx;
          const float dy = static_cast<float>(b) + 0.5f - cy;
          const float d2 = dx * dx + dy * dy;
          const float window = std::max(0.0f, 1.0f - d2 / (edge * edge));
          const float glow = 0.8f * std::exp(-d2 / (2 * sigma * sigma)) +
                             0.2f * std::exp(-d2 / (2 * halo * halo));
          w[b * size_ + a] = static_cast<uint16_t>(std::lround(256.0f * glow * window * window));
        }
        int first = 0, end = size_;
        while (first < end && w[b * size_ + first] == 0) ++first;
        while (end > first && w[b * size_ + end - 1] == 0) --end;
        uint8_t* span = &spans_[static_cast<std::size_t>(((py * kPhases + px) * size_ + b) * 2)];
        span[0] = static_cast<uint8_t>(first);
        span[1] = static_cast<uint8_t>(end);
      }
    }
  }
}

bool Splat(const FrameView& frame, const GlowSprite& sprite, float x, float y, uint32_t colour) {
  // Also rejects NaN, and keeps the conversions to int defined.
  constexpr float kFar = 1.0e6f;
  if (!(x > -kFar && x < kFar && y > -kFar && y < kFar)) return false;
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const int phaseX = std::min(static_cast<int>((x - fx) * GlowSprite::kPhases), GlowSprite::kPhases - 1);
  const int phaseY = std::min(static_cast<int>((y - fy) * GlowSprite::kPhases), GlowSprite::kPhases - 1);
  const int size = sprite.Size();
  const int left = static_cast<int>(fx) - sprite.Radius();
  const int top = static_cast<int>(fy) - sprite.Radius();
  const int a0 = std::max(0, -left);
  const int a1 = std::min(size, frame.width - left);
  const int b0 = std::max(0, -top);
  const int b1 = std::min(size, frame.height - top);
  if (a0 >= a1 || b0 >= b1) return false;

  const uint16_t* weights = sprite.Weights(phaseX, phaseY);
  const uint8_t* spans = sprite.Spans(phaseX, phaseY);
  for (int b = b0; b < b1; ++b) {
    const int first = std::max<int>(a0, spans[2 * b]);
    const int end = std::min<int>(a1, spans[2 * b + 1]);
    uint32_t* dst = frame.Row(top + b);
    const uint16_t* w = weights + b * size;
    for (int a = first; a < end; ++a) {
      dst[left + a] = AddSaturating(dst[left + a], Scale(colour, w[a]));
    }
  }
  return true;
}

}  // namespace qb::glow
