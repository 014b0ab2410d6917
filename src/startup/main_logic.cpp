#include "startup/main_logic.h"

#include "platform/program_paths.h"
#include "platform/texts.h"
#include "startup/command_line.h"
#include "startup/settings.h"

namespace qb {

MainDecision DecideStartup(const std::string& argumentString, const std::string& programFolder,
                           StartupPorts ports, SettingsValues& settings,
                           int32_t& savedCursorCount) {
  // Both look-ups are always made, whatever the first one found.
  const bool saverRunning = ports.desktop.WindowExists(texts::kSaverWindowTitle);
  const bool dialogOpen = ports.desktop.WindowExists(texts::kSettingsDialogTitle);
  if (saverRunning || dialogOpen) return {MainOutcome::EndProcess};

  const std::string mode = ModeLetter(argumentString);
  if (mode == "P") return {MainOutcome::EmbedPreview, PreviewHostHandle(argumentString)};

  LoadSettings(settings, ports.profile, ports.files, programFolder);

  if (!FileExists(ports.files, CompanionPathOf(programFolder))) {
    ports.desktop.ShowMessage(texts::kAppTitle, texts::kCompanionMissing);
    return {MainOutcome::EndProcess};
  }

  if (mode == "C") return {MainOutcome::ShowSettingsDialog};
  if (!argumentString.empty() && mode != "S") return {MainOutcome::EndProcess};

  if (mode == "S") savedCursorCount = ports.desktop.ShowCursor(0);
  return {MainOutcome::RunSaver};
}

}  // namespace qb
