// The MP3 frame walker on any bytes: what it walks lies in the data, stops
// at its bound, and walking just what it walked spans the same bytes.
#include <cstdint>
#include <string>

#include "check.h"
#include "fuzz_input.h"
#include "music/mp3_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 262144) return 0;
  qb::fuzz::Input input(data, size);
  const uint64_t maxSamples = 1 + input.Byte() * 1000ull;
  const std::string bytes = input.Rest();
  const auto* start = reinterpret_cast<const uint8_t*>(bytes.data());
  const auto walk = qb::WalkMp3Frames(start, bytes.size(), maxSamples);
  if (!walk) return 0;
  QB_FUZZ_CHECK(walk->frames >= 1 && walk->first < walk->end && walk->end <= bytes.size());
  // The smallest frame is 24 bytes (MPEG-2 layer III at 8 kbit/s and 24 kHz).
  QB_FUZZ_CHECK(walk->end - walk->first >= 24 * walk->frames);
  QB_FUZZ_CHECK(walk->samples >= 384 * walk->frames && walk->samples <= 1152 * walk->frames);
  QB_FUZZ_CHECK(walk->samples < maxSamples + 1152 && walk->sampleRate >= 8000 && walk->sampleRate <= 48000);
  // Cut where the walk ended, the data walks the same way: only a frame
  // ending right at the cut may now be taken where another was.
  if (walk->frames >= 2) {
    const auto again = qb::WalkMp3Frames(start, walk->end, maxSamples);
    QB_FUZZ_CHECK(again && again->first == walk->first && again->end == walk->end);
  }
  return 0;
}
