#include "controls/command/command_logic.h"

#include <limits>

#include "platform/number_text.h"

namespace qb {

namespace {

// The button values are bits already.
uint8_t ButtonBit(int16_t button) {
  return static_cast<uint8_t>(button & (kLeftButton | kRightButton | kMiddleButton));
}

}  // namespace

bool PointerIsOff(std::optional<uintptr_t> windowUnderPointer, uintptr_t control,
                  std::optional<uintptr_t> host) {
  if (!windowUnderPointer || !host) return true;
  if (*windowUnderPointer == *host) return true;
  return *windowUnderPointer != control;
}

CommandLogic::CommandLogic(CommandSurface& surface, PropertyStore& host)
    : surface_(surface), host_(host) {}

void CommandLogic::Initialize() {
  fields_.buttonState = ButtonState::StateNormal;
  surface_.StartMouseTimer(kMouseTimerMs);
}

void CommandLogic::SetVisible(uint8_t value) {
  fields_.opaque = value != 0;
  surface_.CaptionChanged();
  if (fields_.opaque) RefreshFace();
  host_.PropertyChanged(texts::kCommandKeyVisible);
}

uint8_t CommandLogic::Visible() {
  if (!fields_.opaque) return 0;
  RefreshFace();
  return 255;
}

void CommandLogic::SetFontColour(int32_t colour) {
  if (!IsColourValue(colour)) {
    RefreshFace();
    return;
  }
  fields_.captionColour = colour;
  surface_.CaptionChanged();
  RefreshFace();
  host_.PropertyChanged(texts::kCommandKeyFontColour);
}

int32_t CommandLogic::FontColour() {
  const int32_t colour = fields_.captionColour;
  RefreshFace();
  return colour;
}

bool CommandLogic::Enabled() {
  if (fields_.firstRun == 0) {
    RefreshFace();
    fields_.firstRun = 1;
    fields_.enabled = true;
  }
  const bool value = fields_.enabled;
  ApplyEnabledLook();
  return value;
}

void CommandLogic::SetEnabled(bool value) {
  fields_.enabled = value;
  host_.PropertyChanged(texts::kCommandKeyEnabled);
  ApplyEnabledLook();
}

void CommandLogic::SetCaption(const std::string& text) {
  fields_.caption = text;
  surface_.CaptionChanged();
  host_.PropertyChanged(texts::kCommandKeyCaption);
}

void CommandLogic::SetFont(const CaptionFont& font) {
  fields_.font = font;
  surface_.CaptionChanged();
  host_.PropertyChanged(texts::kCommandKeyFont);
}

void CommandLogic::ReadProperties() {
  using Limits32 = std::numeric_limits<int32_t>;
  using Limits16 = std::numeric_limits<int16_t>;
  if (auto enabled = BooleanFromText(host_.ReadText(texts::kCommandKeyEnabled, BooleanText(true)))) {
    fields_.enabled = *enabled;
  }
  fields_.caption = host_.ReadText(texts::kCommandKeyCaption, texts::kCommandReadCaption);
  // Only the face name: the caption keeps its own size, weight and style.
  fields_.font.faceName = host_.ReadFont(texts::kCommandKeyFont, host_.AmbientFont()).faceName;
  if (auto firstRun = IntegerFromText(host_.ReadText(texts::kCommandKeyFirstRun, "1"), 0, 255)) {
    fields_.firstRun = static_cast<uint8_t>(*firstRun);
  }
  if (auto colour = IntegerFromText(host_.ReadText(texts::kCommandKeyFontColour, "0"),
                                    Limits32::min(), Limits32::max())) {
    if (IsColourValue(*colour)) fields_.captionColour = *colour;
  }
  if (auto visible = IntegerFromText(host_.ReadText(texts::kCommandKeyVisible, "1"),
                                     Limits16::min(), Limits16::max())) {
    fields_.opaque = *visible != 0;
  }
  surface_.CaptionChanged();
  RefreshFace();
}

void CommandLogic::WriteProperties() {
  host_.WriteText(texts::kCommandKeyEnabled, BooleanText(fields_.enabled), BooleanText(true));
  host_.WriteText(texts::kCommandKeyCaption, fields_.caption, texts::kCommandCaption);
  host_.WriteText(texts::kCommandKeyFirstRun, std::to_string(fields_.firstRun), "1");
  host_.WriteFont(texts::kCommandKeyFont, fields_.font, host_.AmbientFont());
  host_.WriteText(texts::kCommandKeyFontColour, std::to_string(fields_.captionColour), "0");
  host_.WriteText(texts::kCommandKeyVisible, fields_.opaque ? "1" : "0", "1");
  RefreshFace();
}

void CommandLogic::MouseDown(int16_t button) {
  if (!fields_.enabled) return;
  fields_.pressedHere |= ButtonBit(button);
  if (button != kLeftButton) return;
  PaintFace(FacePicture::Pressed);
  fields_.mouseIsDown = true;
}

void CommandLogic::MouseMove() {
  if (!fields_.enabled) return;
  if (fields_.buttonState == ButtonState::StateNormal) {
    fields_.buttonState = ButtonState::StateHighLight;
    PaintFace(FacePicture::HighLight);
  } else if (fields_.buttonState == ButtonState::StateSelected && !fields_.mouseIsDown) {
    fields_.buttonState = ButtonState::StateHighLightSelect;
    PaintFace(FacePicture::HighLightSelect);
  }
}

void CommandLogic::MouseUp(int16_t button, bool pointerOver) {
  if (!fields_.enabled) return;
  if (button == kLeftButton) {
    if (fields_.buttonState == ButtonState::StateHighLight) {
      PaintFace(FacePicture::Normal);
    } else if (fields_.buttonState == ButtonState::StateHighLightSelect) {
      PaintFace(FacePicture::HighLightSelect);
    }
    fields_.mouseIsDown = false;
  }
  const bool pressedHere = (fields_.pressedHere & ButtonBit(button)) != 0;
  fields_.pressedHere &= static_cast<uint8_t>(~ButtonBit(button));
  ClickRule(pressedHere && pointerOver);
}

void CommandLogic::PressLost() {
  for (int16_t button : {kLeftButton, kRightButton, kMiddleButton}) {
    if (fields_.pressedHere & ButtonBit(button)) MouseUp(button, false);
  }
}

void CommandLogic::GotFocus() {
  if (!fields_.enabled) return;
  if (fields_.buttonState == ButtonState::StateHighLight) {
    fields_.buttonState = ButtonState::StateHighLightSelect;
    PaintFace(FacePicture::Pressed);
  } else {
    fields_.buttonState = ButtonState::StateSelected;
    PaintFace(FacePicture::Selected);
  }
}

void CommandLogic::LostFocus() {
  if (!fields_.enabled || fields_.buttonState == ButtonState::StateNormal) return;
  fields_.buttonState = ButtonState::StateNormal;
  PaintFace(FacePicture::Normal);
}

void CommandLogic::MouseTimerTick(bool pointerOff) {
  if (pointerOff) LeaveHover();
}

void CommandLogic::Resize() { ApplyEnabledLook(); }

void CommandLogic::PaintFace(FacePicture picture) {
  switch (fields_.buttonState) {
    case ButtonState::StateNormal: fields_.hotGradient = false; break;
    case ButtonState::StateHighLight: fields_.hotGradient = true; break;
    case ButtonState::StateSelected: fields_.hotGradient = false; break;
    // The focused hover keeps the direction of whichever face came before.
    case ButtonState::StateNone:
    case ButtonState::StateHighLightSelect: break;
  }
  surface_.PaintFace(picture);
}

void CommandLogic::ApplyEnabledLook() {
  fields_.captionEnabled = fields_.enabled;
  PaintFace(fields_.enabled ? FacePicture::Normal : FacePicture::Disable);
}

void CommandLogic::RefreshFace() {
  if (!fields_.enabled) return;
  fields_.captionEnabled = true;
  if (fields_.firstRun == 0) fields_.captionColour = 0;
  PaintFace(FacePicture::Normal);
}

void CommandLogic::LeaveHover() {
  if (!fields_.enabled) return;
  if (fields_.buttonState == ButtonState::StateHighLight) {
    fields_.buttonState = ButtonState::StateNormal;
    PaintFace(FacePicture::Normal);
  } else if (fields_.buttonState == ButtonState::StateHighLightSelect) {
    fields_.buttonState = ButtonState::StateSelected;
    PaintFace(FacePicture::Selected);
  }
}

// Like a push button: a press that began elsewhere (on the dialog, on
// another button) and ends here is no click, nor is one that ends elsewhere.
void CommandLogic::ClickRule(bool clickedHere) {
  if (clickedHere && fields_.buttonState != ButtonState::StateSelected) surface_.RaiseClick();
}

}  // namespace qb
