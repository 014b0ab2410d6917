#include <gtest/gtest.h>

#include <algorithm>

#include "settings_dialog/dialog_geometry.h"

namespace qb {
namespace {

const DialogLayout kDesign = LayoutFor(96);

TEST(DialogRounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(3.5), 4.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
  EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
  EXPECT_EQ(RoundHalfEven(-0.6), -1.0);
}

TEST(DialogGradient, DesignHeightGivesTheDesignedColours) {
  const auto lines = GradientLines(kDesign.clientHeight);
  ASSERT_EQ(lines.size(), 247u);  // one below the client area
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].row, static_cast<int32_t>(i));
  EXPECT_EQ(lines[0].grey, 0);
  EXPECT_EQ(lines[1].grey, 3);
  EXPECT_EQ(lines[245].grey, 3);
  int brightest = 0;
  for (const auto& line : lines) brightest = std::max(brightest, line.grey);
  EXPECT_EQ(brightest, 220);
  for (int row = 0; row < 247; ++row) {
    const bool top = row >= 118 && row <= 128;
    EXPECT_EQ(lines[row].grey == 220, top) << "row " << row;
  }
}

TEST(DialogGradient, OtherHeightsAndNone) {
  const auto lines = GradientLines(100.5);  // the last row rounds half to even
  EXPECT_EQ(lines.size(), 101u);
  const auto flat = GradientLines(0);
  ASSERT_EQ(flat.size(), 1u);
  EXPECT_EQ(flat[0].grey, 0);
}

TEST(DialogTiling, PanelTakesTwoColumnsOfTen) {
  const auto tiles = TilePositions(kDesign.textureWidth, kDesign.textureHeight, kDesign.panel.width,
                                   kDesign.panel.height);
  ASSERT_EQ(tiles.size(), 20u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(tiles[i], (TilePosition{0, 20 * i}));
    EXPECT_EQ(tiles[10 + i], (TilePosition{556, 20 * i}));
  }
}

TEST(DialogTiling, StrictTestsAtTheEdges) {
  // A column ends only after a copy below the bottom edge, and the tiling
  // only in a column that starts beyond the right one.
  const auto exact = TilePositions(10, 10, 10, 20);
  ASSERT_EQ(exact.size(), 12u);
  EXPECT_EQ(exact[3], (TilePosition{0, 30}));
  EXPECT_EQ(exact[4], (TilePosition{10, 0}));
  EXPECT_EQ(exact.back(), (TilePosition{20, 30}));
  // Fractional sizes are rounded for each copy.
  const auto half = TilePositions(2.5, 2.5, 1, 1);
  ASSERT_EQ(half.size(), 4u);
  EXPECT_EQ(half[1], (TilePosition{0, 2}));
  EXPECT_EQ(half[3], (TilePosition{2, 2}));
}

TEST(DialogTiling, TextureWithoutAreaCopiesNothing) {
  EXPECT_TRUE(TilePositions(0, 20, 469, 165).empty());
  EXPECT_TRUE(TilePositions(556, 0, 469, 165).empty());
}

TEST(DialogPlacement, CentredAcrossAndAThirdDown) {
  // 1024 x 768 screen, a 502 x 272 window: 522 and 496 pixels free.
  const auto p = PlaceDialog(1024, 768, 502, 272);
  EXPECT_EQ(p.left, 261);
  EXPECT_EQ(p.top, 165);  // 496 / 3 = 165.33
  // The same at 144 dpi, 10 twips a pixel: 783 free pixels, 391.5 to even.
  const auto at144 = PlaceDialog(1536, 1152, 753, 408, TwipsPerPixel(144));
  EXPECT_EQ(at144.left, 392);
  EXPECT_EQ(at144.top, 248);
}

TEST(DialogPlacement, TwipArithmeticForOddRemainders) {
  // 1 free pixel: 15 twips / 2 = 7 twips, less than half a pixel.
  EXPECT_EQ(PlaceDialog(101, 100, 100, 100).left, 0);
  // 2 free pixels: 30 twips / 3 = 10 twips, two thirds of a pixel.
  EXPECT_EQ(PlaceDialog(100, 102, 100, 100).top, 1);
  // 4 free pixels: 60 / 3 = 20 twips, one and a third pixels.
  EXPECT_EQ(PlaceDialog(100, 104, 100, 100).top, 1);
}

TEST(DialogPlacement, WindowLargerThanTheScreenTruncatesTowardZero) {
  const auto p = PlaceDialog(400, 300, 501, 302);
  EXPECT_EQ(p.left, -50);  // -1515 / 2 = -757 twips = -50.47 pixels
  EXPECT_EQ(p.top, -1);    // -30 / 3 = -10 twips
}

TEST(DialogLayout, MarksAndLabelsOfEachKindShareTheirRow) {
  for (int kind = 0; kind < kChoiceCount; ++kind) {
    EXPECT_EQ(kDesign.marks[kind].y, kDesign.choiceLabelY[kind]);
    EXPECT_TRUE(kDesign.marks[kind].Contains(kDesign.marks[kind].x, kDesign.marks[kind].y));
    EXPECT_FALSE(kDesign.marks[kind].Contains(kDesign.marks[kind].x + 13, kDesign.marks[kind].y));
  }
  // Rows top to bottom: CD, none, file.
  EXPECT_LT(kDesign.marks[1].y, kDesign.marks[0].y);
  EXPECT_LT(kDesign.marks[0].y, kDesign.marks[2].y);
}

// Every rectangle of the layout, its parent, and its place at 96 dpi (a
// point where the size is its text's).
enum class Parent { kClient, kPanel, kNone };
struct Placed {
  const char* name;
  PixelRect (*of)(const DialogLayout&);
  Parent parent;
  PixelRect design;
};
const Placed kPlaced[] = {
    {"panel", [](const DialogLayout& l) { return l.panel; }, Parent::kClient, {12, 16, 469, 165}},
    {"save", [](const DialogLayout& l) { return l.save; }, Parent::kClient, {324, 200, 77, 25}},
    {"cancel", [](const DialogLayout& l) { return l.cancel; }, Parent::kClient, {404, 200, 77, 25}},
    {"link", [](const DialogLayout& l) { return PixelRect{l.linkX, l.linkY, 0, 0}; }, Parent::kClient, {12, 208, 0, 0}},
    {"texture", [](const DialogLayout& l) { return PixelRect{0, 0, l.textureWidth, l.textureHeight}; }, Parent::kNone,
     {0, 0, 556, 20}},
    {"heading frame", [](const DialogLayout& l) { return l.headingFrame; }, Parent::kPanel, {20, 20, 113, 21}},
    {"heading", [](const DialogLayout& l) { return l.heading; }, Parent::kPanel, {20, 24, 111, 13}},
    {"repeat", [](const DialogLayout& l) { return l.repeat; }, Parent::kPanel, {112, 52, 41, 20}},
    {"repeat label", [](const DialogLayout& l) { return PixelRect{l.repeatLabelX, l.repeatLabelY, 0, 0}; },
     Parent::kPanel, {156, 56, 0, 0}},
    {"file button", [](const DialogLayout& l) { return l.fileButton; }, Parent::kPanel, {28, 116, 41, 21}},
    {"file label", [](const DialogLayout& l) { return l.fileLabel; }, Parent::kPanel, {72, 116, 373, 33}},
    {"mark 0", [](const DialogLayout& l) { return l.marks[0]; }, Parent::kPanel, {28, 76, 13, 13}},
    {"mark 1", [](const DialogLayout& l) { return l.marks[1]; }, Parent::kPanel, {28, 56, 13, 13}},
    {"mark 2", [](const DialogLayout& l) { return l.marks[2]; }, Parent::kPanel, {28, 96, 13, 13}},
    {"mark picture", [](const DialogLayout& l) { return PixelRect{0, 0, l.markPictureSize, l.markPictureSize}; },
     Parent::kNone, {0, 0, 12, 12}},
    {"label 0", [](const DialogLayout& l) { return PixelRect{l.choiceLabelX, l.choiceLabelY[0], 0, 0}; },
     Parent::kPanel, {44, 76, 0, 0}},
};

TEST(DialogLayout, EveryRectangleScaledToTheNearestPixelAndInsideItsParent) {
  for (int32_t dpi : {96, 120, 144, 168, 192, 288}) {
    const DialogLayout l = LayoutFor(dpi);
    const double scale = dpi / 96.0;
    EXPECT_EQ(l.dpi, dpi);  // what the fonts and the outer size follow
    EXPECT_NEAR(l.clientWidth, 496 * scale, 0.5) << dpi;
    EXPECT_NEAR(l.clientHeight, 246 * scale, 0.5) << dpi;
    for (const Placed& p : kPlaced) {
      SCOPED_TRACE(std::string(p.name) + " at " + std::to_string(dpi));
      const PixelRect r = p.of(l);
      EXPECT_NEAR(r.x, p.design.x * scale, 0.5);
      EXPECT_NEAR(r.y, p.design.y * scale, 0.5);
      EXPECT_NEAR(r.width, p.design.width * scale, 0.5);
      EXPECT_NEAR(r.height, p.design.height * scale, 0.5);
      if (dpi == 96) {
        EXPECT_EQ(r, p.design);
      }
      if (p.parent == Parent::kNone) continue;
      const PixelRect parent = p.parent == Parent::kPanel ? PixelRect{0, 0, l.panel.width, l.panel.height}
                                                          : PixelRect{0, 0, l.clientWidth, l.clientHeight};
      EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= parent.width && r.y + r.height <= parent.height);
    }
  }
  EXPECT_EQ(LayoutFor(0).clientWidth, 496);  // an unknown dpi is the design's
}

}  // namespace
}  // namespace qb
