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
                            int32_t windowHeight, int32_t twipsPerPixel) {
  const int64_t perPixel = twipsPerPixel > 0 ? twipsPerPixel : kTwipsPerPixel;
  const int64_t freeWidth = (int64_t{screenWidth} - windowWidth) * perPixel;
  const int64_t freeHeight = (int64_t{screenHeight} - windowHeight) * perPixel;
  const int64_t leftTwips = freeWidth / 2;  // C++ division truncates toward zero
  const int64_t topTwips = freeHeight / 3;
  return {static_cast<int32_t>(RoundHalfEven(static_cast<double>(leftTwips) / static_cast<double>(perPixel))),
          static_cast<int32_t>(RoundHalfEven(static_cast<double>(topTwips) / static_cast<double>(perPixel)))};
}

PixelRect ScaleRect(const TwipsRect& r, int32_t dpi) {
  return {PixelsAtDpi(r.x, dpi), PixelsAtDpi(r.y, dpi), PixelsAtDpi(r.width, dpi),
          PixelsAtDpi(r.height, dpi)};
}

DialogLayout LayoutFor(int32_t dpi) {
  if (dpi <= 0) dpi = kDesignDpi;
  const auto px = [dpi](int32_t twips) { return PixelsAtDpi(twips, dpi); };
  const auto rect = [dpi](TwipsRect r) { return ScaleRect(r, dpi); };
  DialogLayout l;
  l.dpi = dpi;
  l.clientWidth = px(7440);
  l.clientHeight = px(3690);
  l.panel = rect({180, 240, 7035, 2475});
  l.save = rect({4860, 3000, 1155, 375});
  l.cancel = rect({6060, 3000, 1155, 375});
  l.linkX = px(180);
  l.linkY = px(3120);
  l.textureWidth = px(8340);
  l.textureHeight = px(300);
  l.markPictureSize = px(180);
  l.headingFrame = rect({300, 300, 1695, 315});
  l.heading = rect({300, 360, 1665, 195});
  l.repeat = rect({1680, 780, 615, 300});
  l.repeatListHeight = px(3000);
  l.repeatLabelX = px(2340);
  l.repeatLabelY = px(840);
  l.fileButton = rect({420, 1740, 615, 315});
  l.fileLabel = rect({1080, 1740, 5595, 495});
  constexpr int32_t kChoiceRowY[kChoiceCount] = {1140, 840, 1440};
  for (int kind = 0; kind < kChoiceCount; ++kind) {
    l.marks[kind] = rect({420, kChoiceRowY[kind], 195, 195});
    l.choiceLabelY[kind] = px(kChoiceRowY[kind]);
  }
  l.choiceLabelX = px(660);
  return l;
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
