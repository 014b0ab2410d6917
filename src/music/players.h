// The three music players: audio CD through the cdaudio device, MP3 through
// the MPEGVideo device under the alias MP3Play, WAV through the system sound
// player. They read the settings values themselves.
#pragma once

#include <cstdint>

#include "music/mci_channel.h"
#include "music/music.h"
#include "platform/ports.h"
#include "settings/settings_values.h"

namespace qb {

// Plays the disc and keeps it playing, or keeps one track repeating.
class CdPlayer {
 public:
  static constexpr uint32_t kModeBufferSize = 255;

  CdPlayer(MciChannel& mci, const SettingsValues& settings) : mci_(mci), settings_(settings) {}

  void CdOpen();
  void CdPoll();
  void CdStop();
  bool CdKeepPolling() const { return keepPolling_ != 0; }

  // The device's last mode reply; it is not cleared between ticks.
  char CdModeBuffer[kModeBufferSize] = {};

 private:
  bool PollSteps();

  MciChannel& mci_;
  const SettingsValues& settings_;
  int16_t keepPolling_ = 0;  // -1 true, 0 false
};

// MP3 restarted whenever it stops; WAV looped by the sound player.
class FilePlayers {
 public:
  static constexpr uint32_t kModeBufferSize = 30;
  // SND_ASYNC | SND_LOOP | SND_NODEFAULT | SND_FILENAME: the name is a
  // file's, never a sound alias, and a file gone by then plays nothing
  // rather than the system's default sound.
  static constexpr uint32_t kLoopFlags = 0x0001 | 0x0008 | 0x0002 | 0x00020000;

  FilePlayers(MciChannel& mci, SoundPort& sound, const SettingsValues& settings)
      : mci_(mci), sound_(sound), settings_(settings) {}

  void Mp3Open();
  bool Mp3IsPlaying();
  void Mp3KeepLooping();
  void Mp3Stop();
  std::optional<uint32_t> Mp3Position();
  bool WavPlay();
  void WavStop();

  // The last mode reply of MP3Play; it is not cleared between ticks.
  char Mp3ModeBuffer[kModeBufferSize] = {};

 private:
  MciChannel& mci_;
  SoundPort& sound_;
  const SettingsValues& settings_;
};

// Everything the saver window plays, behind the one interface it uses. Both
// players share one command channel.
class MusicPlayers : public SaverMusic {
 public:
  MusicPlayers(MciPort& mci, SoundPort& sound, const SettingsValues& settings)
      : channel_(mci), cd_(channel_, settings), files_(channel_, sound, settings) {}

  void CdOpen() override { cd_.CdOpen(); }
  void CdPoll() override { cd_.CdPoll(); }
  bool CdKeepPolling() const override { return cd_.CdKeepPolling(); }
  void CdStop() override { cd_.CdStop(); }
  void Mp3Open() override { files_.Mp3Open(); }
  void Mp3KeepLooping() override { files_.Mp3KeepLooping(); }
  void Mp3Stop() override { files_.Mp3Stop(); }
  std::optional<uint32_t> Mp3Position() override { return files_.Mp3Position(); }
  bool WavPlay() override { return files_.WavPlay(); }
  void WavStop() override { files_.WavStop(); }

 private:
  MciChannel channel_;
  CdPlayer cd_;
  FilePlayers files_;
};

}  // namespace qb
