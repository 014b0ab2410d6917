#include "settings_dialog/zoom.h"

namespace qb {

namespace {

void Store(int16_t& target, int32_t value) {
  if (value >= INT16_MIN && value <= INT16_MAX) target = static_cast<int16_t>(value);
}

ScreenRect PointRect(const ZoomAnchor& a) { return {a.ZoomPointX, a.ZoomPointY, a.ZoomPointX, a.ZoomPointY}; }

}  // namespace

void SetZoomPoint(ZoomAnchor& anchor, std::optional<ScreenPoint> pointer) {
  const ScreenPoint p = pointer.value_or(ScreenPoint{});
  Store(anchor.ZoomPointX, p.x);
  Store(anchor.ZoomPointY, p.y);
}

void ZoomOpen(ZoomPlatform& platform, const ZoomAnchor& anchor, void* window) {
  const ScreenRect from = PointRect(anchor);
  ScreenRect to;
  platform.ReadWindowRect(window, to);
  platform.Animate(window, kZoomAnimation, from, to);
}

void ZoomClose(ZoomPlatform& platform, const ZoomAnchor& anchor, void* window) {
  ScreenRect from;
  platform.ReadWindowRect(window, from);
  const ScreenRect to = PointRect(anchor);
  platform.Animate(window, kZoomAnimation, from, to);
}

}  // namespace qb
