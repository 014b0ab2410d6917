// Looks at the running settings dialog from outside, for the dialog
// scenario: its frame, placement and controls as key=value lines, and a few
// actions the mouse cannot do (set the repeat text, cover and uncover it).
//
//   dialog_probe wait MS                 until the dialog is visible
//   dialog_probe info                    frame, client, children
//   dialog_probe set-repeat TEXT         the repeat box's text
//   dialog_probe wait-title TITLE MS [gone]
//   dialog_probe cover MS                a window over the dialog, then gone
//   dialog_probe close-box               a screen point on the close box
//   dialog_probe focus                   the control with the keyboard focus
//   dialog_probe dpi-changed DPI W H     WM_DPICHANGED, as on a move to a
//                                        monitor of DPI, suggesting W x H
//   dialog_probe choose-file TITLE PATH  types PATH into the file-open dialog
//                                        TITLE and presses its OK button
// Texts, on the command line and in the output, are UTF-8.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "report.h"
#include "wait.h"

namespace {

constexpr char kDialogTitle[] = "<Quillbright>";
constexpr char kCoverClass[] = "QbDialogCover";

// Another process's text comes back only through the wide messages.
std::string TextOf(HWND window) {
  wchar_t wide[512] = {};
  ::SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
  return Utf8FromWide(wide);
}

std::string ComboEntry(HWND combo, int index) {
  wchar_t wide[256] = {};
  const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length < 0 || length >= 255) return "?";
  ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide));
  return Utf8FromWide(wide);
}

HWND Dialog() { return ::FindWindowA(nullptr, kDialogTitle); }

constexpr DWORD kPollMs = 20;

int Wait(DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  const auto shown = [] {
    HWND dialog = Dialog();
    return dialog && ::IsWindowVisible(dialog);
  };
  const bool found = PollUntil(start, timeoutMs, nullptr, shown, kPollMs) == PollEnd::kDone;
  Print("found", found ? 1 : 0);
  if (found) Print("elapsed_ms", static_cast<long long>(::GetTickCount() - start));
  return found ? 0 : 1;
}

struct ChildReport {
  HWND dialog;
  int commands = 0;
};

BOOL CALLBACK ReportChild(HWND child, LPARAM param) {
  auto& report = *reinterpret_cast<ChildReport*>(param);
  char cls[128] = {};
  ::GetClassNameA(child, cls, sizeof(cls));
  RECT rect;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, report.dialog, reinterpret_cast<POINT*>(&rect), 2);
  const std::string where = RectText(rect);
  if (std::strcmp(cls, "Quillbright.Command") == 0) {
    const std::string key = "command_" + std::to_string(::GetDlgCtrlID(child));
    Print((key + "_rect").c_str(), where);
    Print((key + "_tabstop").c_str(), (::GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) ? 1 : 0);
    ++report.commands;
  } else if (lstrcmpiA(cls, "ComboBox") == 0) {
    Print("combo_rect", where);
    Print("combo_enabled", ::IsWindowEnabled(child) ? 1 : 0);
    Print("combo_text_hex", Hex(TextOf(child)));
    const LRESULT count = ::SendMessageW(child, CB_GETCOUNT, 0, 0);
    Print("combo_count", count);
    if (count > 0) {
      Print("combo_first", "[" + ComboEntry(child, 0) + "]");
      Print("combo_second", "[" + ComboEntry(child, 1) + "]");
      Print("combo_last", "[" + ComboEntry(child, static_cast<int>(count - 1)) + "]");
    }
  } else if (::GetParent(child) == report.dialog &&
             std::strcmp(cls, "Quillbright_P.Pic_C") == 0) {
    Print("panel_rect", where);
  }
  return TRUE;
}

int Info() {
  HWND dialog = Dialog();
  Print("exists", dialog ? 1 : 0);
  if (!dialog) return 1;
  char cls[128] = {};
  ::GetClassNameA(dialog, cls, sizeof(cls));
  Print("class", cls);
  Print("title_hex", Hex(TextOf(dialog)));
  Print("visible", ::IsWindowVisible(dialog) ? 1 : 0);
  Print("style", HexOf(static_cast<unsigned long>(::GetWindowLongA(dialog, GWL_STYLE))));
  Print("exstyle", HexOf(static_cast<unsigned long>(::GetWindowLongA(dialog, GWL_EXSTYLE))));
  Print("owner", ::GetWindow(dialog, GW_OWNER) ? 1 : 0);
  RECT outer;
  ::GetWindowRect(dialog, &outer);
  Print("rect", RectText(outer));
  Print("outer_size", std::to_string(outer.right - outer.left) + "x" +
                          std::to_string(outer.bottom - outer.top));
  RECT client;
  ::GetClientRect(dialog, &client);
  Print("client_size", std::to_string(client.right) + "x" + std::to_string(client.bottom));
  POINT origin = {0, 0};
  ::ClientToScreen(dialog, &origin);
  Print("client_origin", std::to_string(origin.x) + "," + std::to_string(origin.y));
  Print("screen", std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + "x" +
                      std::to_string(::GetSystemMetrics(SM_CYSCREEN)));
  ChildReport report{dialog};
  ::EnumChildWindows(dialog, ReportChild, reinterpret_cast<LPARAM>(&report));
  Print("commands", report.commands);
  return 0;
}

BOOL CALLBACK FindCombo(HWND child, LPARAM param) {
  char cls[64] = {};
  ::GetClassNameA(child, cls, sizeof(cls));
  if (lstrcmpiA(cls, "ComboBox") != 0) return TRUE;
  *reinterpret_cast<HWND*>(param) = child;
  return FALSE;
}

int SetRepeat(const char* text) {
  HWND dialog = Dialog();
  HWND combo = nullptr;
  if (dialog) ::EnumChildWindows(dialog, FindCombo, reinterpret_cast<LPARAM>(&combo));
  Print("combo_found", combo ? 1 : 0);
  if (!combo) return 1;
  const std::wstring wide = WideFromUtf8(text);
  ::SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  Print("combo_text_hex", Hex(TextOf(combo)));
  return 0;
}

int WaitTitle(const char* title, DWORD timeoutMs, bool gone) {
  HWND window = nullptr;
  const auto reached = [&] {
    window = ::FindWindowW(nullptr, WideFromUtf8(title).c_str());
    return (window && ::IsWindowVisible(window)) != gone;
  };
  const bool done = PollUntil(::GetTickCount(), timeoutMs, nullptr, reached, kPollMs) == PollEnd::kDone;
  Print("done", done ? 1 : 0);
  if (done && window) Print("owner_is_dialog", ::GetWindow(window, GW_OWNER) == Dialog() ? 1 : 0);
  return done ? 0 : 1;
}

int Cover(DWORD ms) {
  HWND dialog = Dialog();
  if (!dialog) return 1;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kCoverClass;
  ::RegisterClassA(&wc);
  RECT rect;
  ::GetWindowRect(dialog, &rect);
  HWND cover = ::CreateWindowExA(WS_EX_TOPMOST, kCoverClass, "qb_cover", WS_POPUP | WS_VISIBLE,
                                 rect.left - 10, rect.top - 10, rect.right - rect.left + 20,
                                 rect.bottom - rect.top + 20, nullptr, nullptr, wc.hInstance,
                                 nullptr);
  Print("covered", cover ? 1 : 0);
  WaitPumping(nullptr, ms);
  ::DestroyWindow(cover);
  // Wine does not repaint what was uncovered by itself.
  ::RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  WaitPumping(nullptr, 300);
  Print("uncovered", 1);
  return 0;
}

int CloseBox() {
  HWND dialog = Dialog();
  if (!dialog) return 1;
  RECT rect;
  ::GetWindowRect(dialog, &rect);
  for (int y = rect.top + 2; y < rect.top + 30; ++y) {
    for (int x = rect.right - 2; x > rect.right - 60; --x) {
      const LRESULT hit = ::SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y));
      if (hit == HTCLOSE) {
        Print("close_box", std::to_string(x - 4) + "," + std::to_string(y + 4));
        return 0;
      }
    }
  }
  Print("close_box", "none");
  return 1;
}

// Which of the dialog's controls has the keyboard focus.
int Focus() {
  HWND dialog = Dialog();
  if (!dialog) return 1;
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info) || !info.hwndFocus) {
    Print("focus", "none");
    return 0;
  }
  HWND focus = info.hwndFocus;
  char cls[128] = {};
  ::GetClassNameA(focus, cls, sizeof(cls));
  if (std::strcmp(cls, "Quillbright.Command") == 0) {
    Print("focus", "command_" + std::to_string(::GetDlgCtrlID(focus)));
    return 0;
  }
  // The repeat box's edit field stands for the box.
  char parent[128] = {};
  ::GetClassNameA(::GetParent(focus), parent, sizeof(parent));
  Print("focus", lstrcmpiA(parent, "ComboBox") == 0 ? std::string("combo") : std::string(cls));
  return 0;
}

// The file name field of the file-open dialog (the explorer style's
// combo box, or the old style's edit field), given the name, and OK.
int ChooseFile(const char* title, const char* path) {
  const HWND chooser = ::FindWindowW(nullptr, WideFromUtf8(title).c_str());
  HWND field = chooser ? ::GetDlgItem(chooser, 0x47C) : nullptr;  // cmb13
  if (chooser && !field) field = ::GetDlgItem(chooser, 0x480);     // edt1
  Print("chooser_found", field ? 1 : 0);
  if (!field) return 1;
  const std::wstring wide = WideFromUtf8(path);
  ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  ::PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(chooser, IDOK)));
  return 0;
}

// The suggested rectangle goes into the dialog's own memory, where the
// message's lParam must point.
// Through qb_dpi_hook.dll's hook, on the dialog's thread (see dpi_hook.cpp).
int DpiChanged(int dpi, int width, int height) {
  HWND dialog = Dialog();
  const DWORD thread = dialog ? ::GetWindowThreadProcessId(dialog, nullptr) : 0;
  HMODULE hook = thread ? ::LoadLibraryW(L"qb_dpi_hook.dll") : nullptr;  // from the probe's folder
  FARPROC proc = hook ? ::GetProcAddress(hook, "DeliverDpiChange") : nullptr;
  HANDLE delivered = ::CreateEventW(nullptr, TRUE, FALSE, L"QbDpiChangeDelivered");
  HHOOK set = proc && delivered ? ::SetWindowsHookExW(WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(
                                                          reinterpret_cast<void*>(proc)), hook, thread)
                                : nullptr;
  const bool sent = set && ::PostMessageW(dialog, WM_APP + 0x2E0, MAKEWPARAM(dpi, dpi), MAKELPARAM(width, height)) &&
                    ::WaitForSingleObject(delivered, 10000) == WAIT_OBJECT_0;
  Print("sent", sent ? 1 : 0);
  if (set) ::UnhookWindowsHookEx(set);
  if (delivered) ::CloseHandle(delivered);
  return sent ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr, "usage: dialog_probe wait MS | info | set-repeat TEXT |\n"
                       "       wait-title TITLE MS [gone] | cover MS | close-box | focus |\n"
                       "       choose-file TITLE PATH | dpi-changed DPI WIDTH HEIGHT\n");
  return 64;
}

}  // namespace

int main() {
  Utf8Arguments arguments;
  const int argc = arguments.Count();
  char** argv = arguments.Values();
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "wait" && argc == 3) return Wait(std::strtoul(argv[2], nullptr, 10));
  if (command == "info" && argc == 2) return Info();
  if (command == "set-repeat" && argc == 3) return SetRepeat(argv[2]);
  if (command == "wait-title" && (argc == 4 || argc == 5)) {
    return WaitTitle(argv[2], std::strtoul(argv[3], nullptr, 10), argc == 5);
  }
  if (command == "cover" && argc == 3) return Cover(std::strtoul(argv[2], nullptr, 10));
  if (command == "close-box" && argc == 2) return CloseBox();
  if (command == "focus" && argc == 2) return Focus();
  if (command == "choose-file" && argc == 4) return ChooseFile(argv[2], argv[3]);
  if (command == "dpi-changed" && argc == 5) return DpiChanged(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
  return Usage();
}
