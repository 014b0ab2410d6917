// The zoom effect on a real window: GetWindowRect and DrawAnimatedRects.
#pragma once

#include <windows.h>

#include "settings_dialog/zoom.h"

namespace qb {

class Win32Zoom : public ZoomPlatform {
 public:
  void ReadWindowRect(void* window, ScreenRect& rect) override;
  void Animate(void* window, int32_t animation, const ScreenRect& from,
               const ScreenRect& to) override;
};

// Sets the anchor from where the mouse pointer is now.
void SetZoomPointFromCursor(ZoomAnchor& anchor);

}  // namespace qb
