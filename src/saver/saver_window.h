// The hidden saver window "Quillbright_Main": hosts SaverLogic, turns its
// three timers into SetTimer calls and every close request into the one
// close path.
#pragma once

#include <windows.h>

#include <string>

#include "music/music.h"
#include "platform/win32/base_window.h"
#include "platform/win32/system_ports.h"
#include "saver/saver_logic.h"

namespace qb {

class SaverWindow : public BaseWindow<SaverWindow>, private SaverTimers {
 public:
  SaverWindow(const SettingsValues& settings, const std::u16string& programFolder,
              const std::string& argumentString, int32_t& savedCursorCount, SaverMusic& music);

  // Creates the window hidden, starts its timers and runs the load handler.
  bool Create();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void SetEnabled(SaverTimer timer, bool enabled) override;
  bool IsEnabled(SaverTimer timer) const override;
  void OnTimer(UINT_PTR id);

  Win32MusicShare share_;
  Win32Desktop desktop_{&share_};
  SaverLogic logic_;
  bool enabled_[3] = {};
};

}  // namespace qb
