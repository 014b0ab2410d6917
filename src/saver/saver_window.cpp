#include "saver/saver_window.h"

#include "platform/texts.h"

namespace qb {

namespace {

constexpr char kClassName[] = "Quillbright_S";

UINT_PTR TimerId(SaverTimer timer) { return static_cast<UINT_PTR>(timer) + 1; }

const SaverTimerInfo& InfoOf(SaverTimer timer) {
  return kSaverTimers[static_cast<size_t>(timer)];
}

}  // namespace

SaverWindow::SaverWindow(const SettingsValues& settings, const std::u16string& programFolder,
                         const std::string& argumentString, int32_t& savedCursorCount,
                         SaverMusic& music)
    : logic_(settings, programFolder, argumentString, savedCursorCount, music, *this, desktop_, &share_) {}

bool SaverWindow::Create() {
  if (!RegisterClassOnce(kClassName)) return false;
  // WS_EX_TOOLWINDOW keeps the hidden window off the task bar and Alt+Tab.
  if (!CreateWindowFor(kClassName, texts::kSaverWindowTitle, WS_OVERLAPPED, WS_EX_TOOLWINDOW, 0,
                       0, 0, 0)) {
    return false;
  }
  for (const auto& entry : kSaverTimers) SetEnabled(entry.id, entry.enabledAtStart);
  logic_.FormLoad();
  return true;
}

LRESULT SaverWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_CLOSE: logic_.FormQueryUnload(); return 0;
    case WM_DESTROY: logic_.FormQueryUnload(); return 0;  // an end from outside: close all the same
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: if (wParam) logic_.FormQueryUnload(); return 0;
    default: return DefaultHandling(message, wParam, lParam);
  }
}

void SaverWindow::OnTimer(UINT_PTR id) {
  // A tick already queued when its timer was switched off is dropped.
  for (const auto& entry : kSaverTimers) {
    if (TimerId(entry.id) != id || !IsEnabled(entry.id)) continue;
    switch (entry.id) {
      case SaverTimer::Timer1: logic_.Timer1Tick(); break;
      case SaverTimer::Timer2: logic_.Timer2Tick(); break;
      case SaverTimer::Timer3: logic_.Timer3Tick(); break;
    }
  }
}

void SaverWindow::SetEnabled(SaverTimer timer, bool enabled) {
  bool& current = enabled_[static_cast<size_t>(timer)];
  if (current == enabled) return;
  current = enabled;
  if (enabled) {
    ::SetTimer(Window(), TimerId(timer), InfoOf(timer).intervalMs, nullptr);
  } else {
    ::KillTimer(Window(), TimerId(timer));
  }
}

bool SaverWindow::IsEnabled(SaverTimer timer) const { return enabled_[static_cast<size_t>(timer)]; }

}  // namespace qb
