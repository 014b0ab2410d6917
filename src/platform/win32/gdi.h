// Owners for GDI objects and device contexts, so that nothing is released
// by hand: a GDI object owner, the paint DC of WM_PAINT, a memory DC, a
// selection that is undone when it goes out of scope, a saved DC state, a
// frame composed off screen, and a DIB section with its own DC; and the
// program's bitmaps and fonts made the one way.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/win32/handles.h"

namespace qb {

template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};

template <typename T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;

// BeginPaint / EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = ::BeginPaint(window_, &paint_); }
  ~PaintDc() { ::EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;

  HDC Get() const { return dc_; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_ = {};
  HDC dc_ = nullptr;
};

// GetDC / ReleaseDC; a null window gives the screen's DC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A DC compatible with another (or with the screen), deleted at the end.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() {
    if (dc_) ::DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end,
// so the object can be deleted afterwards.
class SelectObjectGuard {
 public:
  SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectObjectGuard() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// SaveDC / RestoreDC: text colour, background mode, stretch mode, viewport
// origin and the like come back as they were at the end of the scope.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
  ~SavedDcState() {
    if (saved_) ::RestoreDC(dc_, saved_);
  }
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// A frame composed off screen and shown in one copy, so that a window never
// shows half its drawing: a bitmap compatible with the target, selected
// into a memory DC. Dc() is null when it could not be made.
class OffscreenFrame {
 public:
  OffscreenFrame(HDC target, int width, int height)
      : dc_(target), bitmap_(::CreateCompatibleBitmap(target, width, height)), width_(width), height_(height) {
    if (dc_ && bitmap_) select_.emplace(dc_.Get(), bitmap_.Get());
  }

  HDC Dc() const { return select_ ? dc_.Get() : nullptr; }
  void PresentTo(HDC target) const {
    if (select_) ::BitBlt(target, 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
  }

 private:
  // Destroyed in reverse: the selection is undone before DC and bitmap go.
  MemoryDc dc_;
  Bitmap bitmap_;
  std::optional<SelectObjectGuard> select_;
  int width_;
  int height_;
};

// A bitmap of the program's resources, as a DIB section.
inline Bitmap LoadBitmapResource(int id) {
  return Bitmap(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                                  0, 0, LR_CREATEDIBSECTION)));
}

// A font of `centipoints` hundredths of a point at `dpi` dots per inch;
// `logFont` gives everything else (face, weight, character set, style).
inline Font PointFont(LOGFONTW logFont, int32_t centipoints, int32_t dpi) {
  logFont.lfHeight = -::MulDiv(centipoints, dpi, 7200);
  return Font(::CreateFontIndirectW(&logFont));
}

// The header of a top-down 32-bit bitmap of that size.
inline BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A top-down 32-bit DIB section selected into a memory DC of its own:
// pixels the program can read and write directly, and GDI can draw into or
// copy from. Pixels() is null when it could not be made.
class DibSection {
 public:
  DibSection(int width, int height) : dc_(nullptr), width_(width), height_(height) {
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_ || !bits) return;
    select_.emplace(dc_.Get(), bitmap_.Get());
    pixels_ = static_cast<uint32_t*>(bits);
  }

  uint32_t* Pixels() const { return pixels_; }
  HDC Dc() const { return dc_.Get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  // Destroyed in reverse: the selection is undone before DC and bitmap go.
  Bitmap bitmap_;
  MemoryDc dc_;
  std::optional<SelectObjectGuard> select_;
  int width_;
  int height_;
  uint32_t* pixels_ = nullptr;
};

}  // namespace qb
