#include "preview/preview_logic.h"

#include "platform/last_api_result.h"

namespace qb {

PreviewSize PreviewSizeFor(const ScreenRect& host, int32_t twipsPerPixelX,
                           int32_t twipsPerPixelY) {
  PreviewSize size;
  const int64_t width = static_cast<int64_t>(host.right) - host.left;
  const int64_t height = static_cast<int64_t>(host.bottom) - host.top;
  // An extent beyond 32 bits cannot fit 16 bits of twips either.
  const auto clamp = [](int64_t v) {
    return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
  };
  size.widthTwips = ExtentInTwips(clamp(width), twipsPerPixelX);
  size.heightTwips = ExtentInTwips(clamp(height), twipsPerPixelY);
  if (twipsPerPixelX > 0) size.widthPixels = size.widthTwips / twipsPerPixelX;
  if (twipsPerPixelY > 0) size.heightPixels = size.heightTwips / twipsPerPixelY;
  return size;
}

bool EmbedPreviewSteps(PreviewPlatform& platform, int32_t host) {
  if (host == 0 || !platform.HostIsWindow(host)) return false;

  ScreenRect hostRect;
  LastApiResult = platform.ReadHostRect(host, hostRect);
  const PreviewSize size =
      PreviewSizeFor(hostRect, platform.TwipsPerPixelX(), platform.TwipsPerPixelY());

  if (!platform.CreateHidden()) return false;
  // A child before it gets its parent: SetParent of a top-level window
  // would leave it a top-level window positioned in screen coordinates.
  LastApiResult = platform.SetStyle(platform.Style() | kChildStyle);
  LastApiResult = platform.SetParent(host);
  platform.Place(0, 0, size.widthPixels, size.heightPixels);
  platform.PlaceImage(size.widthPixels, size.heightPixels);
  platform.Show();
  return true;
}

}  // namespace qb
