#include "controls/command/command_win32.h"

#include "platform/texts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/mouse_capture.h"
#include "platform/win32/system_dlls.h"
#include "resources/resource_ids.h"

namespace qb {
namespace {

constexpr UINT_PTR kMouseTimerId = 1;

constexpr int kPictureIds[kFacePictureCount] = {
    IDB_COMMAND_NORMAL,   IDB_COMMAND_HIGHLIGHT,       IDB_COMMAND_PRESSED,
    IDB_COMMAND_SELECTED, IDB_COMMAND_HIGHLIGHTSELECT, IDB_COMMAND_DISABLE,
};
constexpr int kPictureIds2x[kFacePictureCount] = {
    IDB_COMMAND_NORMAL_2X,   IDB_COMMAND_HIGHLIGHT_2X,       IDB_COMMAND_PRESSED_2X,
    IDB_COMMAND_SELECTED_2X, IDB_COMMAND_HIGHLIGHTSELECT_2X, IDB_COMMAND_DISABLE_2X,
};

// A caption colour: red-green-blue, or a system colour by its index.
COLORREF ColourOf(int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  if ((bits >> 24) == 0x80) return ::GetSysColor(static_cast<int>(bits & 0xFF));
  return bits & 0xFFFFFF;
}

Font MakeFont(const CaptionFont& font, int32_t dpi) {
  LOGFONTW logFont = {};
  logFont.lfWeight = font.weight;
  logFont.lfItalic = font.italic;
  logFont.lfUnderline = font.underline;
  logFont.lfStrikeOut = font.strikethrough;
  logFont.lfCharSet = font.charset;
  lstrcpynW(logFont.lfFaceName, Cp932ToWide(font.faceName).c_str(), LF_FACESIZE);
  return PointFont(logFont, font.sizeCentipoints, dpi);
}

uintptr_t HandleValue(HWND window) { return reinterpret_cast<uintptr_t>(window); }

}  // namespace

bool FillGradient(HDC dc, int32_t width, int32_t height, bool hot) {
  const auto ends = GradientVertices(width, height, hot);
  // Three records, as the face keeps them; the third stays zero.
  TRIVERTEX vertices[3] = {};
  for (size_t i = 0; i < ends.size(); ++i) {
    vertices[i].x = ends[i].x;
    vertices[i].y = ends[i].y;
    vertices[i].Red = ends[i].colour.red;
    vertices[i].Green = ends[i].colour.green;
    vertices[i].Blue = ends[i].colour.blue;
    vertices[i].Alpha = ends[i].colour.alpha;
  }
  GRADIENT_RECT rect = {kGradientUpperLeft, kGradientLowerRight};
  return msimg32::GradientFill(dc, vertices, 2, &rect, 1, GRADIENT_FILL_RECT_V) != FALSE;
}

Command::Command(PropertyStore& host) : logic_(*this, host) {}

bool Command::Create(HWND parent, int id, int x, int y, int width, int height, bool fromStored) {
  dpi_ = WindowDpi(parent);
  LoadPictures();
  // No CS_DBLCLKS: a quick second press is a press like any other.
  if (!RegisterClassOnce(texts::kCommandClassName)) return false;
  fromStored_ = fromStored;
  if (!CreateWindowFor(texts::kCommandClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, x,
                       y, width, height, parent)) {
    return false;
  }
  ::SetWindowLongPtrW(Window(), GWLP_ID, id);
  return true;
}

void Command::SetDpi(int32_t dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  LoadPictures();
  font_.Reset();
  logic_.Resize();
}

// The state pictures drawn for the dpi, so the border band is its width.
void Command::LoadPictures() {
  const PixelRect size = PictureSizeAt(dpi_);
  for (int i = 0; i < kFacePictureCount; ++i) {
    pictures_[i] = PictureAt(kPictureIds[i], kPictureIds2x[i], size.width, size.height);
  }
}

LRESULT Command::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(*reinterpret_cast<CREATESTRUCTW*>(lParam)); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: OnPaint(); return 0;
    case WM_PRINTCLIENT: PaintContent(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_MOUSEMOVE: logic_.MouseMove(); return 0;
    case WM_LBUTTONDOWN: OnButtonDown(kLeftButton); return 0;
    case WM_RBUTTONDOWN: OnButtonDown(kRightButton); return 0;
    case WM_MBUTTONDOWN: OnButtonDown(kMiddleButton); return 0;
    case WM_LBUTTONUP: OnButtonUp(kLeftButton, wParam, lParam); return 0;
    case WM_RBUTTONUP: OnButtonUp(kRightButton, wParam, lParam); return 0;
    case WM_MBUTTONUP: OnButtonUp(kMiddleButton, wParam, lParam); return 0;
    case WM_SETFOCUS: logic_.GotFocus(); return 0;
    case WM_KILLFOCUS: logic_.LostFocus(); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return 0;
    case WM_TIMER: if (wParam == kMouseTimerId) OnMouseTimer(); return 0;
    default: return DefaultHandling(message, wParam, lParam);
  }
}

void Command::OnCreate(const CREATESTRUCTW& create) {
  ResizeBuffer(create.cx, create.cy);
  if (fromStored_) logic_.ReadProperties();
  if (pendingTimerMs_) StartMouseTimer(pendingTimerMs_);
}

void Command::OnSize(int32_t width, int32_t height) {
  ResizeBuffer(width, height);
  logic_.Resize();
}

// The back buffer follows the client size.
void Command::ResizeBuffer(int32_t width, int32_t height) {
  if (face_ && width == width_ && height == height_) return;
  WindowDc screen(nullptr);
  face_.Reset(width > 0 && height > 0 ? ::CreateCompatibleBitmap(screen.Get(), width, height)
                                      : nullptr);
  width_ = width;
  height_ = height;
}

void Command::PaintFace(FacePicture picture) {
  if (face_) {
    MemoryDc dc(nullptr);
    if (dc) {
      SelectObjectGuard select(dc.Get(), face_.Get());
      RECT all = {0, 0, width_, height_};
      ::FillRect(dc.Get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
      FillGradient(dc.Get(), width_, height_, logic_.Fields().hotGradient);
      DrawBorder(dc.Get(), pictures_[static_cast<int>(picture)].Get());
    }
  }
  ++counts_.facePaints;
  if (observer_) observer_(observerContext_, *this, picture);
  // Shown at once, as the face was meant to be: the next message may be
  // the one that raises Click.
  if (Window()) {
    ::InvalidateRect(Window(), nullptr, FALSE);
    ::UpdateWindow(Window());
  }
}

// The eight pieces of the picture's outer band; the middle never.
void Command::DrawBorder(HDC dc, HBITMAP picture) {
  if (!picture) return;
  MemoryDc source(dc);
  if (!source) return;
  SelectObjectGuard select(source.Get(), picture);
  SavedDcState saved(dc);
  ::SetStretchBltMode(dc, COLORONCOLOR);
  for (const SlicePiece& piece : SlicePieces(width_, height_, dpi_)) {
    if (!piece.drawn) continue;
    const PixelRect& s = piece.source;
    const PixelRect& d = piece.destination;
    if (piece.stretched) {
      ::StretchBlt(dc, d.x, d.y, d.width, d.height, source.Get(), s.x, s.y, s.width, s.height,
                   SRCCOPY);
    } else {
      ::BitBlt(dc, d.x, d.y, s.width, s.height, source.Get(), s.x, s.y, SRCCOPY);
    }
  }
}

void Command::CaptionChanged() {
  if (Window()) ::InvalidateRect(Window(), nullptr, FALSE);
}

// Initialize may come before the window exists; the timer then starts with it.
void Command::StartMouseTimer(uint32_t intervalMs) {
  pendingTimerMs_ = intervalMs;
  if (Window()) ::SetTimer(Window(), kMouseTimerId, intervalMs, nullptr);
}

void Command::RaiseClick() {
  const HWND parent = ::GetParent(Window());
  if (!parent) return;
  const int id = ::GetDlgCtrlID(Window());
  ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Window()));
}

void Command::OnPaint() {
  PaintDc paint(Window());
  if (paint.Get()) PaintContent(paint.Get());
}

// The face (or, when transparent, what the parent shows beneath it) with
// the caption over it, composed off screen and copied in one go.
void Command::PaintContent(HDC dc) {
  ++counts_.screenPaints;
  if (width_ <= 0 || height_ <= 0) return;
  OffscreenFrame frame(dc, width_, height_);
  if (!frame.Dc()) return;
  if (logic_.Fields().opaque && face_) {
    MemoryDc faceDc(dc);
    SelectObjectGuard selectFace(faceDc.Get(), face_.Get());
    ::BitBlt(frame.Dc(), 0, 0, width_, height_, faceDc.Get(), 0, 0, SRCCOPY);
  } else {
    PaintParentBackground(frame.Dc());
  }
  DrawCaption(frame.Dc());
  frame.PresentTo(dc);
}

void Command::PaintParentBackground(HDC dc) {
  const HWND parent = ::GetParent(Window());
  if (!parent) return;
  POINT origin = {0, 0};
  ::MapWindowPoints(Window(), parent, &origin, 1);
  SavedDcState saved(dc);
  ::SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
  ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

// The caption label: the face's full width, centred, its top placed as the
// face's height decides. No prefix characters: the control takes no keys.
void Command::DrawCaption(HDC dc) {
  const CommandFields& fields = logic_.Fields();
  if (fields.caption.empty()) return;
  if (!font_ || fields.font != fontMadeFrom_) {
    font_ = MakeFont(fields.font, dpi_);
    fontMadeFrom_ = fields.font;
  }
  SavedDcState saved(dc);
  SelectObjectGuard selectFont(dc, font_ ? static_cast<HGDIOBJ>(font_.Get())
                                         : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  const int32_t top = CaptionTopPixels(height_, dpi_);
  const int32_t labelHeight = PixelsAtDpi(static_cast<int32_t>(kCaptionLabelHeight), dpi_);
  RECT label = {0, top, width_, top + labelHeight};
  const UINT format = DT_CENTER | DT_TOP | DT_NOPREFIX | DT_WORDBREAK | DT_NOCLIP;
  const std::wstring caption = Cp932ToWide(fields.caption);
  const int length = static_cast<int>(caption.size());
  if (fields.captionEnabled) {
    ::SetTextColor(dc, ColourOf(fields.captionColour));
    ::DrawTextW(dc, caption.c_str(), length, &label, format);
    return;
  }
  // The platform's disabled text: etched, a light copy below right.
  ::OffsetRect(&label, 1, 1);
  ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
  ::DrawTextW(dc, caption.c_str(), length, &label, format);
  ::OffsetRect(&label, -1, -1);
  ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
  ::DrawTextW(dc, caption.c_str(), length, &label, format);
}

void Command::OnButtonDown(int16_t button) {
  logic_.MouseDown(button);
  // Held, the button keeps hearing the mouse after a drag off, so every
  // release comes back here and ends what its press began.
  HoldMouse(Window());
  if (button == kLeftButton && ::GetFocus() != Window()) ::SetFocus(Window());
}

void Command::OnButtonUp(int16_t button, WPARAM stillHeld, LPARAM at) {
  POINT point = {static_cast<int16_t>(LOWORD(at)), static_cast<int16_t>(HIWORD(at))};
  const bool off = !::ClientToScreen(Window(), &point) || PointerOffAt(&point);
  releasingMouse_ = true;
  ReleaseMouse(Window(), stillHeld);
  releasingMouse_ = false;
  logic_.MouseUp(button, !off);
}

// The mouse taken away mid-press (Alt+Tab, another window's capture): the
// press is over, and its release, wherever it comes, is no click.
void Command::OnCaptureChanged(HWND newOwner) {
  if (newOwner != Window() && !releasingMouse_) logic_.PressLost();
}

void Command::OnMouseTimer() {
  ++counts_.timerTicks;
  POINT point;
  logic_.MouseTimerTick(PointerOffAt(::GetCursorPos(&point) ? &point : nullptr));
}

// The pointer-off test at a screen point (null: it could not be read).
bool Command::PointerOffAt(const POINT* screen) const {
  std::optional<uintptr_t> under;
  if (screen) under = HandleValue(::WindowFromPoint(*screen));
  std::optional<uintptr_t> host;
  if (const HWND parent = ::GetParent(Window())) host = HandleValue(parent);
  return PointerIsOff(under, HandleValue(Window()), host);
}

}  // namespace qb
