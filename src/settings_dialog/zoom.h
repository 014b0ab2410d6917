// The zoom with which the settings dialog opens from, and closes back to,
// the point where the mouse pointer was when the dialog loaded.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/screen_rect.h"

namespace qb {

// The anchor, in screen pixels, kept by the dialog that zooms. It is not
// read again at close time: the closing zoom returns to where the pointer
// was at load.
struct ZoomAnchor {
  int16_t ZoomPointX = 0;
  int16_t ZoomPointY = 0;
};

struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// Sets the anchor from the pointer position, or to (0, 0) when the
// position could not be read. A coordinate outside 16 bits leaves that
// coordinate as it was.
void SetZoomPoint(ZoomAnchor& anchor, std::optional<ScreenPoint> pointer);

inline constexpr int32_t kZoomAnimation = 3;  // IDANI_CAPTION

// What the zoom asks of the platform; `window` is an opaque window handle.
class ZoomPlatform {
 public:
  virtual ~ZoomPlatform() = default;
  // GetWindowRect; `rect` is left alone when it fails.
  virtual void ReadWindowRect(void* window, ScreenRect& rect) = 0;
  virtual void Animate(void* window, int32_t animation, const ScreenRect& from,
                       const ScreenRect& to) = 0;
};

// From the anchor out to the window's rectangle.
void ZoomOpen(ZoomPlatform& platform, const ZoomAnchor& anchor, void* window);
// From the window's rectangle back to the anchor.
void ZoomClose(ZoomPlatform& platform, const ZoomAnchor& anchor, void* window);

}  // namespace qb
