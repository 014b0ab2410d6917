// The decisions of the entry routine: which of the three windows to start.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ports.h"
#include "settings/settings_file.h"
#include "settings/settings_values.h"

namespace qb {

enum class MainOutcome {
  EndProcess,          // second instance, missing companion, other mode letter
  EmbedPreview,        // mode P: put the preview into `previewHost`
  ShowSettingsDialog,  // mode C: show the dialog modally, then end
  RunSaver,            // mode S or no arguments: create the saver window
};

struct MainDecision {
  MainOutcome outcome = MainOutcome::EndProcess;
  int32_t previewHost = 0;
};

struct StartupPorts {
  Desktop& desktop;
  FileSystem& files;
  Cp932Codec& codec;
};

// Runs the entry routine's checks in order. Loads the settings, shows the
// missing-companion message and hides the cursor (mode S, storing the
// counter in `savedCursorCount`) as it goes; the caller performs the outcome.
MainDecision DecideStartup(const std::string& argumentString, const SettingsPlaces& places,
                           StartupPorts ports, SettingsValues& settings,
                           int32_t& savedCursorCount);

}  // namespace qb
