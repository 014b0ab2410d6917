#include "preview/preview_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/last_api_result.h"
#include "platform/program_paths.h"
#include "app/command_line.h"

namespace qb {
namespace {

TEST(PreviewSize, TwipsAtTheScreensResolution) {
  EXPECT_EQ(TwipsPerPixel(96), 15);
  EXPECT_EQ(TwipsPerPixel(120), 12);
  EXPECT_EQ(TwipsPerPixel(144), 10);
  EXPECT_EQ(TwipsPerPixel(0), 15);  // unknown

  EXPECT_EQ(ExtentInTwips(152, 15), 2280);
  EXPECT_EQ(ExtentInTwips(2184, 15), 32760);
  EXPECT_EQ(ExtentInTwips(2185, 15), 0);  // 32775 twips do not fit 16 bits
  EXPECT_EQ(ExtentInTwips(100000000, 15), 0);
  EXPECT_EQ(ExtentInTwips(2730, 12), 32760);
  EXPECT_EQ(ExtentInTwips(2731, 12), 0);
}

TEST(PreviewSize, FromTheHostsOuterRectangle) {
  const PreviewSize exact = PreviewSizeFor({300, 200, 452, 312}, 15, 15);
  EXPECT_EQ(exact.widthTwips, 2280);
  EXPECT_EQ(exact.heightTwips, 1680);
  EXPECT_EQ(exact.widthPixels, 152);
  EXPECT_EQ(exact.heightPixels, 112);

  const PreviewSize larger = PreviewSizeFor({-250, -10, -50, 140}, 15, 15);
  EXPECT_EQ(larger.widthPixels, 200);
  EXPECT_EQ(larger.heightPixels, 150);

  // Each direction on its own: a host too wide keeps its height.
  const PreviewSize wide = PreviewSizeFor({0, 0, 2185, 112}, 15, 15);
  EXPECT_EQ(wide.widthPixels, 0);
  EXPECT_EQ(wide.heightPixels, 112);

  // Extents past 32 bits.
  const PreviewSize huge = PreviewSizeFor({INT32_MIN, 0, INT32_MAX, 10}, 15, 15);
  EXPECT_EQ(huge.widthPixels, 0);
  EXPECT_EQ(huge.heightPixels, 10);

  EXPECT_EQ(PreviewSizeFor({}, 15, 15).widthPixels, 0);  // failed GetWindowRect
}

TEST(PreviewSize, HostHandleFromTheCommandLine) {
  const struct {
    const char* args;
    int32_t handle;
  } cases[] = {
      {"/p 1234", 1234}, {"/P:1234", 1234}, {"/p", 0},        {"/p abc", 0},
      {"/p -42", -42},   {"/p 12 34", 1234}, {"/p 2147483648", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModeLetter(c.args), "P") << c.args;
    EXPECT_EQ(PreviewHostHandle(c.args), c.handle) << c.args;
  }
}

// Records the embedding steps.
class FakePreviewPlatform : public PreviewPlatform {
 public:
  std::vector<std::string> calls;
  bool hostExists = true;
  bool canCreate = true;
  ScreenRect hostRect{100, 100, 300, 250};
  int32_t style = 0x16000000;  // WS_POPUP-free example bits

  bool HostIsWindow(int32_t host) override {
    calls.push_back("is-window " + std::to_string(host));
    return hostExists;
  }
  int32_t ReadHostRect(int32_t, ScreenRect& rect) override {
    calls.push_back("rect");
    rect = hostRect;
    return 1;
  }
  int32_t TwipsPerPixelX() override { return 15; }
  int32_t TwipsPerPixelY() override { return 15; }
  bool CreateHidden() override {
    calls.push_back("create");
    return canCreate;
  }
  int32_t Style() override { return style; }
  int32_t SetStyle(int32_t s) override {
    calls.push_back("style " + std::to_string(s));
    return 77;
  }
  int32_t SetParent(int32_t host) override {
    calls.push_back("parent " + std::to_string(host));
    return 0;
  }
  void Place(int32_t x, int32_t y, int32_t w, int32_t h) override {
    calls.push_back("place " + std::to_string(x) + "," + std::to_string(y) + " " +
                    std::to_string(w) + "x" + std::to_string(h));
  }
  void PlaceImage(int32_t w, int32_t h) override {
    calls.push_back("image " + std::to_string(w) + "x" + std::to_string(h));
  }
  void Show() override { calls.push_back("show"); }
};

TEST(EmbedPreview, MakesAChildBeforeReparentingAndFillsTheHost) {
  FakePreviewPlatform platform;
  LastApiResult = 5;
  ASSERT_TRUE(EmbedPreviewSteps(platform, 4242));
  const std::vector<std::string> expected = {
      "is-window 4242",
      "rect",
      "create",
      "style " + std::to_string(0x16000000 | 0x40000000),  // only WS_CHILD added
      "parent 4242",
      "place 0,0 200x150",
      "image 200x150",
      "show",
  };
  EXPECT_EQ(platform.calls, expected);
  EXPECT_EQ(LastApiResult, 0);  // SetParent's result was stored last
}

TEST(EmbedPreview, AHandleThatNamesNoWindowCreatesNothing) {
  FakePreviewPlatform platform;
  EXPECT_FALSE(EmbedPreviewSteps(platform, 0));
  EXPECT_TRUE(platform.calls.empty());  // 0 is never even asked about

  platform.hostExists = false;
  EXPECT_FALSE(EmbedPreviewSteps(platform, 1234));
  EXPECT_EQ(platform.calls, std::vector<std::string>{"is-window 1234"});
}

TEST(EmbedPreview, AWindowThatCannotBeCreatedEndsThePreview) {
  FakePreviewPlatform platform;
  platform.canCreate = false;
  EXPECT_FALSE(EmbedPreviewSteps(platform, 7));
  EXPECT_EQ(platform.calls.back(), "create");
}

}  // namespace
}  // namespace qb
