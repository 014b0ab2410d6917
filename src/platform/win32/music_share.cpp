#include "platform/win32/music_share.h"

#include <vector>

namespace qb {

Win32MusicShare::~Win32MusicShare() {
  if (view_) ::UnmapViewOfFile(view_);
}

uint64_t Win32MusicShare::Milliseconds() { return ::GetTickCount64(); }

void Win32MusicShare::Publish(const MusicBlock& block) {
  if (!section_) {
    section_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(kMusicBlockSize), nullptr));
    if (!section_) return;
    view_ = static_cast<uint8_t*>(::MapViewOfFile(section_.Get(), FILE_MAP_WRITE, 0, 0, kMusicBlockSize));
    if (!view_) {
      section_.Reset();
      return;
    }
  }
  std::vector<uint8_t> bytes(kMusicBlockSize);
  if (!EncodeMusicBlock(block, bytes.data())) return;
  // The counter is odd while the block changes: a reader that sees it odd,
  // or changed after its copy, copies again.
  auto* sequence = reinterpret_cast<volatile LONG*>(view_ + kMusicBlockSequenceOffset);
  ::InterlockedIncrement(sequence);
  ::CopyMemory(view_, bytes.data(), kMusicBlockSequenceOffset);
  ::CopyMemory(view_ + kMusicBlockSequenceOffset + 4, bytes.data() + kMusicBlockSequenceOffset + 4,
               kMusicBlockSize - kMusicBlockSequenceOffset - 4);
  ::InterlockedIncrement(sequence);
}

}  // namespace qb
