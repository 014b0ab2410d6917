// The dpi a window is drawn at, its frame's size at that dpi, and the
// program's pictures drawn for it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/win32/gdi.h"

namespace qb {

// The screen's dpi along `axis` (LOGPIXELSX or LOGPIXELSY); 0 when unknown.
int32_t ScreenDpi(int axis = LOGPIXELSY);

// The dpi of the monitor `window` is on: the screen's where the system
// keeps one dpi for every monitor, the design's when neither is known.
int32_t WindowDpi(HWND window);

// A dpi from a message's parameters, held to the scales Windows offers
// (100% to 500%).
int32_t HeldDpi(uint32_t dpi);

// Copies `size` bytes at `address`, a pointer from a message's parameters,
// into `to` through ReadProcessMemory on this process: an address that is
// not readable fails the copy instead of faulting, on either build.
bool CopyFromMessage(LPARAM address, void* to, size_t size);

// The outer size of a window of this client size, style and dpi.
SIZE OuterSize(int32_t clientWidth, int32_t clientHeight, DWORD style, DWORD exStyle, int32_t dpi);

// Bitmap resource `id`, or `id2x`, its form at twice the size (0: none),
// as a width x height picture: a form of exactly that size as it is,
// otherwise the smallest form at least that large (the largest where none
// is) scaled smoothly. Null when the resource cannot be had.
Bitmap PictureAt(int id, int id2x, int32_t width, int32_t height);

}  // namespace qb
