#include "settings_dialog/repeat_box_win32.h"

#include <vector>

#include "platform/win32/wide_text.h"

namespace qb {

bool RepeatBox::Create(HWND parent, int id, const DialogLayout& layout, HFONT font) {
  const PixelRect& at = layout.repeat;
  box_ = ::CreateWindowExW(
      0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, at.x, at.y,
      at.width, layout.repeatListHeight, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      ::GetModuleHandleW(nullptr), nullptr);
  if (!box_) return false;
  Fit(layout, font);
  return true;
}

void RepeatBox::Fit(const DialogLayout& layout, HFONT font) {
  const PixelRect& at = layout.repeat;
  ::MoveWindow(box_, at.x, at.y, at.width, layout.repeatListHeight, FALSE);
  ::SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // The closed field as high as designed, whatever the font makes it.
  RECT box;
  ::GetWindowRect(box_, &box);
  const LRESULT fieldHeight = ::SendMessageW(box_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  const LONG extra = at.height - (box.bottom - box.top);
  if (fieldHeight > 0 && fieldHeight + extra > 0) {
    ::SendMessageW(box_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fieldHeight + extra);
  }
}

void RepeatBox::SetText(const std::string& text) { ::SetWindowTextW(box_, Cp932ToWide(text).c_str()); }

void RepeatBox::AddEntry(const std::string& text) {
  const std::wstring entry = Cp932ToWide(text);
  ::SendMessageW(box_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

std::string RepeatBox::Text() const {
  const int length = ::GetWindowTextLengthW(box_);
  std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  ::GetWindowTextW(box_, buffer.data(), static_cast<int>(buffer.size()));
  return WideToCp932Lossy(buffer.data());
}

}  // namespace qb
