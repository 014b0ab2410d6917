#include "settings/settings_file.h"

#include <cmath>
#include <utility>

#include "platform/last_api_result.h"
#include "platform/number_text.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
#include "settings/ini_encoding.h"
#include "settings/ini_text.h"

namespace qb {

namespace {

void SetFromText(int16_t& target, const std::string& text) {
  if (text.empty()) {
    target = 0;
    return;
  }
  if (auto value = ConvertSettingNumber(text)) target = *value;
}

}  // namespace

std::u16string SettingsPlaces::ProgramFile() const { return SettingsFilePath(programFolder); }

std::u16string SettingsPlaces::UserFile() const {
  return userFolder.empty() ? std::u16string() : SettingsFilePath(userFolder);
}

SettingsText ReadSettingsText(FileSystem& files, const SettingsPlaces& places) {
  SettingsText text;
  const auto readFrom = [&](std::u16string path, bool isUserFile) {
    text.path = std::move(path);
    text.isUserFile = isUserFile;
    text.content.clear();
    text.result = files.ReadWhole(text.path, text.content);
    if (text.result != FileSystem::ReadResult::Read) text.content.clear();
  };
  if (!places.userFolder.empty()) readFrom(places.UserFile(), true);
  text.userFileUnreadable = text.result == FileSystem::ReadResult::Unreadable;
  if (text.result != FileSystem::ReadResult::Read) readFrom(places.ProgramFile(), false);
  return text;
}

std::optional<int16_t> ConvertSettingNumber(std::string_view text) {
  const std::optional<double> number = TextToNumber(text);
  if (!number) return std::nullopt;
  const double value = std::floor(*number);
  if (!(value >= -32768.0 && value <= 32767.0)) return std::nullopt;
  return static_cast<int16_t>(value);
}

void LoadSettings(SettingsValues& settings, FileSystem& files, Cp932Codec& codec,
                  const SettingsPlaces& places, UnreachableMusicFile unreachable) {
  const IniFileText file(ReadSettingsText(files, places).content, codec);
  const std::string& content = file.Text();
  const auto read = [&](const char* key) { return IniReadValue(content, texts::kIniSection, key); };

  SetFromText(settings.MusicKind, read(texts::kKeyMusicKind));
  SetFromText(settings.RepeatTrack, read(texts::kKeyRepeatTrack));

  settings.MusicFile = codec.ToUtf16(read(texts::kKeyMusicFile));
  // A path that is no file's (a pipe, a device) is never opened, not even
  // to see whether it is there.
  const bool drop = !IsMusicPath(settings.MusicFile) ||
                    (unreachable == UnreachableMusicFile::Drop && !FileExists(files, settings.MusicFile));
  if (drop) {
    settings.MusicFile.clear();
    if (settings.MusicKind == kMusicFile) settings.MusicKind = kNoMusic;
  }

  settings.MusicFolder =
      settings.MusicFile.empty() ? places.programFolder : FolderOfPath(settings.MusicFile);
}

bool SaveSettings(FileSystem& files, Cp932Codec& codec, const SettingsPlaces& places, const SavedSettings& saved) {
  const SettingsText current = ReadSettingsText(files, places);
  const IniFileText file(current.content, codec);
  const std::string kind = std::to_string(saved.musicKind);
  const std::string repeat = std::to_string(saved.repeatTrack);
  std::vector<IniEdit> edits;
  const std::string updated = IniWithValues(file.Text(), texts::kIniSection,
                                            {{texts::kKeyMusicKind, kind},
                                             {texts::kKeyRepeatTrack, repeat},
                                             {texts::kKeyMusicFile, saved.musicFile, !saved.musicFileChanged}},
                                            &edits);
  const std::string content = file.FileBytes(updated, edits);

  // A file that is there but cannot be read is not replaced: what else it
  // holds would be lost. Nor is the program folder's while the user's own
  // is only locked for now: every load after the lock would read the
  // user's file and hide the save.
  bool written = current.result != FileSystem::ReadResult::Unreadable && !current.userFileUnreadable &&
                 files.ReplaceWhole(current.path, content);
  if (!written && !current.isUserFile && !current.userFileUnreadable && !places.userFolder.empty()) {
    written = files.MakeFolder(places.userFolder) && files.ReplaceWhole(places.UserFile(), content);
  }
  LastApiResult = written ? 1 : 0;
  return written;
}

}  // namespace qb
