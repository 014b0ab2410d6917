// The presentation program: glowing points of light over the whole virtual
// screen, in a window titled "Quillbright_VC" that ends on the user's first
// input. The picture comes from the portable renderer in glow/; this file
// only owns the window, the frame buffer and the pacing, and follows the
// music the saver plays (music_source.h).
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstddef>
#include <memory>
#include <vector>

#include "frame_pacer.h"
#include "glow/music_light.h"
#include "glow/presentation.h"
#include "music_source.h"
#include "platform/texts.h"
#include "platform/win32/base_window.h"
#include "platform/win32/gdi.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/system_dlls.h"

namespace qb {
namespace {

// Mouse travel, in pixels, that counts as the user coming back. Small jitter
// from the hardware or the first synthetic move does not.
constexpr int kMoveThreshold = 4;

// GUID_CONSOLE_DISPLAY_STATE, spelt out: MinGW's headers only declare it.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// The frame the renderer draws into, shown a rectangle at a time.
class FrameBuffer {
 public:
  FrameBuffer(int width, int height) : dib_(width, height) {
    if (!dib_.Pixels()) return;
    view_ = {dib_.Pixels(), width, height, width};
    glow::ClearFrame(view_);
  }

  bool Valid() const { return view_.pixels != nullptr; }
  const glow::FrameView& View() const { return view_; }
  void ShowOn(HDC target, const PixelRect& area) const {
    ::BitBlt(target, area.x, area.y, area.width, area.height, dib_.Dc(), area.x, area.y, SRCCOPY);
  }

 private:
  DibSection dib_;
  glow::FrameView view_;
};

uint64_t FreshSeed() {
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<uint64_t>(counter.QuadPart) ^ (static_cast<uint64_t>(::GetCurrentProcessId()) << 32) ^
         ::GetTickCount();
}

// The monitors, in the pixels of a frame whose top-left corner is at
// `origin` on the virtual screen.
struct MonitorList {
  POINT origin;
  std::vector<PixelRect> monitors;
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM data) {
  auto& list = *reinterpret_cast<MonitorList*>(data);
  list.monitors.push_back({r->left - list.origin.x, r->top - list.origin.y, r->right - r->left, r->bottom - r->top});
  return TRUE;
}

std::vector<PixelRect> MonitorsFrom(int left, int top) {
  MonitorList list{{left, top}, {}};
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  return list.monitors;
}

class PresentationWindow : public BaseWindow<PresentationWindow>, private glow::AreaSink {
 public:
  ~PresentationWindow() {
    if (powerNotify_) ::UnregisterPowerSettingNotification(powerNotify_);
  }

  bool Create() {
    WNDCLASSEXW wc = {};
    wc.style = CS_OWNDC;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.hCursor = nullptr;
    if (!RegisterClassOnce("Quillbright_VC", wc)) return false;
    if (!CreateWindowFor("Quillbright_VC", texts::kCompanionWindowTitle, WS_POPUP, WS_EX_TOPMOST, 0, 0, 1, 1)) {
      return false;
    }
    FitVirtualScreen();
    powerNotify_ = ::RegisterPowerSettingNotification(Window(), &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    return true;
  }

  // Frames are drawn only while there is a picture to draw and a display
  // lit to show it.
  bool WantsFrames() const { return presentation_ && displayOn_; }

  void DrawFrame(double seconds) {
    ::GdiFlush();
    presentation_->SetMusic(easing_.Step(music_.LevelNow(), seconds));
    presentation_->Advance(seconds, frame_->View(), this);
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
      case WM_ERASEBKGND: return TRUE;
      case WM_PAINT: OnPaint(); return 0;
      case WM_DISPLAYCHANGE: FitVirtualScreen(); return 0;
      case WM_POWERBROADCAST: OnPowerBroadcast(wParam, lParam); return TRUE;
      case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
      case WM_DESTROY: ::PostQuitMessage(0); return 0;
      default: return DefaultHandling(message, wParam, lParam);
    }
  }

 private:
  // Covers every monitor (the virtual screen may start at negative
  // coordinates) and starts a picture of that size, each monitor showing
  // the grain of its own size.
  void FitVirtualScreen() {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ::SetWindowPos(Window(), HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE);
    dc_ = ::GetDC(Window());  // CS_OWNDC: valid for the window's life
    presentation_.reset();
    frame_.reset();
    if (w <= 0 || h <= 0) return;
    frame_ = std::make_unique<FrameBuffer>(w, h);
    // Without a frame buffer the window stays black, and still ends on input.
    if (frame_->Valid()) {
      presentation_ = std::make_unique<glow::Presentation>(w, h, FreshSeed(), glow::ScreensFor(w, h, MonitorsFrom(x, y)));
    }
  }

  // Only what changed goes to the screen: most of it is dark, and stays so.
  void Show(const PixelRect& area) override { frame_->ShowOn(dc_, area); }

  void OnPaint() {
    PaintDc paint(Window());
    if (presentation_) {
      const RECT& r = paint.Area();
      frame_->ShowOn(paint.Get(), {r.left, r.top, r.right - r.left, r.bottom - r.top});
    } else {
      ::FillRect(paint.Get(), &paint.Area(), static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
  }

  void OnPowerBroadcast(WPARAM event, LPARAM data) {
    if (event != PBT_POWERSETTINGCHANGE || !data) return;
    // Any process can send this message with any pointer: the setting is
    // copied through a read that fails instead of faulting.
    struct {
      GUID powerSetting;
      DWORD dataLength;
      DWORD state;  // the setting's data: 0 off, 1 on, 2 dimmed
    } setting;
    static_assert(offsetof(decltype(setting), state) == offsetof(POWERBROADCAST_SETTING, Data));
    SIZE_T copied = 0;
    if (!::ReadProcessMemory(::GetCurrentProcess(), reinterpret_cast<const void*>(data), &setting, sizeof(setting),
                             &copied) ||
        copied != sizeof(setting)) {
      return;
    }
    if (setting.powerSetting != kConsoleDisplayState || setting.dataLength < sizeof(DWORD)) return;
    displayOn_ = setting.state != 0;
  }

  LRESULT OnSysCommand(WPARAM command, LPARAM lParam) {
    switch (command & 0xFFF0) {
      case SC_SCREENSAVE: return 0;  // already the screen saver
      case SC_MONITORPOWER: displayOn_ = lParam != 2; break;  // 2: off; 1: low power; -1: on
    }
    return DefaultHandling(WM_SYSCOMMAND, command, lParam);
  }

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

  HDC dc_ = nullptr;
  MusicSource music_;
  glow::MusicEasing easing_;
  std::unique_ptr<FrameBuffer> frame_;
  std::unique_ptr<glow::Presentation> presentation_;
  HPOWERNOTIFY powerNotify_ = nullptr;
  bool displayOn_ = true;
  POINT start_ = {};
  bool haveStart_ = false;
};

// Draws a frame on each tick of the pacer, handles messages in between, and
// sleeps on the message queue alone while nothing is to be drawn.
int RunPresentation(PresentationWindow& window, FramePacer& pacer) {
  LONGLONG last = 0;
  bool armed = false;
  for (;;) {
    int exitCode = 0;
    if (!PumpWaitingMessages(&exitCode)) return exitCode;
    if (!window.Window()) return 0;
    if (!window.WantsFrames() || !pacer.Valid()) {
      armed = false;
      ::WaitMessage();
      continue;
    }
    if (!armed) {
      pacer.Restart();
      pacer.ArmNext();
      last = pacer.Now();
      armed = true;
    }
    HANDLE timer = pacer.Timer();
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) {
      const LONGLONG now = pacer.Now();
      window.DrawFrame(pacer.Seconds(now - last));
      last = now;
      pacer.ArmNext();
    }
  }
}

}  // namespace
}  // namespace qb

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  qb::RestrictDllSearch();
  qb::PresentationWindow window;
  if (!window.Create()) return 1;
  qb::FramePacer pacer;
  ::ShowWindow(window.Window(), showCommand);
  ::SetForegroundWindow(window.Window());
  ::ShowCursor(FALSE);
  return qb::RunPresentation(window, pacer);
}
