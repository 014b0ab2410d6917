// Window layouts are designed in twips (1/1440 inch) and their extents kept
// in signed 16-bit fields.
#pragma once

#include <cstdint>

namespace qb {

// Twips per pixel at the design's 96 dots per inch.
inline constexpr int32_t kTwipsPerPixel = 15;

// Whole twips per pixel at `dpi` dots per inch; the design's when unknown.
inline int32_t TwipsPerPixel(int32_t dpi) { return dpi > 0 ? 1440 / dpi : kTwipsPerPixel; }

inline bool FitsTwipsField(int64_t twips) { return twips >= INT16_MIN && twips <= INT16_MAX; }

// An extent of `pixels` in a 16-bit twips field: 0 when it does not fit
// (more than 2184 pixels at 15 twips per pixel).
inline int16_t ExtentInTwips(int32_t pixels, int32_t twipsPerPixel) {
  const int64_t twips = static_cast<int64_t>(pixels) * twipsPerPixel;
  return FitsTwipsField(twips) ? static_cast<int16_t>(twips) : 0;
}

}  // namespace qb
