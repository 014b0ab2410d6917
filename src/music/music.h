// What the saver window asks of the music players. The players read the
// settings values themselves; none of these calls reports anything back
// but CdKeepPolling, Mp3Position and WavPlay.
#pragma once

#include <cstdint>
#include <optional>

namespace qb {

class SaverMusic {
 public:
  virtual ~SaverMusic() = default;
  virtual void CdOpen() = 0;
  virtual void CdPoll() = 0;
  virtual bool CdKeepPolling() const = 0;
  virtual void CdStop() = 0;
  virtual void Mp3Open() = 0;
  virtual void Mp3KeepLooping() = 0;
  virtual void Mp3Stop() = 0;
  // Where the MP3 plays now, in milliseconds; nothing when it does not play.
  virtual std::optional<uint32_t> Mp3Position() = 0;
  // True when the sound player took the file.
  virtual bool WavPlay() = 0;
  virtual void WavStop() = 0;
};

}  // namespace qb
