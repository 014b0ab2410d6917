#include "saver/saver_logic.h"

#include <utility>

#include "platform/cp932.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
#include "platform/utf16.h"

namespace qb {

MusicFileType MusicFileTypeOf(const std::u16string& musicFile) {
  const std::string ending =
      AsciiUpper(NarrowAscii(std::u16string_view(musicFile).substr(musicFile.size() < 3 ? 0 : musicFile.size() - 3)));
  if (ending == "WAV") return MusicFileType::Wav;
  if (ending == "MP3") return MusicFileType::Mp3;
  return MusicFileType::None;
}

SaverLogic::SaverLogic(const SettingsValues& settings, std::u16string programFolder,
                       std::string argumentString, int32_t& savedCursorCount, SaverMusic& music,
                       SaverTimers& timers, Desktop& desktop, MusicShare* share)
    : settings_(settings),
      programFolder_(std::move(programFolder)),
      argumentString_(std::move(argumentString)),
      savedCursorCount_(savedCursorCount),
      music_(music),
      timers_(timers),
      desktop_(desktop),
      share_(share) {}

void SaverLogic::FormLoad() {
  if (settings_.MusicKind == kAudioCd) {
    music_.CdOpen();
    cdOpened_ = true;
    timers_.SetEnabled(SaverTimer::Timer2, true);
  }
  fileMusic_ = settings_.MusicKind == kMusicFile ? MusicFileTypeOf(settings_.MusicFile)
                                                 : MusicFileType::None;
  // A WAV that does not play (no wave device) has nothing to follow.
  const bool wavPlays = fileMusic_ == MusicFileType::Wav && music_.WavPlay();
  if (fileMusic_ == MusicFileType::Mp3) {
    music_.Mp3Open();
    timers_.SetEnabled(SaverTimer::Timer1, true);
  }
  if (wavPlays || fileMusic_ == MusicFileType::Mp3) ShareMusic();

  // Music first, then the presentation.
  companionSeen_ = 0;
  companionPath_ = CompanionPathOf(programFolder_);
  companion_ = desktop_.StartProgram(companionPath_);
}

void SaverLogic::ShareMusic() {
  if (!share_ || fileMusic_ == MusicFileType::None || !IsMusicPath(settings_.MusicFile)) return;
  shared_.kind = fileMusic_ == MusicFileType::Wav ? BlockMusicKind::Wav : BlockMusicKind::Mp3;
  shared_.playing = true;
  shared_.startMs = share_->Milliseconds();
  shared_.path = settings_.MusicFile;
  share_->Publish(shared_);
}

void SaverLogic::Timer1Tick() {
  music_.Mp3KeepLooping();
  // The player's own position keeps the presentation in step across
  // restarts and stalls; without one it does not follow at all.
  if (!share_ || shared_.path.empty()) return;
  const std::optional<uint32_t> position = music_.Mp3Position();
  const uint64_t now = share_->Milliseconds();
  if (position && shared_.hasPosition && *position < shared_.positionMs) shared_.startMs = now - *position;
  shared_.playing = position.has_value();
  shared_.hasPosition = position.has_value();
  shared_.positionAtMs = now;
  shared_.positionMs = position.value_or(0);
  share_->Publish(shared_);
}

void SaverLogic::Timer2Tick() {
  music_.CdPoll();
  timers_.SetEnabled(SaverTimer::Timer2, music_.CdKeepPolling());
}

void SaverLogic::Timer3Tick() {
  // Only the window of the process started here counts: a window of the
  // same title from another program (or an earlier run) neither stands in
  // for the presentation nor keeps the saver alive.
  const bool present = companion_ && companion_->HasWindow(texts::kCompanionWindowTitle);
  if (companionSeen_ == 0) {
    if (present) {
      companionSeen_ = 1;
    } else if (CompanionGone()) {
      // The presentation can no longer appear: without this the saver would
      // stay behind, hidden, with the music playing.
      timers_.SetEnabled(SaverTimer::Timer3, false);
      FormQueryUnload();
    }
    return;
  }
  if (!present || CompanionGone()) {
    timers_.SetEnabled(SaverTimer::Timer3, false);
    FormQueryUnload();
  }
}

bool SaverLogic::CompanionGone() { return !companion_ || companion_->HasEnded(); }

void SaverLogic::FormQueryUnload() {
  // A close request arriving while the close path runs (a message pumped by
  // a music call) must not run it twice.
  if (closing_) return;
  closing_ = true;

  // Polling may have given up on a reply it could not read while the disc
  // plays on: the CD is stopped and closed whenever it was opened.
  if (cdOpened_) {
    timers_.SetEnabled(SaverTimer::Timer2, false);
    music_.CdStop();
  }
  if (fileMusic_ == MusicFileType::Wav) music_.WavStop();
  if (fileMusic_ == MusicFileType::Mp3) {
    timers_.SetEnabled(SaverTimer::Timer1, false);
    music_.Mp3Stop();
  }
  if (ModeLetter(argumentString_) == "S") {
    savedCursorCount_ = desktop_.ShowCursor(savedCursorCount_);
  }
  desktop_.EndProcess();
}

}  // namespace qb
