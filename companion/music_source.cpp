#include "music_source.h"

#include <cstring>
#include <vector>

#include "music_decoders.h"

namespace qb {
namespace {

// The handle's value from the environment, which leaves it there no more:
// nothing this process might start should think it has a block too.
std::optional<uint32_t> TakeBlockHandle() {
  wchar_t value[16] = {};
  const std::wstring name(kMusicBlockVariable, kMusicBlockVariable + sizeof(kMusicBlockVariable) - 1);
  const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value, 16);
  ::SetEnvironmentVariableW(name.c_str(), nullptr);
  if (length == 0 || length >= 16) return std::nullopt;
  std::string digits;
  for (DWORD i = 0; i < length; ++i) digits += value[i] < 0x80 ? static_cast<char>(value[i]) : '?';
  return ParseBlockHandle(digits);
}

}  // namespace

MusicSource::MusicSource() {
  const std::optional<uint32_t> handle = TakeBlockHandle();
  if (!handle) return;
  // Whatever the number names, only a section of at least a block's size
  // maps, and only for reading; the handle is closed only once it proved
  // to be the saver's block, for then it is ours.
  HANDLE section = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(*handle));
  view_ = static_cast<const uint8_t*>(::MapViewOfFile(section, FILE_MAP_READ, 0, 0, kMusicBlockSize));
  if (!view_) return;
  Refresh();
  if (!block_) return;
  ::CloseHandle(section);
  decoding_ = new Decoding;
  decoding_->path = block_->path;
  decoding_->kind = block_->kind;
  thread_ = ::CreateThread(nullptr, 0, DecodeThread, decoding_, CREATE_SUSPENDED, nullptr);
  if (!thread_) return;
  // Frames come first: decoding takes what time they leave.
  ::SetThreadPriority(thread_, THREAD_PRIORITY_BELOW_NORMAL);
  ::ResumeThread(thread_);
}

MusicSource::~MusicSource() {
  bool finished = true;
  if (thread_) {
    decoding_->cancel = true;
    finished = ::WaitForSingleObject(thread_, 2000) == WAIT_OBJECT_0;
    ::CloseHandle(thread_);
  }
  if (finished) delete decoding_;
  if (view_) ::UnmapViewOfFile(view_);
}

DWORD WINAPI MusicSource::DecodeThread(void* decoding) {
  auto& d = *static_cast<Decoding*>(decoding);
  std::optional<Envelope> envelope = DecodeEnvelope(d.path, d.kind, d.cancel);
  if (envelope) {
    d.envelope = std::make_unique<Envelope>(std::move(*envelope));
    d.ready.store(true, std::memory_order_release);
  }
  return 0;
}

void MusicSource::Refresh() {
  const auto* counter = reinterpret_cast<const volatile LONG*>(view_ + kMusicBlockSequenceOffset);
  // Plain reads: the view is read-only, and an interlocked one would write.
  const uint32_t before = static_cast<uint32_t>(*counter);
  ::MemoryBarrier();
  if (before == sequence_ || (before & 1) != 0) return;
  // The saver changes only the times once it has started: a copy of the
  // block, checked against the counter after it, is one whole block.
  std::vector<uint8_t> copy(kMusicBlockSize);
  std::memcpy(copy.data(), view_, kMusicBlockSize);
  ::MemoryBarrier();
  if (static_cast<uint32_t>(*counter) != before) return;
  std::memcpy(copy.data() + kMusicBlockSequenceOffset, &before, 4);
  sequence_ = before;
  std::optional<MusicBlock> block = DecodeMusicBlock(copy.data(), copy.size());
  // A block that changes file, or kind, is not one to follow.
  if (block && decoding_ && (block->path != decoding_->path || block->kind != decoding_->kind)) block.reset();
  block_ = std::move(block);
}

std::optional<float> MusicSource::LevelNow() {
  if (!decoding_ || !decoding_->ready.load(std::memory_order_acquire)) return std::nullopt;
  Refresh();
  if (!block_) return std::nullopt;
  const Envelope& envelope = *decoding_->envelope;
  const std::optional<double> at = PlaybackSeconds(*block_, ::GetTickCount64(), envelope.seconds);
  if (!at) return std::nullopt;
  return envelope.LevelAt(*at);
}

}  // namespace qb
