// Walks the frames of an MPEG audio (MP3) file without decoding them: how
// long the music is, and where the first stretch of it ends, so that the
// decoder is given a bounded amount of work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace qb {

struct Mp3Frames {
  size_t first = 0;  // offset of the first frame, after any ID3v2 tag
  size_t end = 0;    // offset just past the last frame walked
  uint32_t sampleRate = 0;
  uint64_t frames = 0;
  uint64_t samples = 0;  // per channel
  double Seconds() const { return sampleRate ? static_cast<double>(samples) / sampleRate : 0; }
};

// The frames of `data` from its start, up to `maxSamples` samples: nothing
// when no two frames in a row of one kind begin within the first 64 KiB
// after the tag. The walk ends at the first byte that does not start a
// frame of that kind, after a short search for one.
std::optional<Mp3Frames> WalkMp3Frames(const uint8_t* data, size_t size, uint64_t maxSamples);

}  // namespace qb
