// A view of 32-bit pixels laid out as in a top-down DIB section: 0x00RRGGBB,
// rows `stride` pixels apart. The presentation draws into whatever memory
// the view names; it never allocates frames itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qb::glow {

struct FrameView {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;

  uint32_t* Row(int y) const { return pixels + y * stride; }
};

constexpr uint32_t PackRgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }
constexpr uint32_t RedOf(uint32_t p) { return (p >> 16) & 0xFF; }
constexpr uint32_t GreenOf(uint32_t p) { return (p >> 8) & 0xFF; }
constexpr uint32_t BlueOf(uint32_t p) { return p & 0xFF; }

// Per-channel a + b, clamped at 255 instead of carrying into the next
// channel. Channels sit in 9-bit lanes so a carry shows as a flag bit.
constexpr uint32_t AddSaturating(uint32_t a, uint32_t b) {
  uint32_t rb = (a & 0xFF00FFu) + (b & 0xFF00FFu);
  uint32_t g = (a & 0x00FF00u) + (b & 0x00FF00u);
  const uint32_t rbCarry = rb & 0x01000100u;
  const uint32_t gCarry = g & 0x00010000u;
  rb = (rb | (rbCarry - (rbCarry >> 8))) & 0xFF00FFu;
  g = (g | (gCarry - (gCarry >> 8))) & 0x00FF00u;
  return rb | g;
}

// Each channel of `colour` times k / 256, k in 0..256.
constexpr uint32_t Scale(uint32_t colour, uint32_t k) {
  return ((((colour & 0xFF00FFu) * k) >> 8) & 0xFF00FFu) | ((((colour & 0x00FF00u) * k) >> 8) & 0x00FF00u);
}

// Multiplies every channel of `count` pixels by factor / 256 (0..255),
// rounding down, and takes `tail` more steps off what is left: the dim end
// of a trail, which a plain multiply would drag out for seconds, ends
// cleanly in black. Returns the brightest channel left (0: all black).
uint32_t FadePixels(uint32_t* pixels, int count, uint32_t factor, uint32_t tail = 1);

// FadePixels over an area; false when it is all black afterwards.
bool FadeArea(const FrameView& frame, int left, int top, int width, int height, uint32_t factor);

inline bool FadeFrame(const FrameView& frame, uint32_t factor) {
  return FadeArea(frame, 0, 0, frame.width, frame.height, factor);
}

void ClearFrame(const FrameView& frame);

}  // namespace qb::glow
