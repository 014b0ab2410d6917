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

}  // namespace
}  // namespace qb
