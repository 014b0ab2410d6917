#include "music/mp3_frames.h"

namespace qb {
namespace {

// How far a frame is looked for: at the start, past junk after the tag;
// later, past a damaged stretch.
constexpr size_t kStartSearch = 64 * 1024;
constexpr size_t kResync = 4096;

struct Header {
  uint32_t kind;  // version, layer and sample rate bits: every frame of a file shares them
  uint32_t sampleRate;
  uint32_t samples;
  size_t length;
};

// kbit/s by [version is MPEG-1][layer - 1][index].
constexpr uint16_t kBitrates[2][3][15] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}};
constexpr uint32_t kRates[3] = {44100, 48000, 32000};

// The frame header at `at`, when one is there whole, with its frame.
bool ReadHeader(const uint8_t* data, size_t size, size_t at, Header& h) {
  if (size < 4 || at > size - 4) return false;
  const uint8_t* b = data + at;
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
  const uint32_t version = (b[1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
  const uint32_t layer = 4 - ((b[1] >> 1) & 3);  // 1, 2, 3 (4: reserved)
  const uint32_t bitrateIndex = b[2] >> 4, rateIndex = (b[2] >> 2) & 3;
  // Free-format frames carry no length to walk by.
  if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  const bool mpeg1 = version == 3;
  const uint32_t kbps = kBitrates[mpeg1][layer - 1][bitrateIndex];
  h.sampleRate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  const uint32_t padding = (b[2] >> 1) & 1;
  if (layer == 1) {
    h.samples = 384;
    h.length = (12 * kbps * 1000 / h.sampleRate + padding) * 4;
  } else {
    h.samples = layer == 3 && !mpeg1 ? 576 : 1152;
    h.length = h.samples / 8 * kbps * 1000 / h.sampleRate + padding;
  }
  h.kind = (static_cast<uint32_t>(b[1]) & 0x1E) << 8 | (b[2] & 0x0C);
  return h.length >= 4 && h.length <= size - at;
}

// A frame at `at` whose next one is of the same kind, or which ends the data.
bool Locks(const uint8_t* data, size_t size, size_t at, Header& h) {
  if (!ReadHeader(data, size, at, h)) return false;
  Header next;
  return at + h.length == size || (ReadHeader(data, size, at + h.length, next) && next.kind == h.kind);
}

}  // namespace

std::optional<Mp3Frames> WalkMp3Frames(const uint8_t* data, size_t size, uint64_t maxSamples) {
  if (!data) return std::nullopt;
  Mp3Frames walk;
  // An ID3v2 tag: "ID3", version, flags, then a size in 7-bit bytes.
  if (size >= 10 && data[0] == 'I' && data[1] == 'D' && data[2] == '3' &&
      ((data[6] | data[7] | data[8] | data[9]) & 0x80) == 0) {
    const size_t tag = static_cast<size_t>(data[6]) << 21 | static_cast<size_t>(data[7]) << 14 |
                       static_cast<size_t>(data[8]) << 7 | data[9];
    walk.first = 10 + tag + ((data[5] & 0x10) ? 10 : 0);
    if (walk.first > size) return std::nullopt;
  }
  Header h;
  size_t at = walk.first;
  const size_t searchEnd = walk.first + kStartSearch;
  while (at < size && at < searchEnd && !(Locks(data, size, at, h) && at + h.length < size)) ++at;
  if (at >= size || at >= searchEnd) return std::nullopt;
  walk.first = at;
  walk.sampleRate = h.sampleRate;
  const uint32_t kind = h.kind;
  while (walk.samples < maxSamples) {
    walk.frames += 1;
    walk.samples += h.samples;
    at += h.length;
    walk.end = at;
    // The next frame where this one ends, or past damage one of the same
    // kind a little further on, followed by another.
    Header found;
    if (ReadHeader(data, size, at, found) && found.kind == kind) {
      h = found;
      continue;
    }
    size_t next = at + 1;
    while (next < size && next - at < kResync && !(Locks(data, size, next, found) && found.kind == kind)) ++next;
    if (next >= size || next - at >= kResync) break;
    at = next;
    h = found;
  }
  return walk;
}

}  // namespace qb
