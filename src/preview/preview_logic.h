// Embedding the preview window into the display-settings panel's preview
// monitor: the size arithmetic and the order of the platform steps, apart
// from the window that performs them.
#pragma once

#include <cstdint>

#include "platform/screen_rect.h"
#include "platform/twips.h"

namespace qb {

struct PreviewSize {
  int16_t widthTwips = 0;
  int16_t heightTwips = 0;
  int32_t widthPixels = 0;
  int32_t heightPixels = 0;
};

// The preview window's size for a host's outer rectangle.
PreviewSize PreviewSizeFor(const ScreenRect& host, int32_t twipsPerPixelX,
                           int32_t twipsPerPixelY);

inline constexpr int32_t kChildStyle = 0x40000000;  // WS_CHILD

// What embedding asks of the platform; `host` is the handle from the
// command line.
class PreviewPlatform {
 public:
  virtual ~PreviewPlatform() = default;
  virtual bool HostIsWindow(int32_t host) = 0;
  // GetWindowRect of the host; `rect` is left alone when it fails.
  virtual int32_t ReadHostRect(int32_t host, ScreenRect& rect) = 0;
  virtual int32_t TwipsPerPixelX() = 0;
  virtual int32_t TwipsPerPixelY() = 0;
  // Creates the preview window without showing it; false when it could not.
  virtual bool CreateHidden() = 0;
  virtual int32_t Style() = 0;
  virtual int32_t SetStyle(int32_t style) = 0;
  virtual int32_t SetParent(int32_t host) = 0;
  // Position in the parent's client area and size, in pixels.
  virtual void Place(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
  // The picture control's size, at (0, 0) of the preview window.
  virtual void PlaceImage(int32_t width, int32_t height) = 0;
  virtual void Show() = 0;
};

// Embeds the preview into `host`. A handle that names no window ends the
// preview before anything is created: such a window could never be seen,
// and nothing would ever end its process. Returns true when the preview
// window was created and shown, and the process should run its loop.
bool EmbedPreviewSteps(PreviewPlatform& platform, int32_t host);

}  // namespace qb
