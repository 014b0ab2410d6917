// The settings file Quillbright.ini: reading it into the settings values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"
#include "startup/settings_values.h"

namespace qb {

// Reads one key; at most 255 bytes of the stored value come back. A missing
// file, section or key reads as empty text.
std::string ReadIniString(ProfileStore& store, const char* section, const char* key,
                          const std::string& path);

// Writes one key (the file is created when missing) and records the result
// in LastApiResult.
void WriteIniString(ProfileStore& store, const char* section, const char* key,
                    const std::string& value, const std::string& path);

// The text-to-number conversion of the stored integers: the value rounded
// down, or nothing when the text is not a number or does not fit 16 bits.
std::optional<int16_t> ConvertSettingNumber(std::string_view text);

// True when `path` (one trailing backslash ignored) can be opened for reading.
bool FileExists(FileSystem& files, std::string path);

// Fills the settings values from the settings file in `programFolder`.
void LoadSettings(SettingsValues& settings, ProfileStore& store, FileSystem& files,
                  const std::string& programFolder);

}  // namespace qb
