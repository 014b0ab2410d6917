#include "platform/win32/system_dlls.h"

#include <string>

namespace qb {
HMODULE LoadSystemDll(const wchar_t* name) {
  if (HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  // Systems without the search flags refuse it: name the file by its full
  // path, and let its own imports be looked for beside it.
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// Loaded once and kept for the life of the process.
HMODULE Winmm() {
  static const HMODULE module = LoadSystemDll(L"winmm.dll");
  return module;
}

HMODULE Msimg32() {
  static const HMODULE module = LoadSystemDll(L"msimg32.dll");
  return module;
}

// A known DLL that every program here imports: already loaded.
HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }

}  // namespace

bool RestrictDllSearch() {
  const auto restrict = FindFunction<decltype(::SetDefaultDllDirectories)>(
      ::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  return restrict && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

namespace winmm {


MCIERROR mciSendStringW(LPCWSTR command, LPWSTR reply, UINT capacity, HWND callback) {
  static const auto real = FindFunction<decltype(::mciSendStringW)>(Winmm(), "mciSendStringW");
  return real ? real(command, reply, capacity, callback) : MCIERR_CANNOT_LOAD_DRIVER;
}


BOOL mciGetErrorStringW(MCIERROR code, LPWSTR text, UINT capacity) {
  static const auto real = FindFunction<decltype(::mciGetErrorStringW)>(Winmm(), "mciGetErrorStringW");
  return real ? real(code, text, capacity) : FALSE;
}


BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags) {
  static const auto real = FindFunction<decltype(::PlaySoundW)>(Winmm(), "PlaySoundW");
  return real ? real(sound, module, flags) : FALSE;
}

UINT waveOutGetNumDevs() {
  static const auto real = FindFunction<decltype(::waveOutGetNumDevs)>(Winmm(), "waveOutGetNumDevs");
  return real ? real() : 0;
}

MMRESULT timeBeginPeriod(UINT period) {
  static const auto real = FindFunction<decltype(::timeBeginPeriod)>(Winmm(), "timeBeginPeriod");
  return real ? real(period) : TIMERR_NOCANDO;
}

MMRESULT timeEndPeriod(UINT period) {
  static const auto real = FindFunction<decltype(::timeEndPeriod)>(Winmm(), "timeEndPeriod");
  return real ? real(period) : TIMERR_NOCANDO;
}

}  // namespace winmm

namespace msimg32 {

BOOL GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount,
                  ULONG mode) {
  static const auto real = FindFunction<decltype(::GradientFill)>(Msimg32(), "GradientFill");
  return real ? real(dc, vertices, vertexCount, mesh, meshCount, mode) : FALSE;
}

}  // namespace msimg32

namespace user32 {

// Declared here: the headers name them only for Windows 10 targets.
typedef UINT WINAPI GetDpiForWindowFunction(HWND);
typedef BOOL WINAPI AdjustWindowRectExForDpiFunction(RECT*, DWORD, BOOL, DWORD, UINT);

UINT GetDpiForWindow(HWND window) {
  static const auto real = FindFunction<GetDpiForWindowFunction>(User32(), "GetDpiForWindow");
  return real ? real(window) : 0;
}

BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
  static const auto real = FindFunction<AdjustWindowRectExForDpiFunction>(User32(), "AdjustWindowRectExForDpi");
  return real ? real(rect, style, menu, exStyle, dpi) : FALSE;
}

}  // namespace user32
}  // namespace qb
