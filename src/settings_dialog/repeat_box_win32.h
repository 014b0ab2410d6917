// The repeat box: a drop-down combo box on the panel, in the dialog's own
// font, with its closed field as high as the layout says.
#pragma once

#include <windows.h>

#include <string>

#include "settings_dialog/dialog_geometry.h"

namespace qb {

class RepeatBox {
 public:
  RepeatBox() = default;
  RepeatBox(const RepeatBox&) = delete;
  RepeatBox& operator=(const RepeatBox&) = delete;

  bool Create(HWND parent, int id, const DialogLayout& layout, HFONT font);
  // Puts the box where `layout` says, in `font` (the dialog's own, not the
  // system's GUI font, which differs from one system language to another).
  void Fit(const DialogLayout& layout, HFONT font);

  HWND Window() const { return box_; }
  // Texts in code page 932.
  void SetText(const std::string& text);
  void AddEntry(const std::string& text);
  std::string Text() const;

 private:
  HWND box_ = nullptr;  // a child of the panel, destroyed with it
};

}  // namespace qb
