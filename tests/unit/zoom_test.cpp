#include "settings_dialog/zoom.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qb {
namespace {

class FakeZoom : public ZoomPlatform {
 public:
  ScreenRect window{10, 20, 510, 270};
  bool rectFails = false;
  std::vector<std::pair<ScreenRect, ScreenRect>> animations;

  void ReadWindowRect(void*, ScreenRect& rect) override {
    if (!rectFails) rect = window;
  }
  void Animate(void*, int32_t animation, const ScreenRect& from, const ScreenRect& to) override {
    EXPECT_EQ(animation, 3);  // IDANI_CAPTION
    animations.push_back({from, to});
  }
};

class ZoomTest : public ::testing::Test {
 protected:
  FakeZoom zoom;
  ZoomAnchor anchor;
};

TEST_F(ZoomTest, ClosesBackToWhereThePointerWasAtLoad) {
  SetZoomPoint(anchor, ScreenPoint{100, 200});
  ZoomOpen(zoom, anchor, nullptr);
  zoom.window = {40, 50, 540, 300};  // the dialog was moved meanwhile
  ZoomClose(zoom, anchor, nullptr);
  ASSERT_EQ(zoom.animations.size(), 2u);
  EXPECT_EQ(zoom.animations[0].first, (ScreenRect{100, 200, 100, 200}));
  EXPECT_EQ(zoom.animations[0].second, (ScreenRect{10, 20, 510, 270}));
  EXPECT_EQ(zoom.animations[1].first, (ScreenRect{40, 50, 540, 300}));
  EXPECT_EQ(zoom.animations[1].second, (ScreenRect{100, 200, 100, 200}));
}

TEST_F(ZoomTest, AnchorDefaultsAndFailures) {
  // Never set: the top-left corner of the screen.
  ZoomClose(zoom, anchor, nullptr);
  EXPECT_EQ(zoom.animations.back().second, ScreenRect{});

  SetZoomPoint(anchor, ScreenPoint{100, 200});
  SetZoomPoint(anchor, std::nullopt);  // GetCursorPos failed
  EXPECT_EQ(anchor.ZoomPointX, 0);
  EXPECT_EQ(anchor.ZoomPointY, 0);

  // Out of 16 bits: that coordinate keeps its value, the other is set.
  SetZoomPoint(anchor, ScreenPoint{-5, 7});
  SetZoomPoint(anchor, ScreenPoint{40000, -32768});
  EXPECT_EQ(anchor.ZoomPointX, -5);
  EXPECT_EQ(anchor.ZoomPointY, -32768);

  zoom.rectFails = true;
  ZoomOpen(zoom, anchor, nullptr);
  EXPECT_EQ(zoom.animations.back().second, ScreenRect{});
}

}  // namespace
}  // namespace qb
