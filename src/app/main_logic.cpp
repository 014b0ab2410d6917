#include "app/main_logic.h"

#include "platform/program_paths.h"
#include "platform/texts.h"
#include "app/command_line.h"

namespace qb {

MainDecision DecideStartup(const std::string& argumentString, const SettingsPlaces& places,
                           StartupPorts ports, SettingsValues& settings,
                           int32_t& savedCursorCount) {
  // Both look-ups are always made, whatever the first one found.
  const bool saverRunning = ports.desktop.WindowExists(texts::kSaverWindowTitle);
  const bool dialogOpen = ports.desktop.WindowExists(texts::kSettingsDialogTitle);
  if (saverRunning || dialogOpen) return {MainOutcome::EndProcess};

  const std::string mode = ModeLetter(argumentString);
  if (mode == "P") return {MainOutcome::EmbedPreview, PreviewHostHandle(argumentString)};

  // The dialog keeps a stored music file it cannot reach now; the saver
  // plays nothing then.
  LoadSettings(settings, ports.files, ports.codec, places,
               mode == "C" ? UnreachableMusicFile::Keep : UnreachableMusicFile::Drop);

  if (!FileExists(ports.files, CompanionPathOf(places.programFolder))) {
    ports.desktop.ShowMessage(texts::kAppTitle, texts::kCompanionMissing);
    return {MainOutcome::EndProcess};
  }

  if (mode == "C") return {MainOutcome::ShowSettingsDialog};
  if (!argumentString.empty() && mode != "S") return {MainOutcome::EndProcess};

  if (mode == "S") savedCursorCount = ports.desktop.ShowCursor(0);
  return {MainOutcome::RunSaver};
}

}  // namespace qb
