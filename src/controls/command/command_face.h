// The skinned button's face, apart from any drawing: which state picture,
// the eight border pieces cut from it, where the caption sits, and the two
// gradient colours.
#pragma once

#include <array>
#include <cstdint>

#include "platform/pixel_rect.h"
#include "platform/twips.h"

namespace qb {

// The six state pictures, in the order of their resources.
enum class FacePicture : uint8_t { Normal, HighLight, Pressed, Selected, HighLightSelect, Disable };
inline constexpr int kFacePictureCount = 6;
const char* FacePictureName(FacePicture picture);

inline constexpr int32_t kCornerSize = 60;  // twips: the picture's outer 4-pixel band
inline constexpr int32_t kPictureWidth = 960;
inline constexpr int32_t kPictureHeight = 375;
inline constexpr int32_t kPictureMiddleWidth = kPictureWidth - 2 * kCornerSize;    // 840
inline constexpr int32_t kPictureMiddleHeight = kPictureHeight - 2 * kCornerSize;  // 255
inline constexpr int32_t kPictureRightBand = kPictureWidth - kCornerSize;          // 900
inline constexpr int32_t kPictureBottomBand = kPictureHeight - kCornerSize;        // 315

// The caption label's own height.
inline constexpr float kCaptionLabelHeight = 195.0f;

// One border piece: copied unscaled (corners) or stretched to its
// destination (edges). A piece whose destination has no area, or whose twip
// values do not fit the signed 16-bit slice fields, is not drawn: it leaves
// a gap and the rest of the face is still drawn.
struct SlicePiece {
  PixelRect source;       // in the 64 x 25 picture
  PixelRect destination;  // on the face
  bool stretched = false;
  bool drawn = false;
};

// The pieces in drawing order (top-left corner, top edge, top-right corner,
// right edge, bottom-right corner, bottom edge, bottom-left corner, left
// edge) for a face of width x height pixels at `dpi`, cut from the picture
// drawn at that dpi (PictureSizeAt). The middle of the picture is never
// among them.
std::array<SlicePiece, 8> SlicePieces(int32_t width, int32_t height, int32_t dpi = kDesignDpi);

// The state picture's size at `dpi`: 64 x 25 at the design's.
inline PixelRect PictureSizeAt(int32_t dpi) {
  return {0, 0, PixelsAtDpi(kPictureWidth, dpi), PixelsAtDpi(kPictureHeight, dpi)};
}

// Top of the caption label in twips for a face `heightTwips` high, in single
// precision as designed: 102.5 at the design height.
float CaptionTopTwips(float heightTwips, float labelHeightTwips = kCaptionLabelHeight);
// The same in whole pixels at `dpi`, to the nearest.
int32_t CaptionTopPixels(int32_t heightPixels, int32_t dpi = kDesignDpi);

// A gradient end colour as the 16-bit channels of the platform's vertex
// record: each 8-bit value in the high byte.
struct VertexColour {
  uint16_t red = 0;
  uint16_t green = 0;
  uint16_t blue = 0;
  uint16_t alpha = 0;

  bool operator==(const VertexColour& o) const {
    return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
  }
};

// The gradient's ends, "&HFFFFFF" and "&HC6C5D7" in the design: red, green,
// blue from the left.
inline constexpr VertexColour kLightColour = {0xFF00, 0xFF00, 0xFF00, 0};
inline constexpr VertexColour kDarkColour = {0xC600, 0xC500, 0xD700, 0};

struct GradientVertex {
  int32_t x = 0;
  int32_t y = 0;
  VertexColour colour;
};

// The two vertices of the face's vertical gradient, (0, 0) and
// (width - 1, height - 1); light at the top unless `hot`. The fill names
// vertex 1 as its upper-left corner and vertex 0 as its lower-right.
std::array<GradientVertex, 2> GradientVertices(int32_t width, int32_t height, bool hot);
inline constexpr uint32_t kGradientUpperLeft = 1;
inline constexpr uint32_t kGradientLowerRight = 0;

}  // namespace qb
