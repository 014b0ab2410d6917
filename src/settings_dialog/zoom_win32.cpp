#include "settings_dialog/zoom_win32.h"

namespace qb {

namespace {

RECT ToRect(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

void Win32Zoom::ReadWindowRect(void* window, ScreenRect& rect) {
  RECT r;
  if (::GetWindowRect(static_cast<HWND>(window), &r)) rect = {r.left, r.top, r.right, r.bottom};
}

void Win32Zoom::Animate(void* window, int32_t animation, const ScreenRect& from,
                        const ScreenRect& to) {
  const RECT fromRect = ToRect(from);
  const RECT toRect = ToRect(to);
  ::DrawAnimatedRects(static_cast<HWND>(window), animation, &fromRect, &toRect);
}

void SetZoomPointFromCursor(ZoomAnchor& anchor) {
  POINT p;
  if (::GetCursorPos(&p)) {
    SetZoomPoint(anchor, ScreenPoint{p.x, p.y});
  } else {
    SetZoomPoint(anchor, std::nullopt);
  }
}

}  // namespace qb
