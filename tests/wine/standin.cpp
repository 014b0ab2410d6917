// Stands in for the presentation program in the Wine tests. The tests copy it
// beside the saver as Quillbright.dll. It behaves as "<own path>.cfg" says
// (key=value lines) and appends to "<own path>.log" how it was started and
// when things happened, in GetTickCount time, which every process of the
// prefix shares.
//
//   window=1       show a top-level window titled "Quillbright_VC"
//   delay_ms=N     wait before showing it
//   lifetime_ms=N  destroy it after N ms (0: only on WM_CLOSE)
//   linger_ms=N    stay alive N ms after the window is gone
//   exit_ms=N      without a window: stay alive N ms, then end
//   crash_ms=N     with its window up, end abnormally after N ms (as a
//                  crash would: exit code 0xC0000005, nothing cleaned up)
//
// Without a .cfg it logs and ends at once, which also makes it a trap that
// only leaves its log behind.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32/message_loop.h"

namespace {

struct Config {
  bool window = false;
  DWORD delayMs = 0;
  DWORD lifetimeMs = 0;
  DWORD lingerMs = 0;
  DWORD exitMs = 0;
  DWORD crashMs = 0;
};

// Its own path, whatever the folder is called.
std::wstring OwnPath() {
  wchar_t buffer[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
  return buffer;
}

void AppendLog(const std::string& line) {
  const std::wstring path = OwnPath() + L".log";
  HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
}

void LogTick(const char* key) { AppendLog(std::string(key) + "=" + std::to_string(::GetTickCount())); }

Config ReadConfig() {
  Config config;
  const std::wstring path = OwnPath() + L".cfg";
  FILE* file = ::_wfopen(path.c_str(), L"r");
  if (!file) return config;
  char line[256];
  while (std::fgets(line, sizeof(line), file)) {
    char* equals = std::strchr(line, '=');
    if (!equals) continue;
    *equals = '\0';
    const std::string key = line;
    const DWORD value = std::strtoul(equals + 1, nullptr, 10);
    if (key == "window") config.window = value != 0;
    if (key == "delay_ms") config.delayMs = value;
    if (key == "lifetime_ms") config.lifetimeMs = value;
    if (key == "linger_ms") config.lingerMs = value;
    if (key == "exit_ms") config.exitMs = value;
    if (key == "crash_ms") config.crashMs = value;
  }
  std::fclose(file);
  return config;
}

constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT_PTR kCrashTimer = 2;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kLifetimeTimer) ::DestroyWindow(window);
      if (wParam == kCrashTimer) {
        LogTick("crash_tick");
        ::TerminateProcess(::GetCurrentProcess(), 0xC0000005);
      }
      return 0;
    case WM_CLOSE:
      LogTick("wm_close_tick");
      break;
    case WM_DESTROY:
      LogTick("window_gone_tick");
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

void RunWindow(const Config& config, int showCommand) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = "QbStandIn";
  ::RegisterClassA(&wc);
  HWND window = ::CreateWindowExA(0, wc.lpszClassName, "Quillbright_VC", WS_POPUP, 0, 0, 320, 240,
                                  nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return;
  ::ShowWindow(window, showCommand);
  LogTick("window_tick");
  if (config.lifetimeMs) ::SetTimer(window, kLifetimeTimer, config.lifetimeMs, nullptr);
  if (config.crashMs) ::SetTimer(window, kCrashTimer, config.crashMs, nullptr);
  qb::RunMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  ::GetStartupInfoA(&startup);
  LogTick("start_tick");
  AppendLog(std::string("cmdline=") + ::GetCommandLineA());
  AppendLog("show=" + std::to_string(startup.wShowWindow));
  AppendLog("startf_useshowwindow=" + std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0));

  const Config config = ReadConfig();
  if (config.window) {
    ::Sleep(config.delayMs);
    RunWindow(config, showCommand);
    ::Sleep(config.lingerMs);
  } else {
    ::Sleep(config.exitMs);
  }
  LogTick("exit_tick");
  return 0;
}
