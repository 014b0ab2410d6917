// The saver window's behaviour, apart from the window that hosts it: start
// the music and the companion program, watch the companion's window, and on
// close stop the music, give the cursor back and end the process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "music/music.h"
#include "platform/music_block.h"
#include "platform/ports.h"
#include "settings/settings_values.h"

namespace qb {

enum class SaverTimer { Timer1, Timer2, Timer3 };

struct SaverTimerInfo {
  SaverTimer id;
  uint32_t intervalMs;
  bool enabledAtStart;
};

inline constexpr SaverTimerInfo kSaverTimers[] = {
    {SaverTimer::Timer1, 1000, false},  // MP3 keep-looping
    {SaverTimer::Timer2, 200, false},   // CD polling
    {SaverTimer::Timer3, 500, true},    // companion watch
};

class SaverTimers {
 public:
  virtual ~SaverTimers() = default;
  virtual void SetEnabled(SaverTimer timer, bool enabled) = 0;
  virtual bool IsEnabled(SaverTimer timer) const = 0;
};

enum class MusicFileType { None, Wav, Mp3 };

// Decided by the name alone: the last three characters, upper-cased.
MusicFileType MusicFileTypeOf(const std::u16string& musicFile);

class SaverLogic {
 public:
  SaverLogic(const SettingsValues& settings, std::u16string programFolder,
             std::string argumentString, int32_t& savedCursorCount, SaverMusic& music,
             SaverTimers& timers, Desktop& desktop, MusicShare* share = nullptr);

  void FormLoad();
  void FormQueryUnload();
  void Timer1Tick();
  void Timer2Tick();
  void Timer3Tick();

  int16_t CompanionSeen() const { return companionSeen_; }
  const std::u16string& CompanionPath() const { return companionPath_; }

 private:
  bool CompanionGone();
  // Tells the presentation which file plays, and from when.
  void ShareMusic();

  const SettingsValues& settings_;
  const std::u16string programFolder_;
  const std::string argumentString_;
  int32_t& savedCursorCount_;
  SaverMusic& music_;
  SaverTimers& timers_;
  Desktop& desktop_;
  MusicShare* share_;
  MusicBlock shared_;

  // The file music FormLoad asked for. The close path stops that one, so it
  // is decided in one place, whatever the settings say by then.
  MusicFileType fileMusic_ = MusicFileType::None;
  bool cdOpened_ = false;
  std::u16string companionPath_;
  int16_t companionSeen_ = 0;
  std::unique_ptr<ChildProcess> companion_;
  bool closing_ = false;
};

}  // namespace qb
