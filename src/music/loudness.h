// The music's loudness over time, as the presentation follows it: a WAV
// file's layout read from its RIFF chunks, PCM reduced to a loudness
// envelope of kValuesPerSecond values a second, and where in the music
// playback stands. Every file is someone else's: a truncated, huge or
// lying one gives nothing, in bounded time and memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/music_block.h"

namespace qb {

// Random-access reads of a file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Exactly `size` bytes from `offset`, or false.
  virtual bool ReadAt(uint64_t offset, void* out, size_t size) = 0;
};

// A WAVE file: its format chunk and where its samples lie.
struct WaveLayout {
  uint16_t formatTag = 0;  // as the format chunk says; WAVE_FORMAT_EXTENSIBLE is resolved
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t bytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  std::vector<uint8_t> format;  // the whole format chunk, for the system's codecs
  uint64_t dataOffset = 0;
  uint64_t dataSize = 0;  // whole blocks only
  std::optional<uint32_t> factFrames;  // the 'fact' chunk's length, in frames

  static constexpr uint16_t kPcm = 1, kFloat = 3;
  // Samples our own reader takes: integer PCM of 8 to 32 bits, or 32-bit float.
  bool IsPlain() const;
  // The music's length; for a compressed file from its 'fact' chunk, or
  // its average rate.
  double Seconds() const;
};

// The layout of the WAVE file in `file`; nothing when it is not one, or
// one whose chunks do not lie within the file.
std::optional<WaveLayout> ReadWaveLayout(ByteSource& file);

// Loudness, 0 (silent) to 255 (the music's loud passages), every 1/100 s.
struct Envelope {
  static constexpr int kValuesPerSecond = 100;
  std::vector<uint8_t> levels;
  double seconds = 0;  // the music's whole length; levels may cover less

  // 0..1 at `seconds` into the music: 0 past its end, nothing beyond what
  // was reduced (or before the start).
  std::optional<float> LevelAt(double seconds) const;
};

// Reduces PCM to an Envelope, at most kMaxSeconds of it.
class EnvelopeBuilder {
 public:
  static constexpr uint32_t kMaxSeconds = 30 * 60;

  // Interleaved frames of `channels` samples of `bits` each (8 unsigned,
  // 16, 24 or 32 signed little-endian, or 32-bit float).
  EnvelopeBuilder(uint32_t channels, uint32_t sampleRate, uint32_t bits, bool isFloat);
  bool Valid() const { return frameBytes_ != 0; }
  // Takes the next `size` bytes; a frame split between calls is joined.
  // False once the bound is reached: more is not wanted.
  bool Add(const uint8_t* bytes, size_t size);
  // The envelope of what was added, of a music `seconds` long in all;
  // nothing when no whole 1/100 s was added.
  std::optional<Envelope> Finish(double seconds);

 private:
  double SampleAt(const uint8_t* at) const;
  void AddFrame(const uint8_t* frame);

  uint32_t channels_, sampleRate_, bits_, frameBytes_ = 0;
  bool float_;
  uint64_t maxValues_ = 0;
  uint64_t frames_ = 0;
  uint32_t framesInValue_ = 0;
  double sumOfSquares_ = 0;
  std::vector<uint8_t> partial_;
  std::vector<float> power_;  // mean square per value
};

// Seconds into the music that play at `nowMs` (the block's clock), for
// music `seconds` long: a WAV loops without a gap, an MP3 runs on from the
// last position its player reported. Nothing when it is not playing.
std::optional<double> PlaybackSeconds(const MusicBlock& block, uint64_t nowMs, double seconds);

}  // namespace qb
