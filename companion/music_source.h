// The music the saver plays, as the presentation follows it: the block the
// saver passed down (its handle named in the environment), the file's
// loudness decoded once in the background, and the loudness at this moment.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "music/loudness.h"
#include "platform/music_block.h"

namespace qb {

class MusicSource {
 public:
  // Takes the block, if this process was given one, and starts decoding.
  MusicSource();
  // Asks the decoding to stop and waits a little for it.
  ~MusicSource();
  MusicSource(const MusicSource&) = delete;
  MusicSource& operator=(const MusicSource&) = delete;

  // The loudness playing now, 0..1; nothing without a block, a decoded
  // file or playback.
  std::optional<float> LevelNow();

 private:
  // What the decoding thread shares with the window's: left behind, not
  // freed, should the thread outlast the wait at the end.
  struct Decoding {
    std::u16string path;
    BlockMusicKind kind;
    std::atomic<bool> cancel{false};
    std::unique_ptr<Envelope> envelope;  // the thread's until ready is set
    std::atomic<bool> ready{false};
  };

  static DWORD WINAPI DecodeThread(void* decoding);
  // The block as it stands, when it changed since the last look and is whole.
  void Refresh();

  const uint8_t* view_ = nullptr;
  uint32_t sequence_ = 1;  // odd: never a whole block's
  std::optional<MusicBlock> block_;
  Decoding* decoding_ = nullptr;
  HANDLE thread_ = nullptr;
};

}  // namespace qb
