#include "controls/command/command_properties.h"

#include <gtest/gtest.h>

#include "command_fakes.h"
#include "controls/command/command_logic.h"
#include "platform/number_text.h"

namespace qb {
namespace {

using Events = std::vector<std::string>;

class CommandPropertiesTest : public ::testing::Test {
 protected:
  test::FakeCommandSurface surface;
  test::FakeCommandHost host;
  CommandLogic button{surface, host};

  void SetUp() override { surface.logic = &button; }
  const CommandFields& Fields() const { return button.Fields(); }
};

TEST_F(CommandPropertiesTest, ANewControlStartsDisabledAndTheFirstReadOfEnabledEnablesIt) {
  EXPECT_FALSE(Fields().enabled);
  EXPECT_EQ(Fields().firstRun, 0);
  EXPECT_EQ(Fields().buttonState, ButtonState::StateNone);
  EXPECT_EQ(button.Caption(), "Command");
  EXPECT_EQ(Fields().captionColour, 0);
  EXPECT_EQ(button.Font(), CaptionFont());
  EXPECT_EQ(button.Font().faceName, "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");

  // While still disabled, RefreshFace paints nothing; a colour set before
  // the first read of Enabled is kept.
  button.SetFontColour(0x0000FF);
  EXPECT_TRUE(surface.Take().empty());
  EXPECT_EQ(Fields().captionColour, 0x0000FF);

  EXPECT_TRUE(button.Enabled());
  EXPECT_EQ(surface.Take(), Events{"Normal"});
  EXPECT_EQ(Fields().firstRun, 1);
  EXPECT_EQ(host.changed, Events{"FontColour"});
}

TEST_F(CommandPropertiesTest, WhileFirstRunIsZeroAnEnabledCaptionStaysBlack) {
  button.SetEnabled(true);  // enabled, FirstRun still 0
  surface.Take();
  button.SetFontColour(0x00FF00);
  EXPECT_EQ(Fields().captionColour, 0);
  EXPECT_EQ(surface.Take(), Events{"Normal"});
  EXPECT_EQ(button.FontColour(), 0);
}

TEST_F(CommandPropertiesTest, GettersRepaintNormal) {
  button.ReadProperties();
  button.Initialize();
  button.GotFocus();
  button.MouseMove();
  surface.Take();
  // Focused and under the pointer, yet the getters paint Normal; the state
  // stays.
  button.SetFontColour(0x123456);
  EXPECT_EQ(button.FontColour(), 0x123456);
  EXPECT_EQ(button.Visible(), 255);
  EXPECT_TRUE(button.Enabled());
  EXPECT_EQ(surface.Take(), (Events{"Normal", "Normal", "Normal", "Normal"}));
  EXPECT_EQ(Fields().buttonState, ButtonState::StateHighLightSelect);

  button.SetEnabled(false);
  EXPECT_FALSE(button.Enabled());
  EXPECT_EQ(button.FontColour(), 0x123456);  // RefreshFace does nothing now
  EXPECT_EQ(surface.Take(), (Events{"Disable", "Disable"}));
  EXPECT_FALSE(Fields().captionEnabled);
}

TEST_F(CommandPropertiesTest, VisibleAndItsNotifications) {
  button.ReadProperties();
  surface.Take();
  button.SetVisible(0);
  EXPECT_FALSE(Fields().opaque);
  EXPECT_TRUE(surface.Take().empty());
  EXPECT_EQ(button.Visible(), 0);
  button.SetVisible(7);
  EXPECT_TRUE(Fields().opaque);
  EXPECT_EQ(button.Visible(), 255);
  EXPECT_EQ(surface.Take(), (Events{"Normal", "Normal"}));

  button.SetCaption("OK");
  EXPECT_TRUE(surface.Take().empty());  // the label shows it; the face stays
  CaptionFont big;
  big.sizeCentipoints = 1200;
  button.SetFont(big);
  EXPECT_EQ(button.Font(), big);
  EXPECT_EQ(host.changed, (Events{"Visible", "Visible", "Caption", "Font"}));
}

TEST_F(CommandPropertiesTest, AColourThatCannotBeSetRepaintsWithoutNotifying) {
  button.ReadProperties();
  button.SetFontColour(0x8000000F);  // COLOR_BTNTEXT's system colour value
  surface.Take();
  host.changed.clear();
  button.SetFontColour(0x01000000 * 0x40);
  EXPECT_EQ(Fields().captionColour, static_cast<int32_t>(0x8000000F));
  EXPECT_EQ(surface.Take(), Events{"Normal"});
  EXPECT_TRUE(host.changed.empty());
}

TEST_F(CommandPropertiesTest, StoredCaptionAndFontOnlyLoadEnabledBlackAndOpaque) {
  CaptionFont stored;
  stored.faceName = "Arial";
  stored.sizeCentipoints = 1400;
  stored.weight = 700;
  stored.italic = true;
  host.WriteText("Caption", "\x90\xDD\x92\xE8", "Command");  // "設定"
  host.WriteFont("Font", stored, host.AmbientFont());
  button.ReadProperties();
  EXPECT_TRUE(Fields().enabled);
  EXPECT_EQ(Fields().firstRun, 1);
  EXPECT_EQ(Fields().captionColour, 0);
  EXPECT_TRUE(Fields().opaque);
  EXPECT_EQ(button.Caption(), "\x90\xDD\x92\xE8");
  // Only the face name is taken from a stored font.
  CaptionFont expected;
  expected.faceName = "Arial";
  EXPECT_EQ(button.Font(), expected);
  EXPECT_EQ(surface.Take(), Events{"Normal"});
  EXPECT_TRUE(host.changed.empty());
}

TEST_F(CommandPropertiesTest, RoundTrips) {
  // "Command" equals the written default: not kept, read back as "Command1".
  button.ReadProperties();
  button.SetCaption("Command");
  surface.Take();
  button.WriteProperties();
  EXPECT_EQ(surface.Take(), Events{"Normal"});
  for (const char* key : {"Enabled", "Caption", "FirstRun", "Font", "FontColour", "Visible"}) {
    EXPECT_FALSE(host.Holds(key)) << key;
  }
  test::FakeCommandSurface otherSurface;
  CommandLogic copy(otherSurface, host);
  copy.ReadProperties();
  EXPECT_EQ(copy.Caption(), "Command1");

  // Everything else survives.
  button.SetCaption("Command2");
  button.SetEnabled(false);
  button.SetFontColour(0x00336699);
  button.SetVisible(0);
  CaptionFont font;
  font.faceName = "IPAPGothic";
  button.SetFont(font);
  button.WriteProperties();
  CommandLogic again(otherSurface, host);
  again.ReadProperties();
  EXPECT_EQ(again.Caption(), "Command2");
  EXPECT_FALSE(again.Fields().enabled);
  EXPECT_EQ(again.Fields().captionColour, 0x00336699);
  EXPECT_FALSE(again.Fields().opaque);
  EXPECT_EQ(again.Font().faceName, "IPAPGothic");
  EXPECT_EQ(again.Fields().firstRun, 1);

  // A new control saves FirstRun 0, and loads it back as new.
  test::FakeCommandHost fresh;
  CommandLogic newOne(otherSurface, fresh);
  newOne.WriteProperties();
  EXPECT_EQ(fresh.ReadText("FirstRun", "1"), "0");
  CommandLogic reloaded(otherSurface, fresh);
  reloaded.ReadProperties();
  EXPECT_EQ(reloaded.Fields().firstRun, 0);
  EXPECT_FALSE(reloaded.Fields().enabled);
}

TEST_F(CommandPropertiesTest, StoredValuesThatDoNotConvertLeaveThePropertyAlone) {
  host.WriteText("Enabled", "maybe", "True");
  host.WriteText("FirstRun", "256", "1");
  host.WriteText("FontColour", "red", "0");
  host.WriteText("Visible", "70000", "1");
  button.ReadProperties();
  EXPECT_FALSE(Fields().enabled);
  EXPECT_EQ(Fields().firstRun, 0);
  EXPECT_EQ(Fields().captionColour, 0);
  EXPECT_TRUE(Fields().opaque);
  EXPECT_EQ(button.Caption(), "Command1");  // loading went on
  EXPECT_TRUE(surface.Take().empty());      // still disabled: RefreshFace does nothing
}

TEST(PropertyTexts, Conversions) {
  EXPECT_EQ(BooleanFromText("True"), true);
  EXPECT_EQ(BooleanFromText("false"), false);
  EXPECT_EQ(BooleanFromText("-1"), true);
  EXPECT_EQ(BooleanFromText("0"), false);
  EXPECT_EQ(BooleanFromText("Truely"), std::nullopt);
  EXPECT_EQ(BooleanFromText(""), std::nullopt);
  EXPECT_EQ(IntegerFromText("2.5", 0, 255), 2);  // half to even
  EXPECT_EQ(IntegerFromText("3.5", 0, 255), 4);
  EXPECT_EQ(IntegerFromText("255.4", 0, 255), 255);
  EXPECT_EQ(IntegerFromText("255.5", 0, 255), std::nullopt);
  EXPECT_EQ(IntegerFromText("-1", 0, 255), std::nullopt);
  EXPECT_EQ(IntegerFromText("&HFF", 0, 255), std::nullopt);
  EXPECT_TRUE(IsColourValue(0x00FFFFFF));
  EXPECT_TRUE(IsColourValue(static_cast<int32_t>(0x80000012)));
  EXPECT_FALSE(IsColourValue(static_cast<int32_t>(0x80000100)));
  EXPECT_FALSE(IsColourValue(0x01000000));
}

}  // namespace
}  // namespace qb
