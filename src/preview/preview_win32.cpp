// The preview window "Quillbright_R": a borderless black window that the
// display-settings panel's preview monitor hosts as a child, showing the
// preview still at its own size, in 96-dpi units, from the top-left corner.
#include "preview/preview.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "platform/last_api_result.h"
#include "platform/win32/base_window.h"
#include "platform/win32/dpi.h"
#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "preview/preview_logic.h"

namespace qb {
namespace {

constexpr char kClassName[] = "Quillbright_R";
constexpr char kTitle[] = "Preview Window";
constexpr int32_t kStillWidth = 152;
constexpr int32_t kStillHeight = 112;

// Window handles are 32-bit values, sign-extended in a 64-bit process.
HWND HandleOf(int32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(value)); }

class PreviewWindow : public BaseWindow<PreviewWindow>, public PreviewPlatform {
 public:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_ERASEBKGND: return TRUE;
      case WM_PAINT: OnPaint(); return 0;
      case WM_PRINTCLIENT: PaintContent(reinterpret_cast<HDC>(wParam)); return 0;
      case WM_DESTROY: OnUnload(); return 0;
      default: return DefaultHandling(message, wParam, lParam);
    }
  }

  bool HostIsWindow(int32_t host) override { return ::IsWindow(HandleOf(host)) != FALSE; }

  int32_t ReadHostRect(int32_t host, ScreenRect& rect) override {
    RECT r;
    const BOOL ok = ::GetWindowRect(HandleOf(host), &r);
    if (ok) rect = {r.left, r.top, r.right, r.bottom};
    return ok;
  }

  int32_t TwipsPerPixelX() override { return TwipsPerPixel(ScreenDpi(LOGPIXELSX)); }
  int32_t TwipsPerPixelY() override { return TwipsPerPixel(ScreenDpi(LOGPIXELSY)); }

  bool CreateHidden() override {
    WNDCLASSEXW wc = {};
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    if (!RegisterClassOnce(kClassName, wc)) return false;
    return CreateWindowFor(kClassName, kTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                           0, 0, 0);
  }

  int32_t Style() override { return ::GetWindowLongW(Window(), GWL_STYLE); }
  int32_t SetStyle(int32_t style) override { return ::SetWindowLongW(Window(), GWL_STYLE, style); }

  int32_t SetParent(int32_t host) override {
    // The previous parent's handle, kept as the 32-bit value it is.
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(::SetParent(Window(), HandleOf(host))));
  }

  void Place(int32_t x, int32_t y, int32_t width, int32_t height) override {
    ::MoveWindow(Window(), x, y, width, height, TRUE);
  }

  void PlaceImage(int32_t width, int32_t height) override {
    imageWidth_ = width;
    imageHeight_ = height;
    LoadStill(WindowDpi(Window()));
    ::InvalidateRect(Window(), nullptr, TRUE);
  }

  void Show() override { ::ShowWindow(Window(), SW_SHOW); }

 private:
  // The still is designed 152 x 112 at 96 dpi; on a scaled screen it is
  // drawn as large, in that screen's pixels, scaled smoothly.
  void LoadStill(int32_t dpi) {
    stillWidth_ = PixelsAtDpi(kStillWidth * kTwipsPerPixel, dpi);
    stillHeight_ = PixelsAtDpi(kStillHeight * kTwipsPerPixel, dpi);
    still_ = PictureAt(IDB_PREVIEW_STILL, 0, stillWidth_, stillHeight_);
  }

  void OnPaint() {
    PaintDc paint(Window());
    PaintContent(paint.Get());
  }

  // Black everywhere, and the still at its own size from the top-left
  // corner, cut to the picture control's size.
  void PaintContent(HDC dc) {
    RECT client;
    ::GetClientRect(Window(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (!still_) return;
    MemoryDc source(dc);
    if (!source) return;
    SelectObjectGuard select(source.Get(), still_.Get());
    ::BitBlt(dc, 0, 0, std::min(imageWidth_, stillWidth_), std::min(imageHeight_, stillHeight_),
             source.Get(), 0, 0, SRCCOPY);
  }

  // The panel destroys its host, and this window with it: the process has
  // nothing left to show and ends.
  void OnUnload() {
    ::GetWindow(Window(), GW_OWNER);
    LastApiResult = ::PostMessageW(Window(), WM_CLOSE, 0, 0);
    ::PostQuitMessage(0);
  }

  Bitmap still_;
  int32_t stillWidth_ = 0;
  int32_t stillHeight_ = 0;
  int32_t imageWidth_ = 0;
  int32_t imageHeight_ = 0;
};

// Lives as long as the process: the message loop runs after EmbedPreview.
PreviewWindow Preview;

}  // namespace

bool EmbedPreview(int32_t host) { return EmbedPreviewSteps(Preview, host); }

}  // namespace qb
