#include "controls/command/command_face.h"

#include <cmath>

namespace qb {
namespace {

// A piece laid out in twips, as the slice fields hold it.
// `sizeFits` is false when the piece is placed from a face width or height
// that itself does not fit.
SlicePiece Piece(int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t dx, int32_t dy,
                 int32_t dw, int32_t dh, bool stretched, bool sizeFits) {
  SlicePiece piece;
  piece.stretched = stretched;
  piece.drawn = sizeFits && dw > 0 && dh > 0;
  for (int32_t twips : {dx, dy, dw, dh}) piece.drawn = piece.drawn && FitsTwipsField(twips);
  piece.source = {sx / kTwipsPerPixel, sy / kTwipsPerPixel, sw / kTwipsPerPixel,
                  sh / kTwipsPerPixel};
  piece.destination = {dx / kTwipsPerPixel, dy / kTwipsPerPixel, dw / kTwipsPerPixel,
                       dh / kTwipsPerPixel};
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

std::array<SlicePiece, 8> SlicePieces(int32_t width, int32_t height) {
  // Twips in 32 bits, so that a face too large for the 16-bit fields is
  // noticed instead of wrapping round.
  const int32_t w = width * kTwipsPerPixel;
  const int32_t h = height * kTwipsPerPixel;
  const int32_t c = kCornerSize;
  const int32_t right = kPictureRightBand;
  const int32_t bottom = kPictureBottomBand;
  const int32_t across = kPictureMiddleWidth;
  const int32_t down = kPictureMiddleHeight;
  const bool wFits = FitsTwipsField(w);
  const bool hFits = FitsTwipsField(h);
  return {{
      Piece(0, 0, c, c, 0, 0, c, c, false, true),
      Piece(c, 0, across, c, c, 0, w - 2 * c, c, true, wFits),
      Piece(right, 0, c, c, w - c, 0, c, c, false, wFits),
      Piece(right, c, c, down, w - c, c, c, h - 2 * c, true, wFits && hFits),
      Piece(right, bottom, c, c, w - c, h - c, c, c, false, wFits && hFits),
      Piece(c, bottom, across, c, c, h - c, w - 2 * c, c, true, wFits && hFits),
      Piece(0, bottom, c, c, 0, h - c, c, c, false, hFits),
      Piece(0, c, c, down, 0, c, c, h - 2 * c, true, hFits),
  }};
}

float CaptionTopTwips(float heightTwips, float labelHeightTwips) {
  return (heightTwips - labelHeightTwips - 20.0f) / 2.0f;
}

int32_t CaptionTopPixels(int32_t heightPixels) {
  const float top = CaptionTopTwips(static_cast<float>(heightPixels * kTwipsPerPixel));
  return static_cast<int32_t>(std::lround(top / static_cast<float>(kTwipsPerPixel)));
}

std::array<GradientVertex, 2> GradientVertices(int32_t width, int32_t height, bool hot) {
  return {{{0, 0, hot ? kDarkColour : kLightColour},
           {width - 1, height - 1, hot ? kLightColour : kDarkColour}}};
}

}  // namespace qb
