// Pic_C, the settings dialog's panel: a child window whose backing image
// holds the tiled texture, with the heading's frame, the labels, the choice
// marks and the file path drawn over it. Presses on a choice and clicks of
// the controls on it go to its owner.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/win32/base_window.h"
#include "platform/win32/gdi.h"
#include "settings_dialog/dialog_drawing_win32.h"
#include "settings_dialog/dialog_geometry.h"

namespace qb {

class PanelOwner {
 public:
  virtual ~PanelOwner() = default;
  // Any mouse button pressed on the mark or label of choice `kind`.
  virtual void ChoicePressed(int16_t kind) = 0;
  // BN_CLICKED of the control `id` on the panel.
  virtual void ControlClicked(int id) = 0;
  // Shows the hourglass while the owner waits on the shell; false when it
  // does not wait.
  virtual bool SetWaitPointer() = 0;
};

class Panel : public BaseWindow<Panel> {
 public:
  explicit Panel(PanelOwner& owner) : owner_(owner) {}

  // The window, its pictures and its labels measured in `labelFont`, which
  // stays until the panel is given another.
  bool Create(HWND parent, HFONT labelFont, const DialogLayout& layout);
  // Lays the panel out again for another dpi: place, pictures, labels and
  // the tiled texture.
  void SetLayout(const DialogLayout& layout, HFONT labelFont);
  // Copies the texture strip across the backing image, as tiles.
  void TileBackground();
  void ShowMark(int16_t kind, bool selected);
  void SetFileLabel(std::wstring text);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // The panel's own answer to a message; nothing for the default handling.
  std::optional<LRESULT> PanelMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The pictures, the label sizes and the backing image for layout_.
  void Prepare();
  void Invalidate(const PixelRect& area);
  void OnPress(LPARAM lParam);
  void PaintContent(HDC target);

  PanelOwner& owner_;
  DialogLayout layout_;
  HFONT labelFont_ = nullptr;
  Backing background_;
  Bitmap texture_;
  Bitmap markOff_;
  Bitmap markOn_;
  bool markSelected_[kChoiceCount] = {};
  PixelRect choiceLabelRects_[kChoiceCount];
  std::wstring fileLabel_;
};

}  // namespace qb
