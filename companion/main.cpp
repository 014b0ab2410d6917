// The presentation program: for now a black window over the whole virtual
// screen, titled "Quillbright_VC", that ends on the user's first input.
#include <windows.h>

#include <cstdlib>

#include "platform/texts.h"
#include "platform/win32/base_window.h"
#include "platform/win32/message_loop.h"

namespace qb {
namespace {

// Mouse travel, in pixels, that counts as the user coming back. Small jitter
// from the hardware or the first synthetic move does not.
constexpr int kMoveThreshold = 4;

class PresentationWindow : public BaseWindow<PresentationWindow> {
 public:
  bool Create() {
    WNDCLASSEXA wc = {};
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.hCursor = nullptr;
    if (!RegisterClassOnce("Quillbright_VC", wc)) return false;
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return CreateWindowFor("Quillbright_VC", texts::kCompanionWindowTitle, WS_POPUP,
                           WS_EX_TOPMOST, x, y, w, h);
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN: End(); return 0;
      case WM_MOUSEMOVE: OnMouseMove(); return 0;
      case WM_ACTIVATEAPP: if (!wParam) End(); return 0;
      case WM_SETCURSOR: ::SetCursor(nullptr); return TRUE;
      case WM_DESTROY: ::PostQuitMessage(0); return 0;
      default: return DefaultHandling(message, wParam, lParam);
    }
  }

 private:
  void OnMouseMove() {
    // Screen coordinates: the window may start at negative coordinates.
    POINT now;
    if (!::GetCursorPos(&now)) return;
    if (!haveStart_) {
      start_ = now;
      haveStart_ = true;
      return;
    }
    if (std::abs(now.x - start_.x) > kMoveThreshold || std::abs(now.y - start_.y) > kMoveThreshold) End();
  }

  void End() {
    if (Window()) ::DestroyWindow(Window());
  }

  POINT start_ = {};
  bool haveStart_ = false;
};

}  // namespace
}  // namespace qb

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  qb::PresentationWindow window;
  if (!window.Create()) return 1;
  ::ShowWindow(window.Window(), showCommand);
  ::SetForegroundWindow(window.Window());
  ::ShowCursor(FALSE);
  return qb::RunMessageLoop();
}
