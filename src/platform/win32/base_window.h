// One window-procedure thunk for every window class of the program: the
// object pointer travels in GWLP_USERDATA from WM_NCCREATE to WM_NCDESTROY,
// and messages go to T::HandleMessage. The windows are wide (Unicode) ones;
// class names and titles are the program's own texts. The object owns its
// window: a window still there when the object goes is destroyed with it.
//
// Any process on the desktop can send or post any message to a window.
// DestroyWindow hides a window before its WM_DESTROY and WM_NCDESTROY, and
// a child goes with its parent, hidden first: so one of them reaching a
// window still shown, or a child (hidden or not) whose parent is shown, is
// another program's. It is taken as the end of the outermost window of this
// thread that holds it, which is then destroyed for real, and every window
// in it, children included, ends with its own handlers run and its object
// detached. For a hidden top-level window (the saver's) T's WM_DESTROY
// handler runs once, on whichever of the two comes first. Posted creation, destruction and scale messages, which the
// system never posts, are turned away before any window sees them.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/wide_text.h"

namespace qb {

// WM_GETDPISCALEDSIZE, sent from Windows 10 1703 on; the headers define it
// only for that version.
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;

namespace detail {

// Creation, destruction and a change of scale are always sent: a posted
// one comes from another program. A posted end is taken as a request to
// close, so the window's own close path runs; the others are dropped.
inline LRESULT CALLBACK TurnAwayPostedLifecycle(int code, WPARAM removal, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && msg) {
    if (msg->message == WM_NCCREATE || msg->message == WM_CREATE || msg->message == WM_DPICHANGED ||
        msg->message == kWmGetDpiScaledSize) {
      msg->message = WM_NULL;
    } else if (msg->message == WM_DESTROY || msg->message == WM_NCDESTROY) {
      *msg = {msg->hwnd, WM_CLOSE, 0, 0, msg->time, msg->pt};
    }
  }
  return ::CallNextHookEx(nullptr, code, removal, lParam);
}

// Once per thread that makes windows; the system removes the hook when the
// thread ends. It sees every message loop of the thread, the system's own
// (message boxes, the file chooser) included.
inline void GuardThreadMessageQueue() {
  thread_local const HHOOK hook =
      ::SetWindowsHookExW(WH_GETMESSAGE, &TurnAwayPostedLifecycle, nullptr, ::GetCurrentThreadId());
  (void)hook;
}

// The outermost window of this thread that `window` is in: its top-level
// window, or the last one up before a parent of another thread's (the
// preview's in the control panel's).
inline HWND OutermostOwnWindow(HWND window) {
  const DWORD thread = ::GetCurrentThreadId();
  for (HWND parent; (parent = ::GetAncestor(window, GA_PARENT)) != nullptr && parent != ::GetDesktopWindow() &&
                    ::GetWindowThreadProcessId(parent, nullptr) == thread;) {
    window = parent;
  }
  return window;
}

// True while the system would not be destroying `window`: it is shown, or
// it is a child whose parent of this thread is shown. Nothing here destroys
// a child by itself (an object that goes first lets go of its window), so a
// child ends only with its parent, which is hidden first.
inline bool StillShown(HWND window) {
  if (::IsWindowVisible(window)) return true;
  const HWND parent = ::GetAncestor(window, GA_PARENT);
  return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) && parent &&
         ::GetWindowThreadProcessId(parent, nullptr) == ::GetCurrentThreadId() && ::IsWindowVisible(parent);
}

}  // namespace detail

template <typename T>
class BaseWindow {
 public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;
  // The user data goes first, so that the messages of the destruction find
  // no object that is half gone.
  ~BaseWindow() {
    if (!hwnd_) return;
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }

  HWND Window() const { return hwnd_; }

 protected:
  static bool RegisterClassOnce(const char* className, WNDCLASSEXW wc = {}) {
    const std::wstring name = Cp932ToWide(className);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, name.c_str(), &existing)) return true;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &BaseWindow::WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = name.c_str();
    if (!wc.hCursor) wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    return ::RegisterClassExW(&wc) != 0;
  }

  bool CreateWindowFor(const char* className, const char* title, DWORD style, DWORD exStyle = 0,
                       int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int width = CW_USEDEFAULT,
                       int height = CW_USEDEFAULT, HWND parent = nullptr) {
    detail::GuardThreadMessageQueue();
    ::CreateWindowExW(exStyle, Cp932ToWide(className).c_str(), Cp932ToWide(title).c_str(), style, x, y, width,
                      height, parent, nullptr, ::GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
  }

  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    T* self = nullptr;
    if (message == WM_NCCREATE) {
      // Only the window's own creation, on its own thread, carries its
      // object. A WM_NCCREATE for a window that has one already, or sent
      // from another thread or process, is dropped: its creation data could
      // point anywhere.
      if (::GetWindowLongPtrW(hwnd, GWLP_USERDATA) || ::InSendMessageEx(nullptr) != ISMEX_NOSEND) {
        return FALSE;
      }
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      self = static_cast<T*>(reinterpret_cast<BaseWindow*>(create->lpCreateParams));
      self->hwnd_ = hwnd;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // A WM_CREATE from another thread or process is none of the window's.
    if (message == WM_CREATE && ::InSendMessageEx(nullptr) != ISMEX_NOSEND) return 0;

    if (message == WM_DESTROY || message == WM_NCDESTROY) {
      if (detail::StillShown(hwnd)) {
        ::DestroyWindow(detail::OutermostOwnWindow(hwnd));
        return 0;
      }
      if (!std::exchange(self->ended_, true)) self->HandleMessage(WM_DESTROY, 0, 0);
      if (message == WM_DESTROY) return 0;
    }
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
    }
    return result;
  }

  HWND hwnd_ = nullptr;
  bool ended_ = false;  // T's WM_DESTROY handler has run
};

}  // namespace qb
