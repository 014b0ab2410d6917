#include "controls/command/command_logic.h"

#include <gtest/gtest.h>

#include <memory>

#include "command_fakes.h"

namespace qb {
namespace {

using Events = std::vector<std::string>;
using S = ButtonState;

// A button as the dialog has it: loaded from stored caption and font, hence
// enabled with FirstRun 1.
class CommandTest : public ::testing::Test {
 protected:
  test::FakeCommandSurface surface;
  test::FakeCommandHost host;
  std::unique_ptr<CommandLogic> control;

  void SetUp() override { Renew(); }

  void Renew() {
    control = std::make_unique<CommandLogic>(surface, host);
    surface.logic = control.get();
    surface.events.clear();
  }
  CommandLogic& Button() { return *control; }

  void Load() {
    Button().ReadProperties();
    surface.Take();
  }

  // Brings a loaded, initialised button into `state` by the inputs that
  // lead there, optionally with a mouse button pressed on it and held.
  void Reach(S state, int16_t held = 0) {
    Load();
    if (state != S::StateNone) Button().Initialize();
    switch (state) {
      case S::StateNone:
      case S::StateNormal: break;
      case S::StateHighLight: Button().MouseMove(); break;
      case S::StateSelected: Button().GotFocus(); break;
      case S::StateHighLightSelect:
        Button().GotFocus();
        Button().MouseMove();
        break;
    }
    if (held) Button().MouseDown(held);
    ASSERT_EQ(Button().Fields().buttonState, state);
    ASSERT_EQ(Button().Fields().mouseIsDown, held == kLeftButton);
    surface.Take();
    host.changed.clear();
  }

  S State() const { return control->Fields().buttonState; }
};

// The releases are over the button unless "Off" says they are elsewhere.
enum class Input {
  Move, LeftDown, RightDown, LeftUp, LeftUpOff, RightUp, FocusGained, FocusLost, TickOff, TickOn,
  LostThenLeftUp, LostThenRightUp  // the mouse taken away mid-press, then released over the button
};

constexpr int16_t kNone = 0;
constexpr int16_t kLeft = kLeftButton;
constexpr int16_t kRight = kRightButton;

struct Row {
  const char* name;
  S before;
  int16_t held;  // pressed on the button before the input
  Input input;
  S after;
  Events painted;  // faces painted, then "Click" when one is raised
  bool mouseDownAfter;
};

void Apply(CommandLogic& b, Input input) {
  switch (input) {
    case Input::Move: b.MouseMove(); break;
    case Input::LeftDown: b.MouseDown(kLeftButton); break;
    case Input::RightDown: b.MouseDown(kRightButton); break;
    case Input::LeftUp: b.MouseUp(kLeftButton, true); break;
    case Input::LeftUpOff: b.MouseUp(kLeftButton, false); break;
    case Input::RightUp: b.MouseUp(kRightButton, true); break;
    case Input::FocusGained: b.GotFocus(); break;
    case Input::FocusLost: b.LostFocus(); break;
    case Input::TickOff: b.MouseTimerTick(true); break;
    case Input::TickOn: b.MouseTimerTick(false); break;
    case Input::LostThenLeftUp: b.PressLost(), b.MouseUp(kLeftButton, true); break;
    case Input::LostThenRightUp: b.PressLost(), b.MouseUp(kRightButton, true); break;
  }
}

// Every row of the transition table, from each state it names (and the
// "any other" rows from every other state). "^" marks a dark-to-light face.
const Row kRows[] = {
    {"move Normal", S::StateNormal, kNone, Input::Move, S::StateHighLight, {"HighLight^"},
     false},
    {"move Normal held", S::StateNormal, kLeft, Input::Move, S::StateHighLight, {"HighLight^"},
     true},
    {"move Selected", S::StateSelected, kNone, Input::Move, S::StateHighLightSelect,
     {"HighLightSelect"}, false},
    {"move Selected held", S::StateSelected, kLeft, Input::Move, S::StateSelected, {}, true},
    {"move None", S::StateNone, kNone, Input::Move, S::StateNone, {}, false},
    {"move HighLight", S::StateHighLight, kNone, Input::Move, S::StateHighLight, {}, false},
    {"move HighLightSelect", S::StateHighLightSelect, kNone, Input::Move,
     S::StateHighLightSelect, {}, false},

    {"left down None", S::StateNone, kNone, Input::LeftDown, S::StateNone, {"Pressed"}, true},
    {"left down Normal", S::StateNormal, kNone, Input::LeftDown, S::StateNormal, {"Pressed"},
     true},
    {"left down HighLight", S::StateHighLight, kNone, Input::LeftDown, S::StateHighLight,
     {"Pressed^"}, true},
    {"left down Selected", S::StateSelected, kNone, Input::LeftDown, S::StateSelected,
     {"Pressed"}, true},
    {"left down HighLightSelect", S::StateHighLightSelect, kNone, Input::LeftDown,
     S::StateHighLightSelect, {"Pressed"}, true},
    {"right down HighLight", S::StateHighLight, kNone, Input::RightDown, S::StateHighLight, {},
     false},
    {"right down Selected", S::StateSelected, kNone, Input::RightDown, S::StateSelected, {},
     false},

    {"left up HighLight", S::StateHighLight, kLeft, Input::LeftUp, S::StateHighLight,
     {"Normal^", "Click"}, false},
    {"left up HighLightSelect", S::StateHighLightSelect, kLeft, Input::LeftUp,
     S::StateHighLightSelect, {"HighLightSelect", "Click"}, false},
    {"left up Normal", S::StateNormal, kLeft, Input::LeftUp, S::StateNormal, {"Click"}, false},
    {"left up None", S::StateNone, kLeft, Input::LeftUp, S::StateNone, {"Click"}, false},
    {"left up Selected", S::StateSelected, kLeft, Input::LeftUp, S::StateSelected, {}, false},
    {"right up HighLight", S::StateHighLight, kRight, Input::RightUp, S::StateHighLight,
     {"Click"}, false},
    {"right up Normal", S::StateNormal, kRight, Input::RightUp, S::StateNormal, {"Click"}, false},
    {"right up Selected", S::StateSelected, kRight, Input::RightUp, S::StateSelected, {}, false},

    // Releases that end a press begun elsewhere, or end elsewhere: the
    // face as above, and no Click.
    {"left up HighLight, pressed elsewhere", S::StateHighLight, kNone, Input::LeftUp,
     S::StateHighLight, {"Normal^"}, false},
    {"left up Normal, pressed elsewhere", S::StateNormal, kNone, Input::LeftUp, S::StateNormal,
     {}, false},
    {"right up HighLight, left pressed here", S::StateHighLight, kLeft, Input::RightUp,
     S::StateHighLight, {}, true},
    {"right up Normal, pressed elsewhere", S::StateNormal, kNone, Input::RightUp,
     S::StateNormal, {}, false},
    {"left up HighLightSelect, released elsewhere", S::StateHighLightSelect, kLeft,
     Input::LeftUpOff, S::StateHighLightSelect, {"HighLightSelect"}, false},
    {"left up None, released elsewhere", S::StateNone, kLeft, Input::LeftUpOff, S::StateNone,
     {}, false},
    {"left up HighLightSelect, capture lost first", S::StateHighLightSelect, kLeft, Input::LostThenLeftUp,
     S::StateHighLightSelect, {"HighLightSelect", "HighLightSelect"}, false},
    {"right up Normal, capture lost first", S::StateNormal, kRight, Input::LostThenRightUp, S::StateNormal, {}, false},

    {"focus HighLight", S::StateHighLight, kNone, Input::FocusGained, S::StateHighLightSelect,
     {"Pressed^"}, false},
    {"focus None", S::StateNone, kNone, Input::FocusGained, S::StateSelected, {"Selected"},
     false},
    {"focus Normal", S::StateNormal, kNone, Input::FocusGained, S::StateSelected, {"Selected"},
     false},
    {"focus Selected", S::StateSelected, kNone, Input::FocusGained, S::StateSelected,
     {"Selected"}, false},
    {"focus HighLightSelect", S::StateHighLightSelect, kNone, Input::FocusGained,
     S::StateSelected, {"Selected"}, false},

    {"focus lost None", S::StateNone, kNone, Input::FocusLost, S::StateNormal, {"Normal"},
     false},
    {"focus lost HighLight", S::StateHighLight, kNone, Input::FocusLost, S::StateNormal,
     {"Normal"}, false},
    {"focus lost Selected", S::StateSelected, kNone, Input::FocusLost, S::StateNormal,
     {"Normal"}, false},
    {"focus lost HighLightSelect", S::StateHighLightSelect, kLeft, Input::FocusLost,
     S::StateNormal, {"Normal"}, true},
    {"focus lost Normal", S::StateNormal, kNone, Input::FocusLost, S::StateNormal, {}, false},

    {"tick off HighLight", S::StateHighLight, kNone, Input::TickOff, S::StateNormal, {"Normal"},
     false},
    {"tick off HighLightSelect", S::StateHighLightSelect, kNone, Input::TickOff,
     S::StateSelected, {"Selected"}, false},
    {"tick off HighLightSelect held", S::StateHighLightSelect, kLeft, Input::TickOff,
     S::StateSelected, {"Selected"}, true},
    {"tick off Normal", S::StateNormal, kNone, Input::TickOff, S::StateNormal, {}, false},
    {"tick off Selected", S::StateSelected, kNone, Input::TickOff, S::StateSelected, {}, false},
    {"tick off None", S::StateNone, kNone, Input::TickOff, S::StateNone, {}, false},
    {"tick on HighLight", S::StateHighLight, kNone, Input::TickOn, S::StateHighLight, {}, false},
    {"tick on HighLightSelect", S::StateHighLightSelect, kNone, Input::TickOn,
     S::StateHighLightSelect, {}, false},
};

TEST_F(CommandTest, EveryRowOfTheTransitionTable) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    Renew();
    Reach(row.before, row.held);
    Apply(Button(), row.input);
    EXPECT_EQ(State(), row.after);
    EXPECT_EQ(surface.Take(), row.painted);
    EXPECT_EQ(Button().Fields().mouseIsDown, row.mouseDownAfter);
  }
}

TEST_F(CommandTest, WhileDisabledNothingRepaintsAndStateIsFrozen) {
  Reach(S::StateHighLightSelect, true);
  Button().SetEnabled(false);
  EXPECT_EQ(surface.Take(), Events{"Disable"});
  EXPECT_FALSE(Button().Fields().captionEnabled);
  for (Input input : {Input::Move, Input::LeftDown, Input::LeftUp, Input::RightUp,
                      Input::FocusLost, Input::FocusGained, Input::TickOff}) {
    Apply(Button(), input);
  }
  EXPECT_TRUE(surface.events.empty());
  EXPECT_EQ(State(), S::StateHighLightSelect);
  EXPECT_TRUE(Button().Fields().mouseIsDown);
  // Resize still shows the disabled look.
  Button().Resize();
  EXPECT_EQ(surface.Take(), Events{"Disable"});

  // Enabled again: Normal, but the frozen state goes on.
  Button().SetEnabled(true);
  EXPECT_EQ(surface.Take(), Events{"Normal"});
  EXPECT_TRUE(Button().Fields().captionEnabled);
  Button().MouseTimerTick(true);
  EXPECT_EQ(State(), S::StateSelected);
  EXPECT_EQ(surface.Take(), Events{"Selected"});
  Button().MouseUp(kLeftButton, true);
  EXPECT_TRUE(surface.events.empty());  // released in StateSelected: no Click
  EXPECT_EQ(host.changed, (Events{"Enabled", "Enabled"}));
}

TEST_F(CommandTest, TypicalSequences) {
  // A click on a button without focus, then the pointer leaves and the
  // focus moves away.
  Reach(S::StateNormal);
  Button().MouseMove();
  Button().MouseDown(kLeftButton);
  Button().GotFocus();
  Button().MouseUp(kLeftButton, true);
  Button().MouseTimerTick(true);
  Button().LostFocus();
  EXPECT_EQ(surface.Take(), (Events{"HighLight^", "Pressed^", "Pressed^", "HighLightSelect^",
                                    "Click", "Selected", "Normal"}));

  // Focus by the keyboard, then a click.
  Reach(S::StateNormal);
  Button().GotFocus();
  Button().MouseMove();
  Button().MouseDown(kLeftButton);
  Button().MouseUp(kLeftButton, true);
  EXPECT_EQ(surface.Take(),
            (Events{"Selected", "HighLightSelect", "Pressed", "HighLightSelect", "Click"}));

  // Press, drag off, release elsewhere; then press, drag off and back,
  // release over the button: no Click either time.
  Reach(S::StateHighLightSelect);
  Button().MouseDown(kLeftButton);
  Button().MouseMove();
  Button().MouseTimerTick(true);
  Button().MouseMove();
  Button().MouseUp(kLeftButton, false);
  EXPECT_EQ(surface.Take(), (Events{"Pressed", "Selected"}));
  Button().MouseMove();
  Button().MouseDown(kLeftButton);
  Button().MouseTimerTick(true);
  Button().MouseMove();  // back over the button, still holding
  Button().MouseTimerTick(false);
  Button().MouseUp(kLeftButton, true);
  EXPECT_EQ(surface.Take(), (Events{"HighLightSelect", "Pressed", "Selected"}));
  EXPECT_EQ(State(), S::StateSelected);
}

TEST_F(CommandTest, BeforeInitialize) {
  Load();
  // Never focused: no light under the pointer, and no timer.
  Button().MouseMove();
  Button().MouseTimerTick(true);
  EXPECT_TRUE(surface.Take().empty());
  // The first click brings the focus and raises nothing; the next pointer
  // move lights it up and the next click raises Click.
  Button().MouseDown(kLeftButton);
  Button().GotFocus();
  Button().MouseUp(kLeftButton, true);
  EXPECT_EQ(surface.Take(), (Events{"Pressed", "Selected"}));
  Button().MouseMove();
  Button().MouseDown(kLeftButton);
  Button().MouseUp(kLeftButton, true);
  EXPECT_EQ(surface.Take(), (Events{"HighLightSelect", "Pressed", "HighLightSelect", "Click"}));
  // Once it has had and lost the focus it lights up, and stays lit: no
  // timer runs to end the hover.
  Button().LostFocus();
  Button().MouseMove();
  EXPECT_EQ(surface.Take(), (Events{"Normal", "HighLight^"}));
  EXPECT_EQ(State(), S::StateHighLight);

  // A press and release raise Click in every state but StateSelected,
  // StateNone included.
  CommandLogic fresh(surface, host);
  surface.logic = &fresh;
  fresh.ReadProperties();
  surface.Take();
  fresh.MouseDown(kRightButton);
  fresh.MouseUp(kRightButton, true);
  EXPECT_EQ(surface.Take(), Events{"Click"});
}

TEST_F(CommandTest, InitializeSetsNormalWithoutRepaintingEvenWhenFocused) {
  Load();
  Button().Initialize();
  EXPECT_EQ(surface.Take(), Events{"timer 100"});
  Button().GotFocus();
  surface.Take();
  Button().Initialize();
  EXPECT_EQ(State(), S::StateNormal);
  EXPECT_EQ(surface.Take(), Events{"timer 100"});
}

TEST_F(CommandTest, ClickRule) {
  // A release after a left press in StateHighLight paints Normal although
  // the pointer is still there; it stays Normal until the pointer leaves
  // and comes back.
  Reach(S::StateHighLight);
  Button().MouseDown(kLeftButton);
  Button().MouseUp(kLeftButton, true);
  Button().MouseMove();
  Button().MouseTimerTick(false);
  EXPECT_EQ(surface.Take(), (Events{"Pressed^", "Normal^", "Click"}));
  Button().MouseTimerTick(true);
  Button().MouseMove();
  EXPECT_EQ(surface.Take(), (Events{"Normal", "HighLight^"}));

  // The right button: its press paints nothing, its release clicks.
  Reach(S::StateHighLight);
  Button().MouseDown(kRightButton);
  Button().MouseUp(kRightButton, true);
  Button().MouseDown(kMiddleButton);
  Button().MouseUp(kMiddleButton, true);
  EXPECT_EQ(surface.Take(), (Events{"Click", "Click"}));

  // A press on an unfocused, resting button brings StateSelected: no Click.
  Reach(S::StateNormal);
  Button().MouseDown(kLeftButton);
  Button().GotFocus();
  Button().MouseUp(kLeftButton, true);
  EXPECT_EQ(surface.Take(), (Events{"Pressed", "Selected"}));

  // Losing focus under the pointer: Normal, then the next move lights up.
  Reach(S::StateHighLightSelect);
  Button().LostFocus();
  Button().MouseMove();
  EXPECT_EQ(surface.Take(), (Events{"Normal", "HighLight^"}));
}

TEST_F(CommandTest, APressClicksOnlyWhereItBeganAndEnded) {
  // Pressed on the dialog, dragged over the button and released there.
  Reach(S::StateNormal);
  Button().MouseMove();
  Button().MouseUp(kLeftButton, true);
  Button().MouseUp(kRightButton, true);
  EXPECT_EQ(surface.Take(), (Events{"HighLight^", "Normal^"}));

  // Pressed here and released over another button before a tick noticed
  // the pointer leave; then a press and release here clicks.
  Reach(S::StateHighLightSelect);
  Button().MouseDown(kLeftButton);
  Button().MouseUp(kLeftButton, false);
  EXPECT_EQ(surface.Take(), (Events{"Pressed", "HighLightSelect"}));
  Button().MouseDown(kLeftButton);
  Button().MouseUp(kLeftButton, true);
  EXPECT_EQ(surface.Take(), (Events{"Pressed", "HighLightSelect", "Click"}));

  // A release clicks once for its press: another release without a press
  // clicks nothing, and each button answers for its own press.
  Button().MouseUp(kLeftButton, true);
  Button().MouseDown(kRightButton);
  Button().MouseUp(kLeftButton, true);
  Button().MouseUp(kRightButton, true);
  EXPECT_EQ(surface.Take(), (Events{"HighLightSelect", "HighLightSelect", "Click"}));
  EXPECT_EQ(Button().Fields().pressedHere, 0);
}

TEST(PointerIsOff, OnlyTheControlsOwnWindowKeepsTheHover) {
  const uintptr_t control = 10, host = 20, other = 30;
  EXPECT_FALSE(PointerIsOff(control, control, host));
  EXPECT_TRUE(PointerIsOff(host, control, host));
  EXPECT_TRUE(PointerIsOff(other, control, host));
  EXPECT_TRUE(PointerIsOff(std::nullopt, control, host));
  EXPECT_TRUE(PointerIsOff(control, control, std::nullopt));
}

}  // namespace
}  // namespace qb
