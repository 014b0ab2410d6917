// What the settings dialog and its panel draw with: the design font, text
// measured and drawn through the wide calls, and retained backing images.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/pixel_rect.h"
#include "platform/win32/gdi.h"

namespace qb {

// 9.75 points at `dpi` of the design face, Shift-JIS. Where that face is
// missing the font mapper would pick any face it likes; asking for none by
// name lets it pick by the character set, so the labels stay Japanese.
Font MakeLabelFont(bool underline, int32_t dpi);

// The size of a text (UTF-16, or code page 932) in `font`.
SIZE TextSize(HFONT font, const std::wstring& text);
SIZE TextSize(HFONT font, const char* text);

// Text with a transparent background, never taking '&' for a prefix.
void DrawLabel(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT rect, UINT format);
void DrawLabel(HDC dc, HFONT font, COLORREF colour, const char* text, RECT rect, UINT format);

inline RECT ToRect(const PixelRect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// A retained backing image: drawing goes into it once, every repaint
// shows it.
class Backing {
 public:
  // A new image of this size, filled with `colour`.
  bool Make(int32_t width, int32_t height, COLORREF colour);
  HBITMAP Get() const { return bitmap_.Get(); }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool SameSize(int32_t width, int32_t height) const { return bitmap_ && width == width_ && height == height_; }
  // Copies the image to (0, 0) of `target`.
  void ShowOn(HDC target) const;

 private:
  Bitmap bitmap_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace qb
