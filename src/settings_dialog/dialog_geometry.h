// The settings dialog's layout and the arithmetic of its look: where the
// window goes on the screen, the colour of each gradient line, and where
// the texture strip is copied onto the panel. Pixels at 96 dots per inch.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixel_rect.h"
#include "platform/twips.h"

namespace qb {

// On the window's client area (496 x 246).
inline constexpr int32_t kClientWidth = 496;
inline constexpr int32_t kClientHeight = 246;
inline constexpr PixelRect kPanelRect = {12, 16, 469, 165};  // Pic_C
inline constexpr PixelRect kSaveRect = {324, 200, 77, 25};   // Cmd_Set
inline constexpr PixelRect kCancelRect = {404, 200, 77, 25};  // Cmd_Can
inline constexpr int32_t kLinkX = 12;                          // lbl_URL, fitted to its text
inline constexpr int32_t kLinkY = 208;
// The texture holder Pic_Mbl, never shown.
inline constexpr int32_t kTextureWidth = 556;
inline constexpr int32_t kTextureHeight = 20;
inline constexpr int32_t kMarkPictureSize = 12;  // Img_Ra

// Inside the panel.
inline constexpr PixelRect kHeadingFrameRect = {20, 20, 113, 21};  // Shape3(3)
inline constexpr PixelRect kHeadingRect = {20, 24, 111, 13};       // lbl(15)
inline constexpr PixelRect kRepeatRect = {112, 52, 41, 20};        // BGM_Repeat
inline constexpr int32_t kRepeatLabelX = 156;                       // lbl(14)
inline constexpr int32_t kRepeatLabelY = 56;
inline constexpr PixelRect kFileButtonRect = {28, 116, 41, 21};   // Cmd_File(0)
inline constexpr PixelRect kFileLabelRect = {72, 116, 373, 33};   // lbl_Fname(0)
inline constexpr int32_t kChoiceCount = 3;
// Img_BGM by kind (the rows read CD, none, file: kinds 1, 0, 2).
inline constexpr PixelRect kMarkRects[kChoiceCount] = {
    {28, 76, 13, 13}, {28, 56, 13, 13}, {28, 96, 13, 13}};
// Left edge and top of lbl_BGM by kind; their size is their text's.
inline constexpr int32_t kChoiceLabelX = 44;
inline constexpr int32_t kChoiceLabelY[kChoiceCount] = {76, 56, 96};

// Rounds to the nearest integer, halves to the even neighbour (2.5 to 2,
// 3.5 to 4), as the platform's conversions do.
double RoundHalfEven(double value);

// Top-left corner of the window, in pixels, for a screen and an outer
// window size in pixels: centred across, one third of the free height
// above. The sums are made in twips as designed: the differences halved and
// thirded with truncation toward zero, then back to the nearest pixel.
struct DialogPlacement {
  int32_t left = 0;
  int32_t top = 0;
};
DialogPlacement PlaceDialog(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                            int32_t windowHeight);

// One horizontal line of the background: RGB(grey, grey, grey + 30).
struct GradientLine {
  int32_t row = 0;
  int32_t grey = 0;
};
// Rows 0 to the rounded height inclusive, so one more line than the client
// height; the constants are 3.142 and 220 by design.
std::vector<GradientLine> GradientLines(double clientHeight);

struct TilePosition {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const TilePosition& o) const { return x == o.x && y == o.y; }
};
// Where the texture (textureWidth x textureHeight) is copied to cover a
// surface: column by column, each column ending with a copy below the
// surface, the last column starting beyond it. Empty for a texture
// without area, which could never cover anything.
std::vector<TilePosition> TilePositions(double textureWidth, double textureHeight,
                                        double surfaceWidth, double surfaceHeight);

}  // namespace qb
