#include "settings_dialog/dialog_logic.h"

#include "platform/number_text.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
#include "settings/ini_text.h"
#include "settings_dialog/dialog_geometry.h"

namespace qb {

namespace {

constexpr uint32_t kFileBufferSize = 255;

bool IsChoice(int16_t kind) { return kind >= 0 && kind < kChoiceCount; }

}  // namespace

std::string RepeatText(int32_t value) { return value == 0 ? std::string() : std::to_string(value); }

int16_t RepeatTrackFromText(std::string_view text) {
  return static_cast<int16_t>(IntegerFromText(text, INT16_MIN, INT16_MAX).value_or(0));
}

OpenFileRequest MusicFileRequest(const std::u16string& musicFolder) {
  OpenFileRequest request;
  request.filter.assign(texts::kMusicFileFilter, sizeof(texts::kMusicFileFilter));
  request.initialFolder = musicFolder;
  request.title = texts::kFileChooserTitle;
  request.fileBufferSize = kFileBufferSize;
  request.fileTitleBufferSize = kFileBufferSize;
  return request;
}

void MusicChoice::ShowMarks(int16_t kind) {
  for (int16_t i = 0; i < kChoiceCount; ++i) controls_.ShowMark(i, false);
  // A kind outside the three choices (a hand-edited file) names no mark.
  if (IsChoice(kind)) controls_.ShowMark(kind, true);
}

void MusicChoice::ShowStoredSettings() {
  controls_.EnableRepeat(false);
  ShowMarks(settings_.MusicKind);
  if (settings_.MusicKind == kAudioCd) controls_.EnableRepeat(true);
  controls_.EnableFileButton(settings_.MusicKind == kMusicFile);
  controls_.SetRepeatText(RepeatText(settings_.RepeatTrack));
  for (int i = 0; i < kRepeatEntryCount; ++i) controls_.AddRepeatEntry(RepeatText(i));
  controls_.SetFileLabel(settings_.MusicFile);
}

void MusicChoice::SelectMusicKind(int16_t kind) {
  settings_.MusicKind = kind;
  controls_.EnableFileButton(false);
  controls_.EnableRepeat(false);
  ShowMarks(kind);
  if (kind == kAudioCd) controls_.EnableRepeat(true);
  if (kind == kMusicFile) controls_.EnableFileButton(true);
}

void MusicChoice::ChooseFile(FileChooser& chooser, FileSystem& files, Cp932Codec& codec) {
  const std::optional<std::u16string> chosen = chooser.Choose(MusicFileRequest(settings_.MusicFolder));
  // Only a file that is there goes into the settings: the saver puts the
  // path into MCI commands.
  if (!chosen || !IsMusicPath(*chosen) || !FileExists(files, *chosen)) return;
  std::u16string path = *chosen;
  // What the settings file cannot give back whole, a name code page 932
  // lacks or one longer than a value reads back, goes in as its short form.
  const auto keepable = [&](const std::u16string& name) {
    std::optional<std::string> bytes = codec.FromUtf16(name);
    if (bytes && bytes->size() > kIniValueBytes) bytes.reset();
    return bytes;
  };
  std::optional<std::string> stored = keepable(path);
  if (!stored) {
    const std::optional<std::u16string> shortPath = files.ShortPath(path);
    if (shortPath) stored = keepable(*shortPath);
    if (stored) path = *shortPath;
  }
  if (!stored) {
    controls_.SayNameCannotBeKept();
    return;
  }
  settings_.MusicFile = path;
  chosenFile_ = *stored;
  musicFileChanged_ = true;
  controls_.SetFileLabel(settings_.MusicFile);
  settings_.MusicFolder = FolderOfPath(settings_.MusicFile);
}

bool MusicChoice::Save(FileSystem& files, Cp932Codec& codec, const SettingsPlaces& places) {
  settings_.RepeatTrack = RepeatTrackFromText(controls_.ReadRepeatText());
  // A path that was not chosen here was read from the file, where its line
  // stays as it stands; should the file have lost it meanwhile, it is
  // written again.
  const std::string musicFile =
      musicFileChanged_ ? chosenFile_ : codec.FromUtf16(settings_.MusicFile).value_or(std::string());
  return SaveSettings(files, codec, places, {settings_.MusicKind, settings_.RepeatTrack, musicFile, musicFileChanged_});
}

void OpenLink(LinkShell& shell, const std::string& address) {
  shell.ShowWaitPointer(true);
  shell.Open(address);
  shell.ShowWaitPointer(false);
}

}  // namespace qb
