// The system DLLs that are not among Windows' known DLLs (winmm, msimg32)
// are never imported: for those the loader looks beside the program first,
// and a folder the user can write (Downloads, an open install folder) would
// run whatever DLL was planted there. Both programs call RestrictDllSearch
// first thing; the functions below load their DLL from System32 on first
// use, and where it or the function cannot be had they fail the way the
// real function fails, so the program carries on without music or
// gradients.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace qb {

// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32), so that no later
// load, ours or a system DLL's, searches the program's folder. False where
// the system lacks it (Windows 7 without KB2533623); the loads below then
// name System32 by its full path.
bool RestrictDllSearch();

// `name` from System32 and nowhere else; null when it is not there.
HMODULE LoadSystemDll(const wchar_t* name);

// FARPROC to the function's own type; null without the module or the name.
// Through void (*)() so that the compiler knows the cast is meant.
template <typename Function>
Function* FindFunction(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// Same signatures as the system's. Without the DLL or the function they
// answer as with no device: MCI calls MCIERR_CANNOT_LOAD_DRIVER or FALSE,
// PlaySound FALSE, waveOutGetNumDevs 0, the timer calls TIMERR_NOCANDO,
// GradientFill FALSE.
namespace winmm {
MCIERROR mciSendStringW(LPCWSTR command, LPWSTR reply, UINT capacity, HWND callback);
BOOL mciGetErrorStringW(MCIERROR code, LPWSTR text, UINT capacity);
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);
UINT waveOutGetNumDevs();
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
}  // namespace winmm

namespace msimg32 {
BOOL GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount,
                  ULONG mode);
}  // namespace msimg32

// user32's per-monitor dpi calls, which Windows has from 10 (1607) on.
// Without them GetDpiForWindow answers 0 and AdjustWindowRectExForDpi
// FALSE: there every monitor has the screen's dpi.
namespace user32 {
UINT GetDpiForWindow(HWND window);
BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);
}  // namespace user32

}  // namespace qb
