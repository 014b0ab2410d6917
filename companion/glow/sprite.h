// Soft round glows, precomputed once and then only added into the frame.
#pragma once

#include <cstdint>
#include <vector>

#include "glow/frame.h"

namespace qb::glow {

class GlowSprite {
 public:
  // Sub-pixel offsets per axis: slow points glide instead of stepping a
  // whole pixel at a time.
  static constexpr int kPhases = 4;

  // A bright core of width `sigma` (pixels) on a fainter, wider halo, cut
  // off smoothly at the sprite's edge.
  explicit GlowSprite(float sigma);

  int Radius() const { return radius_; }
  // The sprite covers Size() x Size() pixels from its top-left corner,
  // Radius() pixels up and left of the pixel holding its centre.
  int Size() const { return size_; }
  // Weights per row: Size() rounded up to whole groups of four pixels,
  // zero beyond Size(), so that rows are added four pixels at a time.
  int Stride() const { return stride_; }
  // Size() rows of Stride() weights, 0..256, for a centre at the given phases.
  const uint16_t* Weights(int phaseX, int phaseY) const {
    return &weights_[static_cast<std::size_t>((phaseY * kPhases + phaseX) * size_ * stride_)];
  }
  // Per row of those weights: the columns [first, end) that are not zero.
  const uint8_t* Spans(int phaseX, int phaseY) const {
    return &spans_[static_cast<std::size_t>((phaseY * kPhases + phaseX) * size_ * 2)];
  }

 private:
  int radius_;
  int size_;
  int stride_;
  std::vector<uint16_t> weights_;
  std::vector<uint8_t> spans_;
};

// Adds `colour` weighted by `sprite` centred at (x, y), in pixels from the
// frame's top-left corner, with per-channel saturation. Whatever falls
// outside the frame is dropped; returns false when that was everything.
bool Splat(const FrameView& frame, const GlowSprite& sprite, float x, float y, uint32_t colour);

}  // namespace qb::glow
