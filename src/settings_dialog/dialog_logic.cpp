#include "settings_dialog/dialog_logic.h"

#include "platform/number_text.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
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

OpenFileRequest MusicFileRequest(const std::string& musicFolder) {
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

void MusicChoice::ChooseFile(FileChooser& chooser, FileSystem& files) {
  const std::optional<std::string> chosen = chooser.Choose(MusicFileRequest(settings_.MusicFolder));
  // Only a file that is there goes into the settings: the saver puts the
  // path into MCI commands.
  if (!chosen || !FileExists(files, *chosen)) return;
  settings_.MusicFile = *chosen;
  musicFileChanged_ = true;
  controls_.SetFileLabel(settings_.MusicFile);
  settings_.MusicFolder = FolderOfPath(settings_.MusicFile);
}

bool MusicChoice::Save(FileSystem& files, const SettingsPlaces& places) {
  settings_.RepeatTrack = RepeatTrackFromText(controls_.ReadRepeatText());
  return SaveSettings(files, places,
                      {settings_.MusicKind, settings_.RepeatTrack, settings_.MusicFile, musicFileChanged_});
}

void OpenLink(LinkShell& shell, const std::string& address) {
  shell.ShowWaitPointer(true);
  shell.Open(address);
  shell.ShowWaitPointer(false);
}

}  // namespace qb
