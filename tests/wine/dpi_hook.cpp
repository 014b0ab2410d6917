// A hook the dialog probe sets on the dialog's thread: it turns the
// probe's posted kDeliverDpiChange into WM_DPICHANGED sent on that thread,
// as the system sends it during a move to a monitor of another scale, with
// the window's own corner and the size asked for. Signals the event
// "QbDpiChangeDelivered" once sent.
#include <windows.h>

// WPARAM: the dpi twice, as in WM_DPICHANGED; LPARAM: width and height.
constexpr UINT kDeliverDpiChange = WM_APP + 0x2E0;

extern "C" __declspec(dllexport) LRESULT CALLBACK DeliverDpiChange(int code, WPARAM removal, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg && msg->message == kDeliverDpiChange) {
    RECT now = {};
    ::GetWindowRect(msg->hwnd, &now);
    RECT suggested = {now.left, now.top, now.left + LOWORD(msg->lParam), now.top + HIWORD(msg->lParam)};
    const WPARAM dpi = msg->wParam;
    msg->message = WM_NULL;
    ::SendMessageW(msg->hwnd, WM_DPICHANGED, dpi, reinterpret_cast<LPARAM>(&suggested));
    if (HANDLE delivered = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QbDpiChangeDelivered")) {
      ::SetEvent(delivered);
      ::CloseHandle(delivered);
    }
  }
  return ::CallNextHookEx(nullptr, code, removal, lParam);
}
