#include "platform/resample.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

// One row scaled across: each channel apart, so a mix-up between them shows.
struct RowCase {
  std::vector<uint32_t> source;
  int32_t width;
  std::vector<uint32_t> expected;
};

TEST(ResampleArea, RowsAveragedByTheShareEachPixelCovers) {
  const RowCase cases[] = {
      {{0x000000, 0xFFFFFF}, 2, {0x000000, 0xFFFFFF}},              // same size: as it was
      {{0x0000FF, 0xFF0000}, 3, {0x0000FF, 0x800080, 0xFF0000}},    // 1.5x: one blend, no doubling
      {{0x00, 0x30, 0x90, 0xF0}, 2, {0x18, 0xC0}},                  // halved: pairs averaged
      {{0x000000, 0x000030, 0x0000F0}, 2, {0x000010, 0x0000B0}},    // 2/3: shares of 2:1 and 1:2
      {{0x11223344}, 3, {0x11223344, 0x11223344, 0x11223344}},     // every channel kept
  };
  for (const RowCase& c : cases) {
    const auto out = ResampleArea(c.source.data(), static_cast<int32_t>(c.source.size()), 1, c.width, 1);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(ResampleArea, ColumnsAsRowsAndNothingWithoutArea) {
  const uint32_t column[] = {0x40, 0x80, 0xC0, 0x00};
  EXPECT_EQ(ResampleArea(column, 1, 4, 1, 2), (std::vector<uint32_t>{0x60, 0x60}));
  EXPECT_TRUE(ResampleArea(column, 1, 4, 0, 2).empty());
  EXPECT_TRUE(ResampleArea(column, 0, 4, 1, 2).empty());
  EXPECT_TRUE(ResampleArea(nullptr, 1, 4, 1, 2).empty());
  // 65536 x 65536: a size the 32-bit build's arithmetic would wrap to 0.
  EXPECT_TRUE(ResampleArea(column, 1, 4, 1 << 16, 1 << 16).empty());
}

TEST(ResampleArea, APictureOfSeveralRowsAndColumns) {
  const uint32_t picture[] = {0x00, 0x30, 0x90, 0xF0,  //
                              0x10, 0x20, 0x30, 0x40};
  EXPECT_EQ(ResampleArea(picture, 4, 2, 2, 2), (std::vector<uint32_t>{0x18, 0xC0, 0x18, 0x38}));
}

}  // namespace
}  // namespace qb
