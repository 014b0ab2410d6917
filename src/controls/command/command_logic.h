// The skinned button `Command` without its window: the interaction states
// that choose the picture, the public members with their repaints, and the
// persisted properties. The window feeds it messages and timer ticks and
// performs the paints it asks for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controls/command/command_face.h"
#include "controls/command/command_properties.h"

namespace qb {

enum class ButtonState : uint8_t {
  StateNone = 0,  // before Initialize
  StateNormal = 1,
  StateHighLight = 2,        // pointer over the button, not focused
  StateSelected = 3,         // focused, pointer elsewhere
  StateHighLightSelect = 4,  // focused and pointer over the button
};

// Mouse button values as the handlers receive them; only the left one is 1.
inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;
inline constexpr int16_t kMiddleButton = 4;

inline constexpr uint32_t kMouseTimerMs = 100;

// What the control's window does for it.
class CommandSurface {
 public:
  virtual ~CommandSurface() = default;
  // Repaints the whole face from `picture` into the back buffer, with the
  // gradient direction of Fields().hotGradient, and shows it.
  virtual void PaintFace(FacePicture picture) = 0;
  // The caption (text, colour, font, enabled look) or the face opacity
  // changed: show them again over the face as it is.
  virtual void CaptionChanged() = 0;
  virtual void StartMouseTimer(uint32_t intervalMs) = 0;
  virtual void RaiseClick() = 0;
};

struct CommandFields {
  bool hotGradient = false;
  uint8_t firstRun = 0;
  bool enabled = false;
  ButtonState buttonState = ButtonState::StateNone;
  bool mouseIsDown = false;
  // The mouse buttons (their values as bits) pressed on the control and not
  // released since: only their releases can click.
  uint8_t pressedHere = 0;
  // The caption label and the face's opacity.
  std::string caption = texts::kCommandCaption;
  int32_t captionColour = 0;
  CaptionFont font;
  bool captionEnabled = true;
  bool opaque = true;
};

// The pointer-off test of a timer tick: off unless the window under the
// pointer is the control's own. A handle that could not be read counts as
// off too.
bool PointerIsOff(std::optional<uintptr_t> windowUnderPointer, uintptr_t control,
                  std::optional<uintptr_t> host);

class CommandLogic {
 public:
  // A new control: all fields zero, caption "Command" in black, design font.
  CommandLogic(CommandSurface& surface, PropertyStore& host);

  // Public members.
  void Initialize();
  void SetVisible(uint8_t value);
  uint8_t Visible();
  void SetFontColour(int32_t colour);
  int32_t FontColour();
  bool Enabled();
  void SetEnabled(bool value);
  const std::string& Caption() const { return fields_.caption; }
  void SetCaption(const std::string& text);
  const CaptionFont& Font() const { return fields_.font; }
  void SetFont(const CaptionFont& font);

  // Persistence, called by the host.
  void ReadProperties();
  void WriteProperties();

  // Inputs. The caption label's mouse events arrive here as the control's.
  // A release clicks only when its press began on the control and the
  // pointer is over the control (`pointerOver`) as it ends.
  void MouseDown(int16_t button);
  void MouseMove();
  void MouseUp(int16_t button, bool pointerOver);
  // The mouse was taken from the control mid-press: every press on it ends
  // as a release off it would.
  void PressLost();
  void GotFocus();
  void LostFocus();
  void MouseTimerTick(bool pointerOff);
  void Resize();

  // The fields as they are, without the side effects of the getters.
  const CommandFields& Fields() const { return fields_; }

 private:
  void PaintFace(FacePicture picture);
  void ApplyEnabledLook();
  void RefreshFace();
  void LeaveHover();
  void ClickRule(bool clickedHere);

  CommandSurface& surface_;
  PropertyStore& host_;
  CommandFields fields_;
};

}  // namespace qb
