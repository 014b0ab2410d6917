#include "glow/frame.h"

#include <algorithm>
#include <cstring>

#include "glow/simd.h"

namespace qb::glow {

namespace {

// A row of bytes: v * f / 256, `tail` less, not below zero. Returns the
// largest result.
uint8_t FadeBytes(uint8_t* p, std::size_t count, uint16_t f, uint8_t tail) {
  uint8_t top = 0;
  std::size_t i = 0;
#if QB_GLOW_SSE2
  // Compilers vectorise the plain loop poorly (the saturating step defeats
  // them), and this loop is much of a frame's cost.
  const __m128i factor = _mm_set1_epi16(static_cast<short>(f));
  const __m128i zero = _mm_setzero_si128();
  const __m128i step = _mm_set1_epi8(static_cast<char>(tail));
  __m128i most = zero;
  for (; i + 16 <= count; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), factor), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), factor), 8);
    const __m128i faded = _mm_subs_epu8(_mm_packus_epi16(lo, hi), step);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), faded);
    most = _mm_max_epu8(most, faded);
  }
  if (i > 0) {
    most = _mm_max_epu8(most, _mm_srli_si128(most, 8));
    most = _mm_max_epu8(most, _mm_srli_si128(most, 4));
    most = _mm_max_epu8(most, _mm_srli_si128(most, 2));
    most = _mm_max_epu8(most, _mm_srli_si128(most, 1));
    top = static_cast<uint8_t>(_mm_cvtsi128_si32(most));
  }
#endif
  for (; i < count; ++i) {
    const int scaled = (p[i] * f) >> 8;
    p[i] = static_cast<uint8_t>(scaled > tail ? scaled - tail : 0);
    top = std::max(top, p[i]);
  }
  return top;
}

}  // namespace

uint32_t FadePixels(uint32_t* pixels, int count, uint32_t factor, uint32_t tail) {
  // The unused fourth byte of each pixel fades too: cheaper than skipping it.
  return FadeBytes(reinterpret_cast<uint8_t*>(pixels), static_cast<std::size_t>(count) * 4,
                   static_cast<uint16_t>(std::min<uint32_t>(factor, 255)), static_cast<uint8_t>(std::min<uint32_t>(tail, 255)));
}

bool FadeArea(const FrameView& frame, int left, int top, int width, int height, uint32_t factor) {
  bool any = false;
  for (int y = top; y < top + height; ++y) any |= FadePixels(frame.Row(y) + left, width, factor) != 0;
  return any;
}

void ClearFrame(const FrameView& frame) {
  for (int y = 0; y < frame.height; ++y) {
    std::memset(frame.Row(y), 0, static_cast<std::size_t>(frame.width) * 4);
  }
}

}  // namespace qb::glow
