// Entry point: decide the mode, then run the one window it calls for.
#include <windows.h>

#include "music/players.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/system_dlls.h"
#include "platform/win32/system_ports.h"
#include "saver/saver_window.h"
#include "settings_dialog/settings_dialog.h"
#include "app/main_logic.h"
#include "preview/preview.h"

namespace qb {
namespace {

// Process-wide values: they live until the process ends.
SettingsValues Settings;
int32_t SavedCursorCount = 0;

int Main() {
  Win32Desktop desktop;
  Win32FileSystem files;
  Win32Codec codec;
  const std::string argumentString = ProcessArgumentString();
  const SettingsPlaces places{ProgramFolder(), UserSettingsFolder()};

  const MainDecision decision =
      DecideStartup(argumentString, places, {desktop, files, codec}, Settings, SavedCursorCount);
  switch (decision.outcome) {
    case MainOutcome::EmbedPreview:
      if (!EmbedPreview(decision.previewHost)) break;
      return RunMessageLoop();
    case MainOutcome::ShowSettingsDialog:
      ShowSettingsDialog(Settings, places);
      break;
    case MainOutcome::RunSaver: {
      // The saver ends the process from inside the loop; these outlive it.
      Win32Mci mci;
      Win32Sound sound;
      MusicPlayers music(mci, sound, Settings);
      SaverWindow saver(Settings, places.programFolder, argumentString, SavedCursorCount, music);
      if (!saver.Create()) break;
      return RunMessageLoop();
    }
    case MainOutcome::EndProcess:
      break;
  }
  desktop.EndProcess();
  return 0;
}

}  // namespace
}  // namespace qb

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  qb::RestrictDllSearch();
  return qb::Main();
}
