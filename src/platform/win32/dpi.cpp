#include "platform/win32/dpi.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/resample.h"
#include "platform/twips.h"
#include "platform/win32/system_dlls.h"

namespace qb {
namespace {

SIZE SizeOf(HBITMAP bitmap) {
  BITMAP info = {};
  if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

Bitmap Scaled(HBITMAP source, SIZE from, int32_t width, int32_t height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(from.cx) * from.cy);
  BITMAPINFO info = TopDown32(from.cx, from.cy);
  WindowDc screen(nullptr);
  if (!screen.Get() ||
      ::GetDIBits(screen.Get(), source, 0, from.cy, pixels.data(), &info, DIB_RGB_COLORS) != from.cy) {
    return Bitmap();
  }
  const std::vector<uint32_t> scaled = ResampleArea(pixels.data(), from.cx, from.cy, width, height);
  if (scaled.empty()) return Bitmap();
  info = TopDown32(width, height);
  void* bits = nullptr;
  Bitmap result(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!result || !bits) return Bitmap();
  std::copy(scaled.begin(), scaled.end(), static_cast<uint32_t*>(bits));
  return result;
}

}  // namespace

int32_t ScreenDpi(int axis) {
  WindowDc screen(nullptr);
  return screen.Get() ? ::GetDeviceCaps(screen.Get(), axis) : 0;
}

int32_t WindowDpi(HWND window) {
  if (const UINT dpi = window ? user32::GetDpiForWindow(window) : 0) return static_cast<int32_t>(dpi);
  const int32_t screen = ScreenDpi();
  return screen > 0 ? screen : kDesignDpi;
}

int32_t HeldDpi(uint32_t dpi) {
  return static_cast<int32_t>(std::clamp<uint32_t>(dpi, kDesignDpi, kDesignDpi * 5));
}

bool CopyFromMessage(LPARAM address, void* to, size_t size) {
  SIZE_T copied = 0;
  return address && ::ReadProcessMemory(::GetCurrentProcess(), reinterpret_cast<const void*>(address), to, size,
                                        &copied) &&
         copied == size;
}

SIZE OuterSize(int32_t clientWidth, int32_t clientHeight, DWORD style, DWORD exStyle, int32_t dpi) {
  RECT r = {0, 0, clientWidth, clientHeight};
  if (!user32::AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return {r.right - r.left, r.bottom - r.top};
}

Bitmap PictureAt(int id, int id2x, int32_t width, int32_t height) {
  Bitmap picture = LoadBitmapResource(id);
  SIZE size = SizeOf(picture.Get());
  if ((size.cx < width || size.cy < height) && id2x) {
    if (Bitmap larger = LoadBitmapResource(id2x)) {
      picture = std::move(larger);
      size = SizeOf(picture.Get());
    }
  }
  if (!picture || (size.cx == width && size.cy == height)) return picture;
  return Scaled(picture.Get(), size, width, height);
}

}  // namespace qb
