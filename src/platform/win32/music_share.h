// The saver's side of the music block: an unnamed section of shared memory
// that no other process can open by name, written here and handed to the
// presentation through a handle with read access only
// (Win32Desktop::StartProgram); the saver never reads it back.
#pragma once

#include <windows.h>

#include "platform/music_block.h"
#include "platform/win32/handles.h"

namespace qb {

class Win32MusicShare : public MusicShare {
 public:
  ~Win32MusicShare() override;
  uint64_t Milliseconds() override;
  void Publish(const MusicBlock& block) override;
  // The section, once something was published; null before.
  HANDLE Section() const { return section_.Get(); }

 private:
  KernelHandle section_;
  uint8_t* view_ = nullptr;
};

}  // namespace qb
