// Test driver for the Wine scenarios: starts the saver, watches its windows
// and the companion's, answers message boxes, and reports what it saw as
// key=value lines. Exits non-zero only when the driver itself could not do
// its job (bad usage, program did not start or end in time, an expected
// window never came); the scenario scripts judge the values.
#include <windows.h>

#include <psapi.h>
#include <sddl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "report.h"
#include "wait.h"

namespace {

constexpr char kSaverTitle[] = "Quillbright_Main";
constexpr char kCompanionTitle[] = "Quillbright_VC";
constexpr char kPreviewTitle[] = "Preview Window";
constexpr char kPreviewHostClass[] = "QbPreviewHost";
constexpr char kHoldClass[] = "QbDriverHold";
constexpr char kAppCaption[] = "Quillbright (ScreenSaver)";
constexpr char kMessageBoxClass[] = "#32770";

// A window's text as UTF-16, asked of its own process (the only way a
// control's text crosses whole).
std::wstring WideWindowText(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, sizeof(buffer) / sizeof(buffer[0]), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, &copied);
  return buffer;
}

// UTF-16 text in code page 932, the program's own texts' code page.
std::string Cp932Text(const std::wstring& text) {
  std::string out(text.size() * 2 + 1, '\0');
  out.resize(static_cast<size_t>(::WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()),
                                                       out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

std::string WindowText(HWND window) { return Cp932Text(WideWindowText(window)); }

// UTF-16 as lower-case hex of its little-endian bytes.
std::string Utf16Hex(const std::wstring& text) {
  std::string bytes;
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return Hex(bytes);
}

std::string ClassOf(HWND window) {
  char buffer[256] = {};
  ::GetClassNameA(window, buffer, sizeof(buffer));
  return buffer;
}

// Milliseconds since `start`; GetTickCount is one clock for all processes
// of the prefix, so the stand-in's logged ticks compare with ours.
long long Since(DWORD start) { return static_cast<long long>(::GetTickCount() - start); }

HWND CreateHiddenWindow(const char* title) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kHoldClass;
  ::RegisterClassA(&wc);  // fails harmlessly when already registered
  return ::CreateWindowExA(0, kHoldClass, title, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

struct MessageBoxInfo {
  std::wstring text;
  std::string buttonIds;
  int buttons = 0;
  int icons = 0;
  HWND ok = nullptr;
};

BOOL CALLBACK InspectChild(HWND child, LPARAM param) {
  auto& info = *reinterpret_cast<MessageBoxInfo*>(param);
  if (!::IsWindowVisible(child)) return TRUE;
  const std::string cls = ClassOf(child);
  const LONG style = ::GetWindowLongA(child, GWL_STYLE);
  if (lstrcmpiA(cls.c_str(), "Button") == 0) {
    const int id = ::GetDlgCtrlID(child);
    if (!info.buttonIds.empty()) info.buttonIds += ',';
    info.buttonIds += std::to_string(id);
    ++info.buttons;
    if (id == IDOK) info.ok = child;
  } else if (lstrcmpiA(cls.c_str(), "Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      DWORD_PTR icon = 0;
      ::SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &icon);
      if (icon) ++info.icons;
    } else {
      const std::wstring text = WideWindowText(child);
      if (text.size() > info.text.size()) info.text = text;
    }
  }
  return TRUE;
}

MessageBoxInfo InspectMessageBox(HWND box) {
  MessageBoxInfo info;
  ::EnumChildWindows(box, InspectChild, reinterpret_cast<LPARAM>(&info));
  return info;
}

void ReportMessageBox(HWND box) {
  const MessageBoxInfo info = InspectMessageBox(box);
  Print("msgbox_seen", 1);
  Print("msgbox_caption_hex", Hex(WindowText(box)));
  Print("msgbox_text_hex", Hex(Cp932Text(info.text)));
  Print("msgbox_text_utf16", Utf16Hex(info.text));
  Print("msgbox_buttons", info.buttons);
  Print("msgbox_button_ids", info.buttonIds);
  Print("msgbox_icons", info.icons);
}

void PressOk(HWND box) {
  const MessageBoxInfo info = InspectMessageBox(box);
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(info.ok));
}

// A top-level window with this exact title that this driver does not own
// (the driver may be holding one with the same title).
HWND FindOthersWindow(const char* title, const char* cls = nullptr) {
  const DWORD self = ::GetCurrentProcessId();
  HWND window = nullptr;
  while ((window = ::FindWindowExA(nullptr, window, cls, title)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != self) return window;
  }
  return nullptr;
}

// Starts EXE with ARGUMENTS (may be empty); the process handle, or null
// after printing why it could not start.
HANDLE StartProgram(const std::string& exe, const std::string& arguments) {
  const std::wstring application = WideFromUtf8(exe);
  std::wstring commandLine = L"\"" + application + L"\"";
  if (!arguments.empty()) commandLine += L" " + WideFromUtf8(arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    Print("error", "CreateProcess failed " + std::to_string(::GetLastError()));
    return nullptr;
  }
  ::CloseHandle(process.hThread);
  return process.hProcess;
}

// What `run` watches and does while the program under test runs.
struct RunOptions {
  DWORD timeoutMs = 10000;
  std::vector<std::string> holdTitles;
  std::string msgboxCaption;
  long closeCompanionAfterMs = -1;
  long closeSaverAfterMs = -1;
  std::string exe;
  std::string arguments;
};

struct WindowWatch {
  explicit WindowWatch(const char* watchedTitle) : title(watchedTitle) {}

  const char* title;
  HWND window = nullptr;
  long long seenMs = -1;
  long long goneMs = -1;
  long long closeMs = -1;
  bool everVisible = false;
  std::string cls;
  LONG style = 0;
  LONG exStyle = 0;

  void Poll(DWORD start) {
    HWND now = FindOthersWindow(title);
    if (now && seenMs < 0) {
      seenMs = Since(start);
      window = now;
      cls = ClassOf(now);
      style = ::GetWindowLongA(now, GWL_STYLE);
      exStyle = ::GetWindowLongA(now, GWL_EXSTYLE);
    }
    if (now && ::IsWindowVisible(now)) everVisible = true;
    if (!now && seenMs >= 0 && goneMs < 0) goneMs = Since(start);
  }

  void CloseAfter(long delayMs, DWORD start) {
    if (delayMs < 0 || seenMs < 0 || closeMs >= 0 || goneMs >= 0) return;
    if (Since(start) - seenMs < delayMs) return;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    closeMs = Since(start);
  }

  void Report(const char* prefix) const {
    const std::string p(prefix);
    Print((p + "_seen").c_str(), seenMs >= 0 ? 1 : 0);
    if (seenMs < 0) return;
    Print((p + "_seen_ms").c_str(), seenMs);
    Print((p + "_visible_ever").c_str(), everVisible ? 1 : 0);
    Print((p + "_class").c_str(), cls);
    Print((p + "_style").c_str(), HexOf(static_cast<unsigned long>(style)));
    Print((p + "_exstyle").c_str(), HexOf(static_cast<unsigned long>(exStyle)));
    if (closeMs >= 0) Print((p + "_close_ms").c_str(), closeMs);
    if (goneMs >= 0) Print((p + "_gone_ms").c_str(), goneMs);
  }
};

int Run(const RunOptions& options) {
  std::vector<HWND> held;
  for (const std::string& title : options.holdTitles) {
    HWND window = CreateHiddenWindow(title.c_str());
    if (!window) {
      Print("error", "cannot create hold window");
      return 3;
    }
    held.push_back(window);
  }

  const DWORD start = ::GetTickCount();
  HANDLE process = StartProgram(options.exe, options.arguments);
  if (!process) return 3;
  Print("start_tick", ::GetTickCount());

  WindowWatch saver(kSaverTitle);
  WindowWatch companion(kCompanionTitle);
  WindowWatch preview(kPreviewTitle);
  HWND box = nullptr;
  long long okMs = -1;
  long long appBoxMs = -1;
  // Watches until the program ends: it is never done.
  const auto watch = [&] {
    saver.Poll(start);
    companion.Poll(start);
    preview.Poll(start);
    companion.CloseAfter(options.closeCompanionAfterMs, start);
    saver.CloseAfter(options.closeSaverAfterMs, start);
    if (!options.msgboxCaption.empty() && okMs < 0) {
      if (!box) box = FindOthersWindow(options.msgboxCaption.c_str(), kMessageBoxClass);
      if (box && ::IsWindowVisible(box)) {
        ReportMessageBox(box);
        Print("msgbox_seen_ms", Since(start));
        PressOk(box);
        okMs = Since(start);
      }
    }
    if (appBoxMs < 0 && FindOthersWindow(kAppCaption, kMessageBoxClass)) appBoxMs = Since(start);
    return false;
  };
  const bool ended = PollUntil(start, options.timeoutMs, process, watch) == PollEnd::kEnded;
  const long long endMs = Since(start);

  int status = 0;
  if (ended) {
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    Print("exit_code", code);
    Print("elapsed_ms", endMs);
    Print("end_tick", ::GetTickCount());
  } else {
    ::TerminateProcess(process, 99);
    Print("timed_out", 1);
    status = 2;
  }
  // Any message box with the program's caption, expected or not.
  Print("appbox_seen", appBoxMs >= 0 ? 1 : 0);
  saver.Report("main");
  companion.Report("vc");
  preview.Report("prev");
  if (ended && companion.closeMs >= 0) Print("vc_close_to_end_ms", endMs - companion.closeMs);
  if (ended && companion.goneMs >= 0) Print("vc_gone_to_end_ms", endMs - companion.goneMs);
  if (ended && saver.closeMs >= 0) Print("main_close_to_end_ms", endMs - saver.closeMs);
  if (!options.msgboxCaption.empty()) {
    if (okMs < 0) {
      Print("msgbox_seen", 0);
      status = status ? status : 4;
    } else if (ended) {
      Print("msgbox_ok_to_end_ms", endMs - okMs);
    }
  }
  ::CloseHandle(process);
  for (HWND window : held) ::DestroyWindow(window);
  return status;
}

int WaitWindow(const char* title, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  const auto exists = [&] { return ::FindWindowA(nullptr, title) != nullptr; };
  const bool found = PollUntil(start, timeoutMs, nullptr, exists) == PollEnd::kDone;
  Print("found", found ? 1 : 0);
  if (found) Print("elapsed_ms", Since(start));
  return found ? 0 : 1;
}

int WindowInfo(const char* title) {
  HWND window = ::FindWindowA(nullptr, title);
  Print("exists", window ? 1 : 0);
  if (!window) return 1;
  RECT rect = {};
  ::GetWindowRect(window, &rect);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  Print("visible", ::IsWindowVisible(window) ? 1 : 0);
  Print("class", ClassOf(window));
  Print("style", HexOf(static_cast<unsigned long>(::GetWindowLongA(window, GWL_STYLE))));
  Print("exstyle", HexOf(static_cast<unsigned long>(::GetWindowLongA(window, GWL_EXSTYLE))));
  Print("rect", std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
                    std::to_string(rect.right) + "," + std::to_string(rect.bottom));
  Print("pid", pid);
  return 0;
}

int HoldWindow(const char* title, DWORD ms) {
  HWND window = CreateHiddenWindow(title);
  if (!window) return 1;
  Print("holding", 1);
  WaitPumping(nullptr, ms);
  ::DestroyWindow(window);
  return 0;
}

// Holds PATH open as a running program holds its executable: others may
// read it, but not write, rename or delete it.
int HoldFile(const char* path, DWORD ms) {
  wchar_t wide[MAX_PATH] = {};
  if (!::MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return 1;
  HANDLE file = ::CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  Print("holding", file != INVALID_HANDLE_VALUE ? 1 : 0);
  if (file == INVALID_HANDLE_VALUE) return 1;
  WaitPumping(nullptr, ms);
  ::CloseHandle(file);
  return 0;
}

// Posts or sends `message` (WM_CLOSE, or one a neighbour could forge) to
// the window.
int MessageToWindow(const char* title, UINT message, bool send, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool hiddenChild = false) {
  HWND window = ::FindWindowA(nullptr, title);
  if (window && hiddenChild && (window = ::GetWindow(window, GW_CHILD)) != nullptr) ::ShowWindow(window, SW_HIDE);
  Print("found", window ? 1 : 0);
  if (!window) return 1;
  DWORD_PTR result = 0;
  if (send) return ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) ? 0 : 1;
  return ::PostMessageA(window, message, wParam, lParam) ? 0 : 1;
}

// The resident memory of the process of the window TITLE, in MB; a process
// above LIMIT_MB is ended, so that a runaway never takes the machine.
int ProcessMemory(const char* title, SIZE_T limitMb) {
  HWND window = ::FindWindowA(nullptr, title);
  DWORD pid = 0;
  HANDLE process = window && ::GetWindowThreadProcessId(window, &pid)
                       ? ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid)
                       : nullptr;
  PROCESS_MEMORY_COUNTERS counters = {};
  if (!process || !::GetProcessMemoryInfo(process, &counters, sizeof(counters))) return 1;
  Print("working_set_mb", static_cast<long long>(counters.WorkingSetSize >> 20));
  if ((counters.WorkingSetSize >> 20) > limitMb) ::TerminateProcess(process, 99);
  ::CloseHandle(process);
  return 0;
}

// A pipe server at \\.\pipe\NAME for MS milliseconds: prints whether a
// client connected.
int PipeServer(const char* name, DWORD ms) {
  const std::string path = std::string("\\\\.\\pipe\\") + name;
  HANDLE pipe = ::CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 512,
                                   512, 0, nullptr);
  Print("listening", pipe != INVALID_HANDLE_VALUE ? 1 : 0);
  if (pipe == INVALID_HANDLE_VALUE) return 1;
  OVERLAPPED overlapped = {};
  overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool connected = ::ConnectNamedPipe(pipe, &overlapped) || ::GetLastError() == ERROR_PIPE_CONNECTED;
  if (!connected && ::GetLastError() == ERROR_IO_PENDING) {
    connected = ::WaitForSingleObject(overlapped.hEvent, ms) == WAIT_OBJECT_0;
  }
  Print("connected", connected ? 1 : 0);
  ::CancelIo(pipe);
  ::CloseHandle(overlapped.hEvent);
  ::CloseHandle(pipe);
  return 0;
}

int AnswerMessageBox(const char* caption, DWORD timeoutMs) {
  HWND box = nullptr;
  const auto shown = [&] {
    box = FindOthersWindow(caption, kMessageBoxClass);
    return box && ::IsWindowVisible(box);
  };
  if (PollUntil(::GetTickCount(), timeoutMs, nullptr, shown) != PollEnd::kDone) {
    Print("msgbox_seen", 0);
    return 1;
  }
  ReportMessageBox(box);
  PressOk(box);
  return 0;
}

// Closes whatever a previous scenario may have left behind: saver windows,
// stand-in windows, dialog placeholders. Prints how many remain.
int Sweep(DWORD timeoutMs) {
  const char* const titles[] = {kSaverTitle, kCompanionTitle, "<Quillbright>", kPreviewTitle};
  int remaining = 0;
  const auto closed = [&] {
    remaining = 0;
    for (const char* title : titles) {
      if (HWND window = ::FindWindowA(nullptr, title)) {
        ++remaining;
        ::PostMessageA(window, WM_CLOSE, 0, 0);
      }
    }
    return remaining == 0;
  };
  PollUntil(::GetTickCount(), timeoutMs, nullptr, closed, 50);
  Print("remaining", remaining);
  return remaining == 0 ? 0 : 1;
}

// A window handle as the display settings pass it on the command line.
long long HandleNumber(HWND window) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}

// The short (8.3) and long forms of an existing path.
int PathForms(const char* path) {
  wchar_t shortPath[MAX_PATH] = {};
  wchar_t longPath[MAX_PATH] = {};
  const std::wstring wide = WideFromUtf8(path);
  const DWORD s = ::GetShortPathNameW(wide.c_str(), shortPath, MAX_PATH);
  const DWORD l = ::GetLongPathNameW(wide.c_str(), longPath, MAX_PATH);
  Print("short", s ? Utf8FromWide(shortPath) : "");
  Print("long", l ? Utf8FromWide(longPath) : "");
  return s && l ? 0 : 1;
}

// A security descriptor in text form (SDDL), decoded: its owner, whether
// its DACL is protected from inheritance, and each entry as
// type:flags:mask:SID. Wine keeps no ACL that a program sets on a file
// (GetNamedSecurityInfoW returns its default), so a test reads what a
// program asked for.
int Security(const char* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr)) return 1;
  const auto sidText = [](PSID sid) {
    char* text = nullptr;
    std::string out = sid && ::ConvertSidToStringSidA(sid, &text) ? text : "?";
    ::LocalFree(text);
    return out;
  };
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ::GetSecurityDescriptorOwner(sd, &owner, &defaulted);
  ::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
  ::GetSecurityDescriptorControl(sd, &control, &revision);
  Print("owner", sidText(owner));
  Print("protected", (control & SE_DACL_PROTECTED) ? 1 : 0);
  std::string entries;
  for (DWORD i = 0; present && dacl && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) break;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    char head[32];
    std::snprintf(head, sizeof(head), "%u:%u:%08lx:", allowed->Header.AceType, allowed->Header.AceFlags,
                  allowed->Mask);
    entries += (entries.empty() ? "" : " ") + std::string(head) + sidText(const_cast<DWORD*>(&allowed->SidStart));
  }
  Print("aces", entries);
  ::LocalFree(sd);
  return 0;
}

// Runs COMMAND_LINE with the limited token linked to the driver's own,
// the rights an administrator's programs have before elevation (Wine starts
// every program elevated), and reports its exit code.
int RunLimited(const char* commandLine) {
  HANDLE token = nullptr, limited = nullptr;
  TOKEN_LINKED_TOKEN linked = {};
  DWORD size = 0;
  bool ok = ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) &&
            ::GetTokenInformation(token, TokenLinkedToken, &linked, sizeof(linked), &size) &&
            ::DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation,
                               TokenPrimary, &limited);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  std::wstring line = WideFromUtf8(commandLine);
  ok = ok && ::CreateProcessAsUserW(limited, nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &startup, &process);
  DWORD code = 1;
  if (ok) {
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  for (HANDLE h : {token, linked.LinkedToken, limited}) {
    if (h) ::CloseHandle(h);
  }
  Print("started", ok ? 1 : 0);
  Print("exit_code", code);
  return ok ? 0 : 1;
}

// What another program can send: WM_NCCREATE to a live window of TITLE
// (not the driver's), its creation data pointing OFFSET bytes past the
// object that the window's user data names. Reports that data, and the
// title, before and after.
int SendNcCreate(const char* title, long offset) {
  HWND window = FindOthersWindow(title);
  Print("found", window ? 1 : 0);
  if (!window) return 1;
  const LONG_PTR before = ::GetWindowLongPtrW(window, GWLP_USERDATA);
  CREATESTRUCTW create = {};
  create.lpCreateParams = reinterpret_cast<void*>(before + offset);
  create.lpszName = L"forged";
  create.lpszClass = L"forged";
  create.style = WS_OVERLAPPED;
  DWORD_PTR result = 0;
  const LRESULT sent = ::SendMessageTimeoutW(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create),
                                             SMTO_ABORTIFHUNG, 5000, &result);
  Print("sent", sent ? 1 : 0);
  Print("user_data_kept", ::GetWindowLongPtrW(window, GWLP_USERDATA) == before ? 1 : 0);
  Print("title_kept", FindOthersWindow(title) == window ? 1 : 0);
  return 0;
}

// A handle that once named a window and names none now.
int DeadWindow() {
  HWND window = CreateHiddenWindow("qb_dead_window");
  if (!window) return 1;
  Print("handle", HandleNumber(window));
  ::DestroyWindow(window);
  Print("is_window", ::IsWindow(window) ? 1 : 0);
  return 0;
}

// What `preview` does: the host the display settings would give, the
// program started for it, and what happens to the preview window.
struct PreviewOptions {
  POINT at = {100, 100};
  SIZE size = {152, 112};
  DWORD timeoutMs = 10000;
  DWORD holdMs = 0;
  bool lift = false;
  POINT liftTo = {0, 0};
  DWORD liftHoldMs = 0;
  std::string end = "destroy-host";  // or close-preview
  std::string exe;
  std::string arguments;  // "{host}" stands for the host's handle
};

HWND CreatePreviewHost(const PreviewOptions& options) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  // Dark green: the preview's own black must not be mistaken for the host.
  wc.hbrBackground = ::CreateSolidBrush(RGB(0, 96, 0));
  wc.lpszClassName = kPreviewHostClass;
  ::RegisterClassA(&wc);
  return ::CreateWindowExA(0, kPreviewHostClass, "qb_preview_host", WS_POPUP | WS_VISIBLE,
                           options.at.x, options.at.y, options.size.cx, options.size.cy, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

int Preview(const PreviewOptions& options) {
  HWND host = CreatePreviewHost(options);
  if (!host) {
    Print("error", "cannot create the host window");
    return 3;
  }
  Print("host", HandleNumber(host));
  RECT hostRect = {};
  ::GetWindowRect(host, &hostRect);
  Print("host_rect", RectText(hostRect));

  std::string arguments = options.arguments;
  const std::string handle = std::to_string(HandleNumber(host));
  for (size_t at; (at = arguments.find("{host}")) != std::string::npos;) {
    arguments.replace(at, 6, handle);
  }
  const DWORD start = ::GetTickCount();
  HANDLE process = StartProgram(options.exe, arguments);
  if (!process) return 3;

  HWND child = nullptr;
  const auto childShown = [&] {
    child = ::FindWindowExA(host, nullptr, nullptr, kPreviewTitle);
    return child && ::IsWindowVisible(child);
  };
  const PollEnd shown = PollUntil(start, options.timeoutMs, process, childShown);
  bool ended = shown == PollEnd::kEnded;
  if (shown != PollEnd::kDone) child = nullptr;
  Print("child_seen", child ? 1 : 0);
  int status = 0;
  if (child) {
    Print("child_seen_ms", Since(start));
    DWORD owner = 0;
    ::GetWindowThreadProcessId(child, &owner);
    Print("child_of_program", owner == ::GetProcessId(process) ? 1 : 0);
    Print("child_class", ClassOf(child));
    Print("child_style", HexOf(static_cast<unsigned long>(::GetWindowLongA(child, GWL_STYLE))));
    Print("child_parent_is_host", ::GetAncestor(child, GA_PARENT) == host ? 1 : 0);
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rect), 2);
    Print("child_rect", RectText(rect));

    if (options.holdMs) {
      ended = WaitPumping(process, options.holdMs);
      Print("alive_after_hold", ended ? 0 : 1);
      Print("child_after_hold", ::IsWindow(child) ? 1 : 0);
    }
    if (options.lift && !ended) {
      // Wine does not draw a child window of another process: lift the
      // preview onto the desktop to see its picture.
      ::SetParent(child, nullptr);
      ::SetWindowPos(child, HWND_TOP, options.liftTo.x, options.liftTo.y, 0, 0,
                     SWP_NOSIZE | SWP_SHOWWINDOW);
      ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      Print("lifted", 1);
      ended = WaitPumping(process, options.liftHoldMs);
    }
    if (!ended) {
      const DWORD endStart = ::GetTickCount();
      if (options.end == "close-preview") {
        ::PostMessageA(child, WM_CLOSE, 0, 0);
      } else {
        ::DestroyWindow(host);
        host = nullptr;
      }
      ended = WaitPumping(process, options.timeoutMs);
      if (ended) Print("end_after_ms", Since(endStart));
    }
  } else {
    status = 4;
  }
  if (ended) {
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    Print("exit_code", code);
  } else {
    ::TerminateProcess(process, 99);
    Print("timed_out", 1);
    status = status ? status : 2;
  }
  ::CloseHandle(process);
  if (host) ::DestroyWindow(host);
  return status;
}

bool ParsePair(const char* text, char separator, long& a, long& b) {
  char* end = nullptr;
  a = std::strtol(text, &end, 10);
  if (!end || *end != separator) return false;
  b = std::strtol(end + 1, &end, 10);
  return end && *end == '\0';
}

int Usage() {
  std::fprintf(stderr,
               "usage: qbdriver run [--timeout MS] [--hold TITLE]... [--msgbox CAPTION]\n"
               "                    [--close-vc-after MS] [--close-main-after MS] EXE [ARGS...]\n"
               "       qbdriver wait-window TITLE TIMEOUT_MS\n"
               "       qbdriver window-info TITLE\n"
               "       qbdriver hold-window TITLE MS\n"
               "       qbdriver hold-file PATH MS\n"
               "       qbdriver close-window TITLE\n"
               "       qbdriver post-message|send-message TITLE MSG [WPARAM [readable]]\n"
               "       qbdriver send-to-hidden-child TITLE MSG\n"
               "       qbdriver memory TITLE LIMIT_MB\n"
               "       qbdriver msgbox CAPTION TIMEOUT_MS\n"
               "       qbdriver sweep TIMEOUT_MS\n"
               "       qbdriver dead-window\n"
               "       qbdriver send-nccreate TITLE OFFSET\n"
               "       qbdriver limited COMMAND_LINE\n"
               "       qbdriver path-forms PATH\n"
               "       qbdriver security SDDL\n"
               "       qbdriver preview [--at X,Y] [--size WxH] [--timeout MS] [--hold MS]\n"
               "                        [--lift X,Y] [--lift-hold MS] [--end destroy-host|close-preview]\n"
               "                        EXE ARGS...   ({host} in ARGS: the host's handle)\n");
  return 64;
}

// The `--flag value` pairs from argv[2] on, each handed to `flag` (false
// for one it does not take), then the program and its arguments, empty ones
// dropped; false on bad usage.
bool ParseCommand(int argc, char** argv, const std::function<bool(const std::string&, const char*)>& flag,
                  std::string& exe, std::string& arguments) {
  int i = 2;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    if (i + 1 >= argc || !flag(argv[i], argv[i + 1])) return false;
  }
  if (i >= argc) return false;
  exe = argv[i++];
  for (; i < argc; ++i) {
    if (!argv[i][0]) continue;
    if (!arguments.empty()) arguments += ' ';
    arguments += argv[i];
  }
  return true;
}

int ParseRun(int argc, char** argv) {
  RunOptions options;
  const auto flag = [&](const std::string& name, const char* value) {
    if (name == "--timeout") {
      options.timeoutMs = std::strtoul(value, nullptr, 10);
    } else if (name == "--hold") {
      options.holdTitles.push_back(value);
    } else if (name == "--msgbox") {
      options.msgboxCaption = value;
    } else if (name == "--close-vc-after") {
      options.closeCompanionAfterMs = std::strtol(value, nullptr, 10);
    } else if (name == "--close-main-after") {
      options.closeSaverAfterMs = std::strtol(value, nullptr, 10);
    } else {
      return false;
    }
    return true;
  };
  return ParseCommand(argc, argv, flag, options.exe, options.arguments) ? Run(options) : Usage();
}

int ParsePreview(int argc, char** argv) {
  PreviewOptions options;
  const auto flag = [&](const std::string& name, const char* value) {
    long a = 0, b = 0;
    if (name == "--at" && ParsePair(value, ',', a, b)) {
      options.at = {a, b};
    } else if (name == "--size" && ParsePair(value, 'x', a, b)) {
      options.size = {a, b};
    } else if (name == "--timeout") {
      options.timeoutMs = std::strtoul(value, nullptr, 10);
    } else if (name == "--hold") {
      options.holdMs = std::strtoul(value, nullptr, 10);
    } else if (name == "--lift" && ParsePair(value, ',', a, b)) {
      options.lift = true;
      options.liftTo = {a, b};
    } else if (name == "--lift-hold") {
      options.liftHoldMs = std::strtoul(value, nullptr, 10);
    } else if (name == "--end") {
      options.end = value;
    } else {
      return false;
    }
    return true;
  };
  return ParseCommand(argc, argv, flag, options.exe, options.arguments) ? Preview(options) : Usage();
}

}  // namespace

int main() {
  Utf8Arguments arguments;
  const int argc = arguments.Count();
  char** argv = arguments.Values();
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "run") return ParseRun(argc, argv);
  if (command == "wait-window" && argc == 4) return WaitWindow(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (command == "window-info" && argc == 3) return WindowInfo(argv[2]);
  if (command == "hold-window" && argc == 4) return HoldWindow(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (command == "close-window" && argc == 3) return MessageToWindow(argv[2], WM_CLOSE, false);
  if ((command == "post-message" || command == "send-message") &&
      (argc == 4 || argc == 5 || (argc == 6 && std::strcmp(argv[5], "readable") == 0))) {
    // LPARAM "readable": an address readable in every process, kernel32's; else 0.
    return MessageToWindow(argv[2], std::strtoul(argv[3], nullptr, 0), command == "send-message",
                           argc > 4 ? std::strtoul(argv[4], nullptr, 0) : 0,
                           argc > 5 ? reinterpret_cast<LPARAM>(::GetModuleHandleW(L"kernel32.dll")) : 0);
  }
  if (command == "send-to-hidden-child" && argc == 4) {
    return MessageToWindow(argv[2], std::strtoul(argv[3], nullptr, 0), true, 0, 0, true);
  }
  if (command == "memory" && argc == 4) return ProcessMemory(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (command == "pipe-server" && argc == 4) return PipeServer(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (command == "hold-file" && argc == 4) return HoldFile(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (command == "msgbox" && argc == 4) return AnswerMessageBox(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (command == "dead-window" && argc == 2) return DeadWindow();
  if (command == "send-nccreate" && argc == 4) return SendNcCreate(argv[2], std::strtol(argv[3], nullptr, 10));
  if (command == "path-forms" && argc == 3) return PathForms(argv[2]);
  if (command == "security" && argc == 3) return Security(argv[2]);
  if (command == "limited" && argc == 3) return RunLimited(argv[2]);
  if (command == "preview") return ParsePreview(argc, argv);
  if (command == "sweep" && argc == 3) return Sweep(std::strtoul(argv[2], nullptr, 10));
  return Usage();
}
