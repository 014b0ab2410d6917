// Window layouts are designed in twips (1/1440 inch) and their extents kept
// in signed 16-bit fields.
#pragma once

#include <cstdint>

namespace qb {

// The design's dots per inch, and its twips per pixel.
inline constexpr int32_t kDesignDpi = 96;
inline constexpr int32_t kTwipsPerPixel = 15;

// Whole twips per pixel at `dpi` dots per inch; the design's when unknown.
inline int32_t TwipsPerPixel(int32_t dpi) { return dpi > 0 ? 1440 / dpi : kTwipsPerPixel; }

// `twips` in pixels at `dpi` dots per inch, to the nearest pixel with halves
// to the even neighbour, as every conversion of the layouts rounds.
constexpr int32_t PixelsAtDpi(int32_t twips, int32_t dpi) {
  const int64_t scaled = int64_t{twips} * dpi;
  int64_t whole = scaled / 1440;
  int64_t rest = scaled % 1440;
  if (rest < 0) {  // floor, for positions left of or above the origin
    whole -= 1;
    rest += 1440;
  }
  if (2 * rest > 1440 || (2 * rest == 1440 && whole % 2 != 0)) whole += 1;
  return static_cast<int32_t>(whole);
}

inline bool FitsTwipsField(int64_t twips) { return twips >= INT16_MIN && twips <= INT16_MAX; }

// An extent of `pixels` in a 16-bit twips field: 0 when it does not fit
// (more than 2184 pixels at 15 twips per pixel).
inline int16_t ExtentInTwips(int32_t pixels, int32_t twipsPerPixel) {
  const int64_t twips = static_cast<int64_t>(pixels) * twipsPerPixel;
  return FitsTwipsField(twips) ? static_cast<int16_t>(twips) : 0;
}

}  // namespace qb
