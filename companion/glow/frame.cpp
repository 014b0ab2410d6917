#include "glow/frame.h"

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QB_GLOW_SSE2 1
#include <emmintrin.h>
#else
#define QB_GLOW_SSE2 0
#endif

namespace qb::glow {

namespace {

// One byte: v * f / 256, one step less, not below zero.
inline uint8_t Fade(uint8_t v, uint16_t f) {
  const uint8_t scaled = static_cast<uint8_t>(static_cast<uint16_t>(v * f) >> 8);
  return scaled > 0 ? static_cast<uint8_t>(scaled - 1) : 0;
}

// A row of bytes; returns the OR of the results.
uint8_t FadeBytes(uint8_t* p, std::size_t count, uint16_t f) {
  uint8_t any = 0;
  std::size_t i = 0;
#if QB_GLOW_SSE2
  // Compilers vectorise the plain loop poorly (the saturating step defeats
  // them), and this loop is most of a frame's cost.
  const __m128i factor = _mm_set1_epi16(static_cast<short>(f));
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi8(1);
  __m128i seen = zero;
  for (; i + 16 <= count; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), factor), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), factor), 8);
    const __m128i faded = _mm_subs_epu8(_mm_packus_epi16(lo, hi), one);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), faded);
    seen = _mm_or_si128(seen, faded);
  }
  any = _mm_movemask_epi8(_mm_cmpeq_epi8(seen, zero)) != 0xFFFF ? 1 : 0;
#endif
  for (; i < count; ++i) {
    p[i] = Fade(p[i], f);
    any |= p[i];
  }
  return any;
}

}  // namespace

bool FadeArea(const FrameView& frame, int left, int top, int width, int height, uint32_t factor) {
  if (factor > 255) factor = 255;
  const uint16_t f = static_cast<uint16_t>(factor);
  // The unused fourth byte of each pixel fades too: cheaper than skipping it.
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
  uint8_t any = 0;
  for (int y = top; y < top + height; ++y) {
    any |= FadeBytes(reinterpret_cast<uint8_t*>(frame.Row(y) + left), rowBytes, f);
  }
  return any != 0;
}

void ClearFrame(const FrameView& frame) {
  for (int y = 0; y < frame.height; ++y) {
    std::memset(frame.Row(y), 0, static_cast<std::size_t>(frame.width) * 4);
  }
}

}  // namespace qb::glow
