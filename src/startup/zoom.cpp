#include "startup/zoom.h"

namespace qb {

int16_t ZoomPointX = 0;
int16_t ZoomPointY = 0;

namespace {

void Store(int16_t& target, int32_t value) {
  if (value >= INT16_MIN && value <= INT16_MAX) target = static_cast<int16_t>(value);
}

ScreenRect PointRect() { return {ZoomPointX, ZoomPointY, ZoomPointX, ZoomPointY}; }

}  // namespace

void SetZoomPoint(std::optional<ScreenPoint> pointer) {
  const ScreenPoint p = pointer.value_or(ScreenPoint{});
  Store(ZoomPointX, p.x);
  Store(ZoomPointY, p.y);
}

void ZoomOpen(ZoomPlatform& platform, void* window) {
  const ScreenRect from = PointRect();
  ScreenRect to;
  platform.ReadWindowRect(window, to);
  platform.Animate(window, kZoomAnimation, from, to);
}

void ZoomClose(ZoomPlatform& platform, void* window) {
  ScreenRect from;
  platform.ReadWindowRect(window, from);
  const ScreenRect to = PointRect();
  platform.Animate(window, kZoomAnimation, from, to);
}

}  // namespace qb
