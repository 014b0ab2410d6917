// The process-wide settings values, as the settings file gives them. The
// saver, the music players and the settings dialog all read them.
#pragma once

#include <cstdint>
#include <string>

namespace qb {

struct SettingsValues {
  int16_t MusicKind = 0;       // 0 no music, 1 audio CD, 2 music file
  int16_t RepeatTrack = 0;     // CD track to repeat, 0 for none
  std::u16string MusicFile;    // full path of the MP3 or WAV file, or empty
  std::u16string MusicFolder;  // folder of MusicFile, or the program folder
};

enum MusicKindValue : int16_t { kNoMusic = 0, kAudioCd = 1, kMusicFile = 2 };

}  // namespace qb
