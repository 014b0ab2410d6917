// A DLL planted beside the programs under a system DLL's name (built as
// winmm.dll and as msimg32.dll) for the planted-DLL scenario. Whatever
// process loads it appends its own path to "<this DLL's path>.loaded". It
// exports what the programs take from the real DLLs, each failing as with
// no device, so that a build that imports it still runs and shows it.
#define NOGDI  // wingdi.h would declare GradientFill as an import
#include <windows.h>

namespace {

void RecordLoad(HINSTANCE self) {
  wchar_t own[MAX_PATH + 8] = {};
  wchar_t program[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(self, own, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  ::lstrcatW(own, L".loaded");
  const DWORD programLength = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  HANDLE file = ::CreateFileW(own, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char line[MAX_PATH * 3 + 2] = {};
  int bytes = ::WideCharToMultiByte(CP_UTF8, 0, program, static_cast<int>(programLength), line,
                                    MAX_PATH * 3, nullptr, nullptr);
  line[bytes++] = '\n';
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(bytes), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) RecordLoad(self);
  return TRUE;
}

// The exported names are the system's (the link drops the @N of 32-bit
// stdcall names); MCIERR_CANNOT_LOAD_DRIVER, TIMERR_NOCANDO, FALSE or 0.
#define QB_EXPORT extern "C" __declspec(dllexport)
QB_EXPORT DWORD WINAPI mciSendStringA(const char*, char*, UINT, HWND) { return 266; }
QB_EXPORT DWORD WINAPI mciSendStringW(const wchar_t*, wchar_t*, UINT, HWND) { return 266; }
QB_EXPORT BOOL WINAPI mciGetErrorStringA(DWORD, char*, UINT) { return FALSE; }
QB_EXPORT BOOL WINAPI mciGetErrorStringW(DWORD, wchar_t*, UINT) { return FALSE; }
QB_EXPORT BOOL WINAPI PlaySoundA(const char*, HMODULE, DWORD) { return FALSE; }
QB_EXPORT BOOL WINAPI PlaySoundW(const wchar_t*, HMODULE, DWORD) { return FALSE; }
QB_EXPORT UINT WINAPI waveOutGetNumDevs() { return 0; }
QB_EXPORT UINT WINAPI timeBeginPeriod(UINT) { return 97; }
QB_EXPORT UINT WINAPI timeEndPeriod(UINT) { return 97; }
QB_EXPORT BOOL WINAPI GradientFill(HANDLE, void*, ULONG, void*, ULONG, ULONG) { return FALSE; }
