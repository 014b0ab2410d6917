#include "controls/command/command_face.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

struct Expected {
  PixelRect source;
  PixelRect destination;
  bool stretched;
};

void ExpectPieces(int32_t w, int32_t h) {
  SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
  const Expected expected[8] = {
      {{0, 0, 4, 4}, {0, 0, 4, 4}, false},
      {{4, 0, 56, 4}, {4, 0, w - 8, 4}, true},
      {{60, 0, 4, 4}, {w - 4, 0, 4, 4}, false},
      {{60, 4, 4, 17}, {w - 4, 4, 4, h - 8}, true},
      {{60, 21, 4, 4}, {w - 4, h - 4, 4, 4}, false},
      {{4, 21, 56, 4}, {4, h - 4, w - 8, 4}, true},
      {{0, 21, 4, 4}, {0, h - 4, 4, 4}, false},
      {{0, 4, 4, 17}, {0, 4, 4, h - 8}, true},
  };
  const auto pieces = SlicePieces(w, h);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE("piece " + std::to_string(i + 1));
    EXPECT_EQ(pieces[i].source, expected[i].source);
    EXPECT_EQ(pieces[i].destination, expected[i].destination);
    EXPECT_EQ(pieces[i].stretched, expected[i].stretched);
    EXPECT_TRUE(pieces[i].drawn);
  }
}

TEST(SlicePieces, DesignAndDialogSizes) {
  ExpectPieces(117, 28);
  ExpectPieces(77, 25);
  ExpectPieces(41, 21);
  // At the design size the edges stretch 56 source pixels to 109 and 17 to 20.
  const auto pieces = SlicePieces(117, 28);
  EXPECT_EQ(pieces[1].destination.width, 109);
  EXPECT_EQ(pieces[7].destination.height, 20);
}

TEST(SlicePieces, TheMiddleOfThePictureIsNeverASource) {
  for (const auto& piece : SlicePieces(117, 28)) {
    const PixelRect& s = piece.source;
    const bool overlapsMiddle = s.x < 60 && s.x + s.width > 4 && s.y < 21 && s.y + s.height > 4;
    EXPECT_FALSE(overlapsMiddle);
  }
}

TEST(SlicePieces, PiecesThatCannotBeDrawnLeaveAGap) {
  // 8 pixels across: the top and bottom edges have no width.
  auto pieces = SlicePieces(8, 28);
  EXPECT_FALSE(pieces[1].drawn);
  EXPECT_FALSE(pieces[5].drawn);
  EXPECT_TRUE(pieces[3].drawn);
  // Narrower still: no negative (mirrored) stretch either.
  pieces = SlicePieces(5, 5);
  for (int i : {1, 3, 5, 7}) EXPECT_FALSE(pieces[i].drawn);
  EXPECT_TRUE(pieces[0].drawn);

  // 2184 pixels (32760 twips) is the largest face the 16-bit slice fields
  // hold; one pixel wider, the pieces placed from the width are left out and
  // the left column is still drawn.
  pieces = SlicePieces(2184, 2184);
  for (const auto& piece : pieces) EXPECT_TRUE(piece.drawn);
  pieces = SlicePieces(2185, 28);
  for (int i : {0, 6, 7}) EXPECT_TRUE(pieces[i].drawn);
  for (int i : {1, 2, 3, 4, 5}) EXPECT_FALSE(pieces[i].drawn);
  pieces = SlicePieces(117, 2185);
  for (int i : {0, 1, 2}) EXPECT_TRUE(pieces[i].drawn);
  for (int i : {3, 4, 5, 6, 7}) EXPECT_FALSE(pieces[i].drawn);
}

TEST(SlicePieces, BandsFollowTheDpiInPictureAndFace) {
  for (int32_t dpi : {120, 144, 192, 288}) {
    SCOPED_TRACE(dpi);
    const int32_t c = dpi / 24;  // the 4-pixel band, scaled
    const PixelRect picture = PictureSizeAt(dpi);
    const int32_t w = 77 * dpi / 96, h = 25 * dpi / 96;
    const auto pieces = SlicePieces(w, h, dpi);
    EXPECT_EQ(pieces[4].source, (PixelRect{picture.width - c, picture.height - c, c, c}));
    EXPECT_EQ(pieces[4].destination, (PixelRect{w - c, h - c, c, c}));
    EXPECT_EQ(pieces[1].source.width, picture.width - 2 * c);
    EXPECT_EQ(pieces[7].destination, (PixelRect{0, c, c, h - 2 * c}));
    for (const auto& piece : pieces) EXPECT_TRUE(piece.drawn);
  }
  EXPECT_EQ(PictureSizeAt(144), (PixelRect{0, 0, 96, 38}));  // 37.5, halves to even
}

TEST(CaptionTop, IsHalfOfWhatTheLabelLeavesLessTwentyTwips) {
  EXPECT_FLOAT_EQ(CaptionTopTwips(420.0f), 102.5f);
  EXPECT_FLOAT_EQ(CaptionTopTwips(375.0f), 80.0f);
  EXPECT_FLOAT_EQ(CaptionTopTwips(315.0f), 50.0f);
  EXPECT_EQ(CaptionTopPixels(28), 7);  // 6.83
  EXPECT_EQ(CaptionTopPixels(25), 5);  // 5.33
  EXPECT_EQ(CaptionTopPixels(21), 3);  // 3.33
  EXPECT_EQ(CaptionTopPixels(38, 144), 8);   // 82.5 twips of 10
  EXPECT_EQ(CaptionTopPixels(50, 192), 11);  // 10.67
}

}  // namespace
}  // namespace qb
