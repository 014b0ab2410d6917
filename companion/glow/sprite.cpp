#include "glow/sprite.h"

#include <algorithm>
#include <cmath>

#include "glow/simd.h"

namespace qb::glow {
namespace {

// How far a glow reaches, in sigmas, and the share of its light in the
// wide, faint halo: the faint light is most of the pixels a glow and its
// trail cover, and so of the cost, while the eye sees the core.
constexpr float kReach = 2.2f;
constexpr float kHalo = 0.12f;

inline void AddPixels(uint32_t* pixels, const uint16_t* weights, int count, uint32_t colour) {
  for (int i = 0; i < count; ++i) pixels[i] = AddSaturating(pixels[i], Scale(colour, weights[i]));
}

}  // namespace

GlowSprite::GlowSprite(float sigma) {
  sigma = std::max(sigma, 0.3f);
  radius_ = std::max(1, static_cast<int>(std::ceil(sigma * kReach)));
  size_ = 2 * radius_ + 2;
  stride_ = (size_ + 3) & ~3;
  weights_.assign(static_cast<std::size_t>(kPhases * kPhases * size_ * stride_), 0);
  spans_.resize(static_cast<std::size_t>(kPhases * kPhases * size_ * 2));
  const float edge = static_cast<float>(radius_) + 0.5f;
  const float halo = sigma * 2.5f;
  for (int py = 0; py < kPhases; ++py) {
    for (int px = 0; px < kPhases; ++px) {
      const float cx = static_cast<float>(radius_) + (static_cast<float>(px) + 0.5f) / kPhases;
      const float cy = static_cast<float>(radius_) + (static_cast<float>(py) + 0.5f) / kPhases;
      uint16_t* w = &weights_[static_cast<std::size_t>((py * kPhases + px) * size_ * stride_)];
      for (int b = 0; b < size_; ++b) {
        uint16_t* row = w + b * stride_;
        for (int a = 0; a < size_; ++a) {
          const float dx = static_cast<float>(a) + 0.5f - cx;
          const float dy = static_cast<float>(b) + 0.5f - cy;
          const float d2 = dx * dx + dy * dy;
          const float window = std::max(0.0f, 1.0f - d2 / (edge * edge));
          const float glow = (1 - kHalo) * std::exp(-d2 / (2 * sigma * sigma)) +
                             kHalo * std::exp(-d2 / (2 * halo * halo));
          row[a] = static_cast<uint16_t>(std::lround(256.0f * glow * window * window));
        }
        int first = 0, end = size_;
        while (first < end && row[first] == 0) ++first;
        while (end > first && row[end - 1] == 0) --end;
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
#if QB_GLOW_SSE2
  // Four pixels at a time where all four lie in the frame: the zero weights
  // past a row's span add nothing, so whole groups can be added.
  const __m128i zero = _mm_setzero_si128();
  const __m128i channels = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(colour)), zero);
  const __m128i twoPixels = _mm_unpacklo_epi64(channels, channels);
#endif
  for (int b = b0; b < b1; ++b) {
    const int first = std::max<int>(a0, spans[2 * b]);
    const int end = std::min<int>(a1, spans[2 * b + 1]);
    // Sprite column a is frame column left + a; a >= a0 keeps that >= 0.
    uint32_t* row = frame.Row(top + b);
    const uint16_t* w = weights + b * sprite.Stride();
    int a = first;
#if QB_GLOW_SSE2
    a &= ~3;
    if (a < a0) {
      const int stop = std::min(end, a + 4);
      AddPixels(row + left + first, w + first, stop - first, colour);
      a += 4;
    }
    for (; a + 4 <= a1 && a < end; a += 4) {
      const __m128i four = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + a));
      const __m128i pairs = _mm_unpacklo_epi16(four, four);
      const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(twoPixels, _mm_unpacklo_epi32(pairs, pairs)), 8);
      const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(twoPixels, _mm_unpackhi_epi32(pairs, pairs)), 8);
      __m128i* p = reinterpret_cast<__m128i*>(row + left + a);
      _mm_storeu_si128(p, _mm_adds_epu8(_mm_loadu_si128(p), _mm_packus_epi16(lo, hi)));
    }
    a = std::max(a, first);
#endif
    if (a < end) AddPixels(row + left + a, w + a, end - a, colour);
  }
  return true;
}

}  // namespace qb::glow
