#include "settings_dialog/dialog_geometry.h"

#include <cmath>

namespace qb {

double RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction < 0.5) return lower;
  if (fraction > 0.5) return lower + 1.0;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

DialogPlacement PlaceDialog(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                            int32_t windowHeight) {
  const int64_t freeWidth = (int64_t{screenWidth} - windowWidth) * kTwipsPerPixel;
  const int64_t freeHeight = (int64_t{screenHeight} - windowHeight) * kTwipsPerPixel;
  const int64_t leftTwips = freeWidth / 2;  // C++ division truncates toward zero
  const int64_t topTwips = freeHeight / 3;
  return {static_cast<int32_t>(RoundHalfEven(static_cast<double>(leftTwips) / kTwipsPerPixel)),
          static_cast<int32_t>(RoundHalfEven(static_cast<double>(topTwips) / kTwipsPerPixel))};
}

std::vector<GradientLine> GradientLines(double clientHeight) {
  std::vector<GradientLine> lines;
  const double k = clientHeight / 3.142;
  const double last = RoundHalfEven(clientHeight);
  for (int32_t i = 0; i <= last; ++i) {
    // A window without height has one line, at the top, of grey 0.
    const double grey = k > 0 ? RoundHalfEven(std::fabs(std::sin(i / k)) * 220.0) : 0.0;
    lines.push_back({i, static_cast<int32_t>(grey)});
  }
  return lines;
}

std::vector<TilePosition> TilePositions(double textureWidth, double textureHeight,
                                        double surfaceWidth, double surfaceHeight) {
  std::vector<TilePosition> positions;
  if (!(textureWidth > 0 && textureHeight > 0)) return positions;
  double x = 0;
  double y = 0;
  for (;;) {
    positions.push_back(
        {static_cast<int32_t>(RoundHalfEven(x)), static_cast<int32_t>(RoundHalfEven(y))});
    if (y > surfaceHeight) {
      if (x > surfaceWidth) break;
      x += textureWidth;
      y = 0;
    } else {
      y += textureHeight;
    }
  }
  return positions;
}

}  // namespace qb
