#include "controls/command/command_face.h"

#include <cmath>

namespace qb {
namespace {

// A piece in pixels at a dpi of `twipsPerPixel`, drawn only when it has an
// area and its twips fit the slice fields. `sizeFits` is false when the
// piece is placed from a face width or height that itself does not fit.
SlicePiece Piece(PixelRect source, PixelRect destination, bool stretched, bool sizeFits,
                 int32_t twipsPerPixel) {
  SlicePiece piece;
  piece.stretched = stretched;
  piece.source = source;
  piece.destination = destination;
  piece.drawn = sizeFits && destination.width > 0 && destination.height > 0;
  for (int32_t pixels : {destination.x, destination.y, destination.width, destination.height}) {
    piece.drawn = piece.drawn && FitsTwipsField(int64_t{pixels} * twipsPerPixel);
  }
  return piece;
}

}  // namespace

const char* FacePictureName(FacePicture picture) {
  switch (picture) {
    case FacePicture::Normal: return "Normal";
    case FacePicture::HighLight: return "HighLight";
    case FacePicture::Pressed: return "Pressed";
    case FacePicture::Selected: return "Selected";
    case FacePicture::HighLightSelect: return "HighLightSelect";
    case FacePicture::Disable: return "Disable";
  }
  return "?";
}

std::array<SlicePiece, 8> SlicePieces(int32_t width, int32_t height, int32_t dpi) {
  // The picture is drawn for the dpi first (PictureSizeAt), so its band and
  // the face's are the same width. Twips in 64 bits, so that a face too
  // large for the 16-bit fields is noticed instead of wrapping round.
  const int32_t perPixel = TwipsPerPixel(dpi);
  const int32_t c = PixelsAtDpi(kCornerSize, dpi);
  const PixelRect picture = PictureSizeAt(dpi);
  const int32_t right = picture.width - c;
  const int32_t bottom = picture.height - c;
  const int32_t across = picture.width - 2 * c;
  const int32_t down = picture.height - 2 * c;
  const int32_t w = width;
  const int32_t h = height;
  const bool wFits = FitsTwipsField(int64_t{w} * perPixel);
  const bool hFits = FitsTwipsField(int64_t{h} * perPixel);
  const auto piece = [perPixel](PixelRect s, PixelRect d, bool stretched, bool fits) {
    return Piece(s, d, stretched, fits, perPixel);
  };
  return {{
      piece({0, 0, c, c}, {0, 0, c, c}, false, true),
      piece({c, 0, across, c}, {c, 0, w - 2 * c, c}, true, wFits),
      piece({right, 0, c, c}, {w - c, 0, c, c}, false, wFits),
      piece({right, c, c, down}, {w - c, c, c, h - 2 * c}, true, wFits && hFits),
      piece({right, bottom, c, c}, {w - c, h - c, c, c}, false, wFits && hFits),
      piece({c, bottom, across, c}, {c, h - c, w - 2 * c, c}, true, wFits && hFits),
      piece({0, bottom, c, c}, {0, h - c, c, c}, false, hFits),
      piece({0, c, c, down}, {0, c, c, h - 2 * c}, true, hFits),
  }};
}

float CaptionTopTwips(float heightTwips, float labelHeightTwips) {
  return (heightTwips - labelHeightTwips - 20.0f) / 2.0f;
}

int32_t CaptionTopPixels(int32_t heightPixels, int32_t dpi) {
  const float perPixel = 1440.0f / static_cast<float>(dpi > 0 ? dpi : kDesignDpi);
  const float top = CaptionTopTwips(static_cast<float>(heightPixels) * perPixel);
  return static_cast<int32_t>(std::lround(top / perPixel));
}

std::array<GradientVertex, 2> GradientVertices(int32_t width, int32_t height, bool hot) {
  return {{{0, 0, hot ? kDarkColour : kLightColour},
           {width - 1, height - 1, hot ? kLightColour : kDarkColour}}};
}

}  // namespace qb
