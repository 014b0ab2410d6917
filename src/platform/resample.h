// Pictures scaled smoothly to any size: every pixel of the result is the
// average of the source area it covers, each source pixel weighted by the
// share of it that lies inside. Shrinking averages; enlarging blends only
// the pixels that straddle two source pixels, so edges stay sharp and no
// row or column is doubled.
#pragma once

#include <cstdint>
#include <vector>

namespace qb {

// `source` is sourceWidth x sourceHeight pixels, rows top to bottom, each
// pixel four 8-bit channels in a 32-bit word. Empty when either size has
// no area, or more than 4096 x 4096 pixels' (so does the source's height
// at the result's width).
std::vector<uint32_t> ResampleArea(const uint32_t* source, int32_t sourceWidth, int32_t sourceHeight,
                                   int32_t width, int32_t height);

}  // namespace qb
