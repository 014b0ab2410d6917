// The settings dialog's layout and the arithmetic of its look: where the
// window goes on the screen, the colour of each gradient line, and where
// the texture strip is copied onto the panel, at any dpi.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixel_rect.h"
#include "platform/twips.h"

namespace qb {

// The design, in twips.
struct TwipsRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};
inline constexpr int32_t kChoiceCount = 3;

// The design laid out in pixels at one dpi: each position and size
// converted on its own, as the design's controls are placed.
struct DialogLayout {
  int32_t dpi = kDesignDpi;
  // On the window's client area.
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  PixelRect panel;   // Pic_C
  PixelRect save;    // Cmd_Set
  PixelRect cancel;  // Cmd_Can
  int32_t linkX = 0;  // lbl_URL, fitted to its text
  int32_t linkY = 0;
  // The texture holder Pic_Mbl (never shown): the strip is drawn this size.
  int32_t textureWidth = 0;
  int32_t textureHeight = 0;
  int32_t markPictureSize = 0;  // Img_Ra
  // Inside the panel.
  PixelRect headingFrame;  // Shape3(3)
  PixelRect heading;       // lbl(15)
  PixelRect repeat;        // BGM_Repeat, closed
  int32_t repeatListHeight = 0;  // ... and its list dropped
  int32_t repeatLabelX = 0;      // lbl(14)
  int32_t repeatLabelY = 0;
  PixelRect fileButton;  // Cmd_File(0)
  PixelRect fileLabel;   // lbl_Fname(0)
  // Img_BGM by kind (the rows read CD, none, file: kinds 1, 0, 2).
  PixelRect marks[kChoiceCount];
  // Left edge and top of lbl_BGM by kind; their size is their text's.
  int32_t choiceLabelX = 0;
  int32_t choiceLabelY[kChoiceCount] = {};
};

// The layout at `dpi` (the design's when not positive).
DialogLayout LayoutFor(int32_t dpi);
PixelRect ScaleRect(const TwipsRect& rect, int32_t dpi);

// Rounds to the nearest integer, halves to the even neighbour (2.5 to 2,
// 3.5 to 4), as the platform's conversions do.
double RoundHalfEven(double value);

// Top-left corner of the window, in pixels, for a screen and an outer
// window size in pixels: centred across, one third of the free height
// above. The sums are made in twips as designed: the differences halved and
// thirded with truncation toward zero, then back to the nearest pixel.
// `twipsPerPixel` is the screen's (TwipsPerPixel of its dpi).
struct DialogPlacement {
  int32_t left = 0;
  int32_t top = 0;
};
DialogPlacement PlaceDialog(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                            int32_t windowHeight, int32_t twipsPerPixel = kTwipsPerPixel);

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
