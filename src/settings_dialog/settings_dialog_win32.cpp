// The settings dialog "Quillbright_P": a fixed window painted with a
// gradient, the panel Pic_C covered with the texture strip and holding the
// music controls, and the skinned save and cancel buttons. The decisions are
// MusicChoice's; this file draws, hit-tests and performs.
#include "settings_dialog/settings_dialog.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/command/command_win32.h"
#include "platform/texts.h"
#include "platform/win32/base_window.h"
#include "platform/win32/dpi.h"
#include "platform/win32/gdi.h"
#include "platform/win32/mouse_capture.h"
#include "platform/win32/system_ports.h"
#include "platform/win32/wide_text.h"
#include "resources/resource_ids.h"
#include "settings/settings_file.h"
#include "settings/settings_values.h"
#include "settings_dialog/dialog_drawing_win32.h"
#include "settings_dialog/dialog_geometry.h"
#include "settings_dialog/dialog_logic.h"
#include "settings_dialog/file_chooser_win32.h"
#include "settings_dialog/panel_win32.h"
#include "settings_dialog/repeat_box_win32.h"
#include "settings_dialog/zoom_win32.h"

namespace qb {
namespace {

constexpr char kDialogClass[] = "Quillbright_P";
// The project has no home page of its own, so the link label shows none
// (and, empty, has nothing to click).
constexpr char kLinkAddress[] = "";

constexpr COLORREF kBaseColour = RGB(192, 192, 192);
constexpr COLORREF kLinkColour = RGB(255, 255, 255);

enum ControlId : int { kIdSave = 1, kIdCancel = 2, kIdFile = 3, kIdRepeat = 4 };

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

class SettingsDialog : public BaseWindow<SettingsDialog>,
                       private MusicControls,
                       private FileChooser,
                       private LinkShell,
                       private PanelOwner {
 public:
  SettingsDialog(SettingsValues& settings, const SettingsPlaces& places)
      : places_(places),
        choice_(settings, *this),
        panel_(*this),
        saveButton_(saveBag_),
        cancelButton_(cancelBag_),
        fileButton_(fileBag_) {}

  bool Create();
  void RunModal();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // MusicControls
  void ShowMark(int16_t kind, bool selected) override;
  void EnableRepeat(bool enabled) override;
  void EnableFileButton(bool enabled) override;
  void SetRepeatText(const std::string& text) override;
  void AddRepeatEntry(const std::string& text) override;
  std::string ReadRepeatText() override;
  void SetFileLabel(const std::u16string& path) override;
  void SayNameCannotBeKept() override;
  // FileChooser
  std::optional<std::u16string> Choose(const OpenFileRequest& request) override;
  // LinkShell
  void ShowWaitPointer(bool wait) override;
  void Open(const std::string& address) override;
  // PanelOwner
  void ChoicePressed(int16_t kind) override { choice_.SelectMusicKind(kind); }
  void ControlClicked(int id) override { OnCommand(id); }
  bool SetWaitPointer() override;

  bool CreateControls();
  void UseDpi(int32_t dpi);
  void OnDpiChanged(WPARAM wParam, LPARAM lParam);
  BOOL OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam);
  SIZE OuterSizeAt(int32_t dpi) const;
  void FitClient();
  void FormLoad();
  void FormResize();
  void SetupButtons(bool initialize, bool enable);
  void TileBackground();
  void Unload();
  void OnCommand(int id);
  bool OnSetCursor();
  void OnLinkButton(bool down, LPARAM lParam);
  bool MoveFocus(bool backwards);
  void PaintContent(HDC dc);
  void ShowMessage(const char* text);

  const SettingsPlaces& places_;
  MusicChoice choice_;
  Win32FileSystem files_;
  Win32Codec codec_;
  Win32Zoom zoom_;
  ZoomAnchor zoomAnchor_;
  Panel panel_;
  PropertyBag saveBag_;
  PropertyBag cancelBag_;
  PropertyBag fileBag_;
  Command saveButton_;
  Command cancelButton_;
  Command fileButton_;
  RepeatBox repeatBox_;

  DialogLayout layout_;
  Backing background_;
  Font labelFont_;
  Font linkFont_;
  HCURSOR linkPointer_ = nullptr;
  PixelRect linkRect_;
  bool linkPressed_ = false;
  bool waitPointer_ = false;
  bool unloading_ = false;
  bool closed_ = false;
};

bool SettingsDialog::Create() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
  // Shared: the system keeps it, and frees it with the program.
  wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (!RegisterClassOnce(kDialogClass, wc)) return false;

  linkPointer_ = ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_DIALOG_LINK));
  // Made for the primary monitor, where it opens; laid out again below when
  // the system puts it on another.
  UseDpi(ScreenDpi());
  SIZE outer = OuterSize(layout_.clientWidth, layout_.clientHeight, kStyle, 0, layout_.dpi);
  if (!CreateWindowFor(kDialogClass, texts::kSettingsDialogTitle, kStyle, 0, 0, 0, outer.cx, outer.cy)) {
    return false;
  }
  if (WindowDpi(Window()) != layout_.dpi) {
    UseDpi(WindowDpi(Window()));
    outer = OuterSizeAt(layout_.dpi);
    ::SetWindowPos(Window(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FitClient();
  ::SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(wc.hIcon));
  ::SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(wc.hIconSm));
  return CreateControls();
}

// The layout and the fonts at `dpi`.
void SettingsDialog::UseDpi(int32_t dpi) {
  layout_ = LayoutFor(dpi);
  labelFont_ = MakeLabelFont(false, layout_.dpi);
  linkFont_ = MakeLabelFont(true, layout_.dpi);
  const SIZE link = TextSize(linkFont_.Get(), kLinkAddress);
  linkRect_ = {layout_.linkX, layout_.linkY, link.cx, link.cy};
}

bool SettingsDialog::CreateControls() {
  if (!panel_.Create(Window(), labelFont_.Get(), layout_)) return false;
  const HWND panel = panel_.Window();

  // The dialog keeps each button's caption; the font is the design's.
  saveBag_.WriteText(texts::kCommandKeyCaption, texts::kCaptionSave, texts::kCommandCaption);
  cancelBag_.WriteText(texts::kCommandKeyCaption, texts::kCaptionCancel, texts::kCommandCaption);
  fileBag_.WriteText(texts::kCommandKeyCaption, texts::kCaptionChooseFile, texts::kCommandCaption);

  if (!repeatBox_.Create(panel, kIdRepeat, layout_, labelFont_.Get())) return false;

  const PixelRect& file = layout_.fileButton;
  const PixelRect& save = layout_.save;
  const PixelRect& cancel = layout_.cancel;
  return fileButton_.Create(panel, kIdFile, file.x, file.y, file.width, file.height, true) &&
         saveButton_.Create(Window(), kIdSave, save.x, save.y, save.width, save.height, true) &&
         cancelButton_.Create(Window(), kIdCancel, cancel.x, cancel.y, cancel.width, cancel.height, true);
}

// Dragged to a monitor of another scale: everything laid out, lettered and
// drawn again, in the system's place for the window. Any program can send
// this message with any numbers, so only one sent on this thread (the
// system's, during a move) is read: its dpi held to a sane range, its
// rectangle through a read that fails instead of faulting. One from another
// thread only makes the window ask its own dpi again.
void SettingsDialog::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
  const bool ownThread = ::InSendMessageEx(nullptr) == ISMEX_NOSEND;
  const int32_t dpi = ownThread ? HeldDpi(HIWORD(wParam)) : WindowDpi(Window());
  RECT suggested = {};
  const bool placed = ownThread && CopyFromMessage(lParam, &suggested, sizeof(suggested));
  if (dpi == layout_.dpi && !placed) return;
  // The panel and the repeat box draw with it until they have the new one.
  const Font previousLabelFont = std::move(labelFont_);
  UseDpi(dpi);
  panel_.SetLayout(layout_, labelFont_.Get());
  repeatBox_.Fit(layout_, labelFont_.Get());
  const std::pair<Command*, PixelRect> buttons[] = {
      {&fileButton_, layout_.fileButton}, {&saveButton_, layout_.save}, {&cancelButton_, layout_.cancel}};
  for (const auto& [button, at] : buttons) {
    button->SetDpi(layout_.dpi);
    ::MoveWindow(button->Window(), at.x, at.y, at.width, at.height, FALSE);
  }
  RECT now = {};
  ::GetWindowRect(Window(), &now);
  const POINT at = placed ? POINT{suggested.left, suggested.top} : POINT{now.left, now.top};
  const SIZE outer = OuterSizeAt(layout_.dpi);
  ::SetWindowPos(Window(), nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClient();
  ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The size the window takes at a new dpi, asked before the system
// suggests its rectangle, so that the client is the layout's exactly
// rather than the frame scaled in step with it.
BOOL SettingsDialog::OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam) {
  if (::InSendMessageEx(nullptr) != ISMEX_NOSEND || !lParam) return FALSE;
  *reinterpret_cast<SIZE*>(lParam) = OuterSizeAt(HeldDpi(static_cast<uint32_t>(wParam)));
  return TRUE;
}

SIZE SettingsDialog::OuterSizeAt(int32_t dpi) const {
  const DialogLayout layout = LayoutFor(dpi);
  return OuterSize(layout.clientWidth, layout.clientHeight, kStyle, 0, dpi);
}

// The frame the system draws may not be the one asked for (per-monitor
// awareness of the first kind, on Windows 10 1607, never scales it): the
// client is measured and the window made up for the difference.
void SettingsDialog::FitClient() {
  RECT client = {};
  RECT outer = {};
  if (!::GetClientRect(Window(), &client) || !::GetWindowRect(Window(), &outer)) return;
  const int32_t dx = layout_.clientWidth - client.right;
  const int32_t dy = layout_.clientHeight - client.bottom;
  if (dx == 0 && dy == 0) return;
  ::SetWindowPos(Window(), nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Loading: every step runs whatever the one before it did.
void SettingsDialog::FormLoad() {
  RECT outer = {};
  ::GetWindowRect(Window(), &outer);
  const DialogPlacement place =
      PlaceDialog(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                  outer.right - outer.left, outer.bottom - outer.top, TwipsPerPixel(layout_.dpi));
  ::SetWindowPos(Window(), nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetupButtons(true, true);
  TileBackground();
  choice_.ShowStoredSettings();
  SetZoomPointFromCursor(zoomAnchor_);
  ZoomOpen(zoom_, zoomAnchor_, Window());
  ShowWaitPointer(false);
}

void SettingsDialog::SetupButtons(bool initialize, bool enable) {
  for (Command* button : {&saveButton_, &cancelButton_, &fileButton_}) {
    if (initialize) {
      button->Members().Initialize();
    } else {
      button->Members().SetEnabled(enable);
    }
  }
}

void SettingsDialog::TileBackground() { panel_.TileBackground(); }

// The gradient, once per size, into the window's backing image.
void SettingsDialog::FormResize() {
  RECT client;
  ::GetClientRect(Window(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  if (background_.SameSize(client.right, client.bottom)) return;
  if (!background_.Make(client.right, client.bottom, kBaseColour)) return;
  MemoryDc dc(nullptr);
  if (!dc) return;
  SelectObjectGuard select(dc.Get(), background_.Get());
  SelectObjectGuard pen(dc.Get(), ::GetStockObject(DC_PEN));
  for (const GradientLine& line : GradientLines(client.bottom)) {
    ::SetDCPenColor(dc.Get(), RGB(line.grey, line.grey, line.grey + 30));
    ::MoveToEx(dc.Get(), 0, line.row, nullptr);
    ::LineTo(dc.Get(), client.right, line.row);
  }
  ::InvalidateRect(Window(), nullptr, FALSE);
}

void SettingsDialog::RunModal() {
  FormLoad();
  FormResize();
  ::ShowWindow(Window(), SW_SHOWNORMAL);
  ::UpdateWindow(Window());
  ::SetForegroundWindow(Window());
  ::SetFocus(panel_.Window());

  MSG msg = {};
  while (!closed_ && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab walks the dialog's own order; Enter and Escape mean nothing here.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB &&
        (msg.hwnd == Window() || ::IsChild(Window(), msg.hwnd)) &&
        MoveFocus(::GetKeyState(VK_SHIFT) < 0)) {
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// Pic_C, BGM_Repeat, Cmd_File, Cmd_Set, Cmd_Can; a disabled repeat box is
// skipped, the buttons take the focus even while their Enabled is false.
bool SettingsDialog::MoveFocus(bool backwards) {
  const HWND order[] = {panel_.Window(), repeatBox_.Window(), fileButton_.Window(), saveButton_.Window(),
                        cancelButton_.Window()};
  constexpr int kCount = sizeof(order) / sizeof(order[0]);
  const HWND focus = ::GetFocus();
  int current = -1;
  for (int i = 0; i < kCount; ++i) {
    if (order[i] == focus || (i != 0 && ::IsChild(order[i], focus))) current = i;
  }
  if (current < 0 && focus != Window()) return false;
  for (int step = 1; step <= kCount; ++step) {
    const int i = ((current < 0 ? 0 : current) + (backwards ? kCount - step : step)) % kCount;
    if (order[i] && ::IsWindowEnabled(order[i]) && ::IsWindowVisible(order[i])) {
      ::SetFocus(order[i]);
      return true;
    }
  }
  return true;
}

// Whatever closes the dialog zooms back to the anchor first; nothing is
// saved on this path.
void SettingsDialog::Unload() {
  if (unloading_) return;
  unloading_ = true;
  ZoomClose(zoom_, zoomAnchor_, Window());
  ::DestroyWindow(Window());
}

void SettingsDialog::OnCommand(int id) {
  switch (id) {
    case kIdSave:
      if (choice_.Save(files_, codec_, places_)) {
        Unload();
      } else {
        // Nothing was written: the dialog stays, as the user left it.
        ShowMessage(texts::kSettingsNotSaved);
      }
      break;
    case kIdCancel: Unload(); break;
    case kIdFile: choice_.ChooseFile(*this, files_, codec_); break;
    default: break;
  }
}

LRESULT SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: FormResize(); return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: {
      PaintDc paint(Window());
      if (paint.Get()) PaintContent(paint.Get());
      return 0;
    }
    case WM_PRINTCLIENT: PaintContent(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor()) return TRUE;
      break;
    // Held from the press, so that a release over a button is no click.
    case WM_LBUTTONDOWN: HoldMouse(Window()); OnLinkButton(true, lParam); return 0;
    case WM_LBUTTONUP: ReleaseMouse(Window(), wParam); OnLinkButton(false, lParam); return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: HoldMouse(Window()); break;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: ReleaseMouse(Window(), wParam); break;
    case WM_DPICHANGED: OnDpiChanged(wParam, lParam); return 0;
    case kWmGetDpiScaledSize: return OnGetDpiScaledSize(wParam, lParam);
    case WM_CLOSE: Unload(); return 0;
    // However the end comes (a message from outside included), the modal
    // loop wakes and ends.
    case WM_DESTROY: closed_ = true; ::PostMessageW(nullptr, WM_NULL, 0, 0); return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

bool SettingsDialog::SetWaitPointer() {
  if (!waitPointer_) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

bool SettingsDialog::OnSetCursor() {
  if (SetWaitPointer()) return true;
  POINT p;
  if (!::GetCursorPos(&p) || !::ScreenToClient(Window(), &p)) return false;
  if (!linkRect_.Contains(p.x, p.y) || !linkPointer_) return false;
  ::SetCursor(linkPointer_);
  return true;
}

// A click is a press and a release on the label.
void SettingsDialog::OnLinkButton(bool down, LPARAM lParam) {
  const bool onLink = linkRect_.Contains(static_cast<int16_t>(LOWORD(lParam)),
                                         static_cast<int16_t>(HIWORD(lParam)));
  if (down) {
    linkPressed_ = onLink;
    return;
  }
  if (!linkPressed_) return;
  linkPressed_ = false;
  if (onLink) OpenLink(*this, kLinkAddress);
}

void SettingsDialog::PaintContent(HDC dc) {
  background_.ShowOn(dc);
  DrawLabel(dc, linkFont_.Get(), kLinkColour, kLinkAddress, ToRect(linkRect_), DT_SINGLELINE | DT_NOCLIP);
}

void SettingsDialog::ShowMark(int16_t kind, bool selected) { panel_.ShowMark(kind, selected); }

void SettingsDialog::EnableRepeat(bool enabled) { ::EnableWindow(repeatBox_.Window(), enabled); }

void SettingsDialog::EnableFileButton(bool enabled) { fileButton_.Members().SetEnabled(enabled); }

void SettingsDialog::SetRepeatText(const std::string& text) { repeatBox_.SetText(text); }

void SettingsDialog::AddRepeatEntry(const std::string& text) { repeatBox_.AddEntry(text); }

std::string SettingsDialog::ReadRepeatText() { return repeatBox_.Text(); }

void SettingsDialog::SetFileLabel(const std::u16string& path) { panel_.SetFileLabel(Wide(path)); }

void SettingsDialog::SayNameCannotBeKept() { ShowMessage(texts::kFileNameNotKept); }

void SettingsDialog::ShowMessage(const char* text) {
  ::MessageBoxW(Window(), Cp932ToWide(text).c_str(), Cp932ToWide(texts::kAppTitle).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}

std::optional<std::u16string> SettingsDialog::Choose(const OpenFileRequest& request) {
  return ChooseFileToOpen(Window(), request);
}

void SettingsDialog::ShowWaitPointer(bool wait) {
  waitPointer_ = wait;
  ::SetCursor(::LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void SettingsDialog::Open(const std::string& address) {
  ::ShellExecuteW(Window(), L"open", Cp932ToWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void ShowSettingsDialog(SettingsValues& settings, const SettingsPlaces& places) {
  SettingsDialog dialog(settings, places);
  if (!dialog.Create()) return;
  dialog.RunModal();
}

}  // namespace qb
