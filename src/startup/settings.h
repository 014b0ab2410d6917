// The settings file Quillbright.ini and the process-wide settings values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qb {

struct SettingsValues {
  int16_t MusicKind = 0;    // 0 no music, 1 audio CD, 2 music file
  int16_t RepeatTrack = 0;  // CD track to repeat, 0 for none
  std::string MusicFile;    // full path of the MP3 or WAV file, or empty
  std::string MusicFolder;  // folder of MusicFile, or the program folder
};

enum MusicKindValue : int16_t { kNoMusic = 0, kAudioCd = 1, kMusicFile = 2 };

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

// The folder part of a path: up to the last ':' or '\', without a trailing
// backslash ("C:\Music\a.mp3" gives "C:\Music", "C:\a.mp3" gives "C:").
std::string FolderOfPath(std::string_view path);

// The settings file's path for a program folder.
std::string SettingsFilePath(const std::string& programFolder);

// Fills the settings values from the settings file in `programFolder`.
void LoadSettings(SettingsValues& settings, ProfileStore& store, FileSystem& files,
                  const std::string& programFolder);

}  // namespace qb
