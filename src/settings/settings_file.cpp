#include "startup/settings.h"

#include <cmath>

#include "platform/cp932.h"
#include "platform/last_api_result.h"
#include "platform/number_text.h"
#include "platform/program_paths.h"
#include "platform/texts.h"

namespace qb {

namespace {

constexpr uint32_t kReadBufferSize = 256;
constexpr size_t kNameFieldSize = 128;

void SetFromText(int16_t& target, const std::string& text) {
  if (text.empty()) {
    target = 0;
    return;
  }
  if (auto value = ConvertSettingNumber(text)) target = *value;
}

}  // namespace

std::string ReadIniString(ProfileStore& store, const char* section, const char* key,
                          const std::string& path) {
  char buffer[kReadBufferSize] = {};
  store.GetString(section, key, "", buffer, kReadBufferSize, path);
  buffer[kReadBufferSize - 1] = '\0';
  return std::string(buffer);
}

void WriteIniString(ProfileStore& store, const char* section, const char* key,
                    const std::string& value, const std::string& path) {
  const std::string sectionField = Cp932Truncate(section, kNameFieldSize - 1);
  const std::string keyField = Cp932Truncate(key, kNameFieldSize - 1);
  LastApiResult = store.WriteString(sectionField.c_str(), keyField.c_str(), value, path);
}

std::optional<int16_t> ConvertSettingNumber(std::string_view text) {
  const std::optional<double> number = TextToNumber(text);
  if (!number) return std::nullopt;
  const double value = std::floor(*number);
  if (!(value >= -32768.0 && value <= 32767.0)) return std::nullopt;
  return static_cast<int16_t>(value);
}

bool FileExists(FileSystem& files, std::string path) {
  if (Cp932Last(path, 1) == "\\") path.pop_back();
  if (path.empty()) return false;
  return files.CanOpenForReading(path);
}

void LoadSettings(SettingsValues& settings, ProfileStore& store, FileSystem& files,
                  const std::string& programFolder) {
  const std::string file = SettingsFilePath(programFolder);

  SetFromText(settings.MusicKind, ReadIniString(store, texts::kIniSection, texts::kKeyMusicKind, file));
  SetFromText(settings.RepeatTrack,
              ReadIniString(store, texts::kIniSection, texts::kKeyRepeatTrack, file));

  const std::string musicFile = ReadIniString(store, texts::kIniSection, texts::kKeyMusicFile, file);
  settings.MusicFile = musicFile;
  if (musicFile.empty() || !FileExists(files, musicFile)) {
    settings.MusicFile.clear();
    if (settings.MusicKind == kMusicFile) settings.MusicKind = kNoMusic;
  }

  settings.MusicFolder = settings.MusicFile.empty() ? programFolder : FolderOfPath(settings.MusicFile);
}

}  // namespace qb
