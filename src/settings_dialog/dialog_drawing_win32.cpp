#include "settings_dialog/dialog_drawing_win32.h"

#include "platform/texts.h"
#include "platform/win32/wide_text.h"

namespace qb {

Font MakeLabelFont(bool underline, int32_t dpi) {
  LOGFONTW logFont = {};
  logFont.lfWeight = FW_NORMAL;
  logFont.lfUnderline = underline ? TRUE : FALSE;
  logFont.lfCharSet = SHIFTJIS_CHARSET;
  const std::wstring designFace = Cp932ToWide(texts::kDesignFontFace);
  lstrcpynW(logFont.lfFaceName, designFace.c_str(), LF_FACESIZE);
  Font font = PointFont(logFont, 975, dpi);
  WindowDc screen(nullptr);
  if (font && screen.Get()) {
    wchar_t face[LF_FACESIZE] = {};
    {
      SelectObjectGuard select(screen.Get(), font.Get());
      ::GetTextFaceW(screen.Get(), LF_FACESIZE, face);
    }
    if (designFace == face) return font;
    logFont.lfFaceName[0] = L'\0';
    font = PointFont(logFont, 975, dpi);
  }
  return font;
}

SIZE TextSize(HFONT font, const std::wstring& text) {
  SIZE size = {0, 0};
  if (text.empty()) return size;
  WindowDc screen(nullptr);
  if (!screen.Get()) return size;
  SelectObjectGuard select(screen.Get(), font);
  ::GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

SIZE TextSize(HFONT font, const char* text) { return TextSize(font, Cp932ToWide(text)); }

void DrawLabel(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT rect, UINT format) {
  if (text.empty()) return;
  SavedDcState saved(dc);
  SelectObjectGuard select(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
}

void DrawLabel(HDC dc, HFONT font, COLORREF colour, const char* text, RECT rect, UINT format) {
  DrawLabel(dc, font, colour, Cp932ToWide(text), rect, format);
}

bool Backing::Make(int32_t width, int32_t height, COLORREF colour) {
  WindowDc screen(nullptr);
  bitmap_.Reset(::CreateCompatibleBitmap(screen.Get(), width, height));
  width_ = width;
  height_ = height;
  if (!bitmap_) return false;
  MemoryDc dc(screen.Get());
  SelectObjectGuard select(dc.Get(), bitmap_.Get());
  Brush brush(::CreateSolidBrush(colour));
  RECT all = {0, 0, width, height};
  ::FillRect(dc.Get(), &all, brush.Get());
  return true;
}

void Backing::ShowOn(HDC target) const {
  if (!bitmap_) return;
  MemoryDc source(target);
  SelectObjectGuard select(source.Get(), bitmap_.Get());
  ::BitBlt(target, 0, 0, width_, height_, source.Get(), 0, 0, SRCCOPY);
}

}  // namespace qb
