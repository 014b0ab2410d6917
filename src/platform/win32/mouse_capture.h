// A press holds the mouse for the window it began on until its release:
// the release then comes back to that window wherever the pointer went, and
// no other window takes it for a press of its own.
#pragma once

#include <windows.h>

namespace qb {

inline void HoldMouse(HWND window) { ::SetCapture(window); }

// On a button's release (`stillHeld`: the message's key flags): lets go once
// no mouse button is held any more.
inline void ReleaseMouse(HWND window, WPARAM stillHeld) {
  if (::GetCapture() == window && !(stillHeld & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
    ::ReleaseCapture();
  }
}

}  // namespace qb
