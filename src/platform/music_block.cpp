#include "platform/music_block.h"

#include "platform/program_paths.h"

namespace qb {
namespace {

constexpr uint32_t kMagic = 0x424D4251;  // "QBMB"

void Put32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put64(uint8_t* at, uint64_t v) {
  Put32(at, static_cast<uint32_t>(v));
  Put32(at + 4, static_cast<uint32_t>(v >> 32));
}
uint32_t Get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}
uint64_t Get64(const uint8_t* at) { return Get32(at) | static_cast<uint64_t>(Get32(at + 4)) << 32; }

// Offsets in the block; the sequence counter sits at 12.
enum : size_t {
  kMagicAt = 0, kVersionAt = 4, kSizeAt = 8, kKindAt = 16, kFlagsAt = 20, kStartAt = 24, kPositionAtAt = 32,
  kPositionAt = 40, kPathLengthAt = 44, kPathAt = kMusicBlockHeaderSize
};
constexpr uint32_t kPlaying = 1, kHasPosition = 2;

}  // namespace

bool EncodeMusicBlock(const MusicBlock& block, uint8_t* bytes) {
  if (block.path.size() > kMusicBlockMaxPath) return false;
  Put32(bytes + kMagicAt, kMagic);
  Put32(bytes + kVersionAt, kMusicBlockVersion);
  Put32(bytes + kSizeAt, static_cast<uint32_t>(kMusicBlockSize));
  Put32(bytes + kKindAt, static_cast<uint32_t>(block.kind));
  Put32(bytes + kFlagsAt, (block.playing ? kPlaying : 0) | (block.hasPosition ? kHasPosition : 0));
  Put64(bytes + kStartAt, block.startMs);
  Put64(bytes + kPositionAtAt, block.positionAtMs);
  Put32(bytes + kPositionAt, block.positionMs);
  Put32(bytes + kPathLengthAt, static_cast<uint32_t>(block.path.size()));
  for (size_t i = 0; i <= block.path.size(); ++i) {
    const char16_t c = i < block.path.size() ? block.path[i] : u'\0';
    bytes[kPathAt + 2 * i] = static_cast<uint8_t>(c);
    bytes[kPathAt + 2 * i + 1] = static_cast<uint8_t>(c >> 8);
  }
  return true;
}

std::optional<MusicBlock> DecodeMusicBlock(const uint8_t* bytes, size_t size) {
  if (!bytes || size < kMusicBlockSize) return std::nullopt;
  if (Get32(bytes + kMagicAt) != kMagic || Get32(bytes + kVersionAt) != kMusicBlockVersion ||
      Get32(bytes + kSizeAt) != kMusicBlockSize || (Get32(bytes + kMusicBlockSequenceOffset) & 1) != 0) {
    return std::nullopt;
  }
  MusicBlock block;
  const uint32_t kind = Get32(bytes + kKindAt);
  if (kind != static_cast<uint32_t>(BlockMusicKind::Wav) && kind != static_cast<uint32_t>(BlockMusicKind::Mp3)) {
    return std::nullopt;
  }
  block.kind = static_cast<BlockMusicKind>(kind);
  const uint32_t flags = Get32(bytes + kFlagsAt);
  if ((flags & ~(kPlaying | kHasPosition)) != 0) return std::nullopt;
  block.playing = (flags & kPlaying) != 0;
  block.hasPosition = (flags & kHasPosition) != 0;
  block.startMs = Get64(bytes + kStartAt);
  block.positionAtMs = Get64(bytes + kPositionAtAt);
  block.positionMs = Get32(bytes + kPositionAt);
  const uint32_t length = Get32(bytes + kPathLengthAt);
  if (length > kMusicBlockMaxPath) return std::nullopt;
  block.path.resize(length);
  for (uint32_t i = 0; i <= length; ++i) {
    const char16_t c = static_cast<char16_t>(bytes[kPathAt + 2 * i] | bytes[kPathAt + 2 * i + 1] << 8);
    if (i == length ? c != u'\0' : c == u'\0') return std::nullopt;
    if (i < length) block.path[i] = c;
  }
  if (!IsMusicPath(block.path)) return std::nullopt;
  return block;
}

std::optional<uint32_t> ParseBlockHandle(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace qb
