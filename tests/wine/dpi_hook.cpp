// The dialog probe's hook on the dialog's thread: its posted
// kDeliverDpiChange becomes WM_DPICHANGED sent on that thread, as the system
// sends it in a move, then the event "QbDpiChangeDelivered" is set.
#include <windows.h>

// WPARAM: the dpi twice, as in WM_DPICHANGED; LPARAM: width and height.
constexpr UINT kDeliverDpiChange = WM_APP + 0x2E0;

extern "C" __declspec(dllexport) LRESULT CALLBACK DeliverDpiChange(int code, WPARAM removal, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg && msg->message == kDeliverDpiChange) {
    RECT now = {};
    ::GetWindowRect(msg->hwnd, &now);
    RECT suggested = {now.left, now.top, now.left + LOWORD(msg->lParam), now.top + HIWORD(msg->lParam)};
    ::SendMessageW(msg->hwnd, WM_DPICHANGED, msg->wParam, reinterpret_cast<LPARAM>(&suggested));
    msg->message = WM_NULL;
    if (HANDLE delivered = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QbDpiChangeDelivered")) {
      ::SetEvent(delivered);
      ::CloseHandle(delivered);
    }
  }
  return ::CallNextHookEx(nullptr, code, removal, lParam);
}
