// The settings file Quillbright.ini: where it is, reading it into the
// settings values, and saving the three keys in one step.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"
#include "settings/settings_values.h"

namespace qb {

// The two places a settings file may be: beside the program (where an
// administrator may preset it) and the user's own folder, which the
// program folder's file gives way to once it exists.
struct SettingsPlaces {
  std::u16string programFolder;
  std::u16string userFolder;  // %LOCALAPPDATA%\Quillbright; empty when unknown

  std::u16string ProgramFile() const;
  std::u16string UserFile() const;
};

// The settings file in use and its text: the user's file when it can be
// read, else the program folder's.
struct SettingsText {
  std::u16string path;
  bool isUserFile = false;
  // The user's file is there but cannot be read (locked, denied, a folder
  // of that name): a load passes it over, a save writes nothing.
  bool userFileUnreadable = false;
  FileSystem::ReadResult result = FileSystem::ReadResult::Missing;
  std::string content;  // empty unless read
};
SettingsText ReadSettingsText(FileSystem& files, const SettingsPlaces& places);

// The text-to-number conversion of the stored integers: the value rounded
// down, or nothing when the text is not a number or does not fit 16 bits.
std::optional<int16_t> ConvertSettingNumber(std::string_view text);

// What loading does with a stored music file that cannot be opened now: the
// saver plays nothing then; the settings dialog shows it as stored, so that
// a drive that is away for the moment does not cost the user the choice.
enum class UnreachableMusicFile { Drop, Keep };

// Fills the settings values from the settings file in use. The stored path
// is code page 932 text, converted with `codec` for use.
void LoadSettings(SettingsValues& settings, FileSystem& files, Cp932Codec& codec,
                  const SettingsPlaces& places, UnreachableMusicFile unreachable);

struct SavedSettings {
  int16_t musicKind = 0;
  int16_t repeatTrack = 0;
  std::string musicFile;  // code page 932
  // False: the stored path is left as it stands in the file, since what was
  // read of it may be shortened.
  bool musicFileChanged = false;
};

// Writes the three keys into the settings file in use in one replacement
// of the whole file. When that is the program folder's file and it cannot
// be written, the user's own file takes the settings (its folder made when
// missing). A user's file that is there but cannot be read or written now
// takes nothing, and nothing else is written in its stead. A file saved as
// UTF-16 stays UTF-16 (see ini_encoding.h). False when nothing could be
// written; nothing changed then.
bool SaveSettings(FileSystem& files, Cp932Codec& codec, const SettingsPlaces& places, const SavedSettings& saved);

}  // namespace qb
