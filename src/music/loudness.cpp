#include "music/loudness.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qb {
namespace {

constexpr uint16_t kExtensible = 0xFFFE;
// Chunks walked before the samples: a real file has a handful.
constexpr int kMaxChunks = 1024;
constexpr uint32_t kMaxFormatChunk = 4096;
// Loudness is shown over this many decibels below the loud passages.
constexpr double kRangeDb = 36.0;
// The loud passages: the level that this share of the music stays under.
constexpr double kLoudShare = 0.95;

uint16_t Get16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }
uint32_t Get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

// The KSDATAFORMAT_SUBTYPE GUIDs share all but their first two bytes.
bool SubFormatTag(const std::vector<uint8_t>& format, uint16_t& tag) {
  static const uint8_t kTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                    0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  if (format.size() < 40 || Get16(&format[16]) < 22) return false;
  if (std::memcmp(&format[26], kTail, sizeof(kTail)) != 0) return false;
  tag = Get16(&format[24]);
  return true;
}

}  // namespace

bool WaveLayout::IsPlain() const {
  if (formatTag == kFloat) return bitsPerSample == 32;
  return formatTag == kPcm && (bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32);
}

double WaveLayout::Seconds() const {
  if (IsPlain()) return static_cast<double>(dataSize / blockAlign) / sampleRate;
  if (factFrames) return static_cast<double>(*factFrames) / sampleRate;
  return bytesPerSecond ? static_cast<double>(dataSize) / bytesPerSecond : 0;
}

std::optional<WaveLayout> ReadWaveLayout(ByteSource& file) {
  const uint64_t size = file.Size();
  uint8_t header[12];
  if (size < 12 || !file.ReadAt(0, header, 12)) return std::nullopt;
  if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return std::nullopt;
  // The RIFF size is often wrong; the file's own size bounds the walk.
  WaveLayout layout;
  bool haveFormat = false;
  uint64_t at = 12;
  for (int chunk = 0; chunk < kMaxChunks && at + 8 <= size; ++chunk) {
    uint8_t head[8];
    if (!file.ReadAt(at, head, 8)) return std::nullopt;
    const uint32_t length = Get32(head + 4);
    const uint64_t body = at + 8;
    if (length > size - body) return std::nullopt;  // a chunk that runs past the end
    if (std::memcmp(head, "fmt ", 4) == 0) {
      if (haveFormat || length < 16 || length > kMaxFormatChunk) return std::nullopt;
      layout.format.resize(length);
      if (!file.ReadAt(body, layout.format.data(), length)) return std::nullopt;
      const uint8_t* f = layout.format.data();
      layout.formatTag = Get16(f);
      layout.channels = Get16(f + 2);
      layout.sampleRate = Get32(f + 4);
      layout.bytesPerSecond = Get32(f + 8);
      layout.blockAlign = Get16(f + 12);
      layout.bitsPerSample = Get16(f + 14);
      if (layout.formatTag == kExtensible && !SubFormatTag(layout.format, layout.formatTag)) return std::nullopt;
      haveFormat = true;
    } else if (std::memcmp(head, "fact", 4) == 0 && length >= 4) {
      uint8_t frames[4];
      if (!file.ReadAt(body, frames, 4)) return std::nullopt;
      layout.factFrames = Get32(frames);
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (!haveFormat) return std::nullopt;
      if (layout.channels == 0 || layout.channels > 8 || layout.sampleRate < 1000 || layout.sampleRate > 384000 ||
          layout.blockAlign == 0) {
        return std::nullopt;
      }
      if (layout.IsPlain() && layout.blockAlign != layout.channels * (layout.bitsPerSample / 8)) return std::nullopt;
      layout.dataOffset = body;
      layout.dataSize = length - length % layout.blockAlign;
      if (layout.dataSize == 0) return std::nullopt;
      return layout;
    }
    at = body + length + (length & 1);
  }
  return std::nullopt;
}

std::optional<float> Envelope::LevelAt(double at) const {
  if (!(at >= 0)) return std::nullopt;  // NaN too
  if (at >= seconds) return 0.0f;
  const double index = at * kValuesPerSecond;
  if (index >= static_cast<double>(levels.size())) return std::nullopt;
  return levels[static_cast<size_t>(index)] / 255.0f;
}

EnvelopeBuilder::EnvelopeBuilder(uint32_t channels, uint32_t sampleRate, uint32_t bits, bool isFloat)
    : channels_(channels), sampleRate_(sampleRate), bits_(bits), float_(isFloat) {
  const bool bitsOk = isFloat ? bits == 32 : bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (!bitsOk || channels == 0 || channels > 8 || sampleRate < 1000 || sampleRate > 384000) return;
  frameBytes_ = channels * bits / 8;
  maxValues_ = static_cast<uint64_t>(kMaxSeconds) * Envelope::kValuesPerSecond;
}

double EnvelopeBuilder::SampleAt(const uint8_t* at) const {
  if (float_) {
    float value;
    std::memcpy(&value, at, 4);
    return std::isfinite(value) ? std::clamp(static_cast<double>(value), -1.0, 1.0) : 0.0;
  }
  switch (bits_) {
    case 8: return (at[0] - 128) / 128.0;
    case 16: return static_cast<int16_t>(Get16(at)) / 32768.0;
    case 24:
      return static_cast<int32_t>(static_cast<uint32_t>(at[0]) << 8 | static_cast<uint32_t>(at[1]) << 16 |
                                  static_cast<uint32_t>(at[2]) << 24) /
             2147483648.0;
    default: return static_cast<int32_t>(Get32(at)) / 2147483648.0;
  }
}

void EnvelopeBuilder::AddFrame(const uint8_t* frame) {
  for (uint32_t c = 0; c < channels_; ++c) {
    const double s = SampleAt(frame + c * (bits_ / 8));
    sumOfSquares_ += s * s;
  }
  ++framesInValue_;
  // Values at every hundredth of a second, whatever the rate: a rate that
  // is no multiple of 100 would drift seconds in half an hour.
  if (++frames_ * Envelope::kValuesPerSecond >= (power_.size() + 1) * sampleRate_) {
    power_.push_back(static_cast<float>(sumOfSquares_ / (static_cast<double>(framesInValue_) * channels_)));
    framesInValue_ = 0;
    sumOfSquares_ = 0;
  }
}

bool EnvelopeBuilder::Add(const uint8_t* bytes, size_t size) {
  if (!Valid() || power_.size() >= maxValues_) return false;
  size_t used = 0;
  if (!partial_.empty()) {
    used = std::min(size, frameBytes_ - partial_.size());
    partial_.insert(partial_.end(), bytes, bytes + used);
    if (partial_.size() < frameBytes_) return true;
    AddFrame(partial_.data());
    partial_.clear();
  }
  for (; size - used >= frameBytes_ && power_.size() < maxValues_; used += frameBytes_) AddFrame(bytes + used);
  if (power_.size() >= maxValues_) return false;
  partial_.assign(bytes + used, bytes + size);
  return true;
}

std::optional<Envelope> EnvelopeBuilder::Finish(double seconds) {
  if (power_.empty() || !(seconds > 0)) return std::nullopt;
  // Decibels below the loud passages, over kRangeDb: a quiet piece and a
  // loud one both swing the light through its whole range.
  std::vector<float> sorted = power_;
  const size_t loudIndex = static_cast<size_t>(kLoudShare * static_cast<double>(sorted.size() - 1));
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(loudIndex), sorted.end());
  const double loud = std::max(static_cast<double>(sorted[loudIndex]), 1e-9);
  Envelope envelope;
  envelope.seconds = seconds;
  envelope.levels.reserve(power_.size());
  for (float power : power_) {
    const double db = 10.0 * std::log10(std::max(static_cast<double>(power), 1e-12) / loud);
    envelope.levels.push_back(static_cast<uint8_t>(std::lround(255.0 * std::clamp(1.0 + db / kRangeDb, 0.0, 1.0))));
  }
  return envelope;
}

std::optional<double> PlaybackSeconds(const MusicBlock& block, uint64_t nowMs, double seconds) {
  if (!block.playing || !(seconds > 0)) return std::nullopt;
  const uint64_t anchor = block.hasPosition ? block.positionAtMs : block.startMs;
  const double from = block.hasPosition ? block.positionMs / 1000.0 : 0.0;
  // A time from the future is the two clocks read a moment apart.
  const double at = from + (nowMs > anchor ? static_cast<double>(nowMs - anchor) / 1000.0 : 0.0);
  if (block.kind == BlockMusicKind::Wav) return std::fmod(at, seconds);
  return at;
}

}  // namespace qb
