#pragma once

namespace qb {

struct SettingsValues;
struct SettingsPlaces;

// Shows the settings dialog modally, without an owner; returns when it has
// closed, saved or cancelled.
void ShowSettingsDialog(SettingsValues& settings, const SettingsPlaces& places);

}  // namespace qb
