// What the saver tells the presentation about the music it plays: which
// file, and where playback stands. The saver writes it into a small block
// of shared memory that reaches the presentation by handle inheritance
// alone, through a handle with read access. It goes one way: the saver
// never reads anything back from it, and the presentation takes nothing in
// it on trust.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qb {

enum class BlockMusicKind : uint32_t { Wav = 1, Mp3 = 2 };

struct MusicBlock {
  BlockMusicKind kind = BlockMusicKind::Wav;
  bool playing = false;
  // Milliseconds of the system tick count (GetTickCount64), which every
  // process reads alike: when playback started or last restarted.
  uint64_t startMs = 0;
  // The position the player last reported, and when; before the first
  // report playback is taken to run from startMs.
  bool hasPosition = false;
  uint64_t positionAtMs = 0;
  uint32_t positionMs = 0;
  std::u16string path;
};

// The environment variable that names the block's handle, in decimal.
inline constexpr char kMusicBlockVariable[] = "QUILLBRIGHT_MUSIC_BLOCK";
inline constexpr uint32_t kMusicBlockVersion = 1;
inline constexpr size_t kMusicBlockMaxPath = 32767;  // UTF-16 units, as Windows' longest path
inline constexpr size_t kMusicBlockHeaderSize = 48;
inline constexpr size_t kMusicBlockSize = kMusicBlockHeaderSize + 2 * (kMusicBlockMaxPath + 1);
// A 32-bit counter, odd while the writer is changing the block.
inline constexpr size_t kMusicBlockSequenceOffset = 12;

// Lays `block` out in `bytes` (kMusicBlockSize of them), all but the
// sequence counter, which is the writer's. False when the path is too long.
bool EncodeMusicBlock(const MusicBlock& block, uint8_t* bytes);

// The block in `bytes`, or nothing when it is not a whole, current block
// of this version with a path music may be read from (IsMusicPath).
std::optional<MusicBlock> DecodeMusicBlock(const uint8_t* bytes, size_t size);

// A handle value as the environment variable gives it: decimal digits
// only, not zero, at most 32 bits (Windows' handles fit, in both builds).
std::optional<uint32_t> ParseBlockHandle(std::string_view text);

// Where the saver writes the block: the saver logic's view of it.
class MusicShare {
 public:
  virtual ~MusicShare() = default;
  // The tick count the block's times are in.
  virtual uint64_t Milliseconds() = 0;
  // Replaces the block's contents; the presentation sees all of it or none.
  virtual void Publish(const MusicBlock& block) = 0;
};

}  // namespace qb
