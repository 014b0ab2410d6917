#include "settings_dialog/panel_win32.h"

#include <utility>

#include "platform/texts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/mouse_capture.h"
#include "resources/resource_ids.h"

namespace qb {
namespace {

constexpr char kPanelClass[] = "Quillbright_P.Pic_C";
constexpr COLORREF kPanelColour = RGB(224, 224, 224);
constexpr COLORREF kLabelColour = RGB(0, 0, 0);

// The labels of the choices, by music kind.
constexpr const char* kChoiceLabels[kChoiceCount] = {texts::kLabelNoMusic, texts::kLabelAudioCd,
                                                     texts::kLabelMusicFile};

}  // namespace

bool Panel::Create(HWND parent, HFONT labelFont, const DialogLayout& layout) {
  layout_ = layout;
  labelFont_ = labelFont;
  Prepare();
  if (!RegisterClassOnce(kPanelClass)) return false;
  const PixelRect& at = layout_.panel;
  return CreateWindowFor(kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, 0, at.x,
                         at.y, at.width, at.height, parent);
}

void Panel::SetLayout(const DialogLayout& layout, HFONT labelFont) {
  layout_ = layout;
  labelFont_ = labelFont;
  Prepare();
  TileBackground();
  const PixelRect& at = layout_.panel;
  ::MoveWindow(Window(), at.x, at.y, at.width, at.height, TRUE);
}

// The texture holder has one form, scaled smoothly; the marks have two.
void Panel::Prepare() {
  texture_ = PictureAt(IDB_DIALOG_TEXTURE, 0, layout_.textureWidth, layout_.textureHeight);
  const int32_t mark = layout_.markPictureSize;
  markOff_ = PictureAt(IDB_DIALOG_MARK_OFF, IDB_DIALOG_MARK_OFF_2X, mark, mark);
  markOn_ = PictureAt(IDB_DIALOG_MARK_ON, IDB_DIALOG_MARK_ON_2X, mark, mark);
  for (int kind = 0; kind < kChoiceCount; ++kind) {
    const SIZE size = TextSize(labelFont_, kChoiceLabels[kind]);
    choiceLabelRects_[kind] = {layout_.choiceLabelX, layout_.choiceLabelY[kind], size.cx, size.cy};
  }
  background_.Make(layout_.panel.width, layout_.panel.height, kPanelColour);
}

void Panel::TileBackground() {
  if (!background_.Get() || !texture_) return;
  MemoryDc target(nullptr);
  MemoryDc source(nullptr);
  if (!target || !source) return;
  SelectObjectGuard selectTarget(target.Get(), background_.Get());
  SelectObjectGuard selectSource(source.Get(), texture_.Get());
  const int32_t width = layout_.textureWidth;
  const int32_t height = layout_.textureHeight;
  for (const TilePosition& at : TilePositions(width, height, background_.Width(), background_.Height())) {
    ::BitBlt(target.Get(), at.x, at.y, width, height, source.Get(), 0, 0, SRCCOPY);
  }
  if (Window()) ::InvalidateRect(Window(), nullptr, FALSE);
}

void Panel::ShowMark(int16_t kind, bool selected) {
  if (kind < 0 || kind >= kChoiceCount) return;
  markSelected_[kind] = selected;
  Invalidate(layout_.marks[kind]);
}

void Panel::SetFileLabel(std::wstring text) {
  fileLabel_ = std::move(text);
  Invalidate(layout_.fileLabel);
}

void Panel::Invalidate(const PixelRect& area) {
  if (!Window()) return;
  const RECT r = ToRect(area);
  ::InvalidateRect(Window(), &r, FALSE);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const std::optional<LRESULT> answer = PanelMessage(message, wParam, lParam)) return *answer;
  return DefaultHandling(message, wParam, lParam);
}

std::optional<LRESULT> Panel::PanelMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: {
      PaintDc paint(Window());
      if (paint.Get()) PaintContent(paint.Get());
      return 0;
    }
    case WM_PRINTCLIENT: PaintContent(reinterpret_cast<HDC>(wParam)); return 0;
    // Any mouse button, on the press; held until the release, so that a
    // release over a button is no click.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      HoldMouse(Window());
      OnPress(lParam);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: ReleaseMouse(Window(), wParam); return std::nullopt;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) owner_.ControlClicked(LOWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (owner_.SetWaitPointer()) return TRUE;
      return std::nullopt;
    default: return std::nullopt;
  }
}

void Panel::OnPress(LPARAM lParam) {
  const int32_t x = static_cast<int16_t>(LOWORD(lParam));
  const int32_t y = static_cast<int16_t>(HIWORD(lParam));
  for (int16_t kind = 0; kind < kChoiceCount; ++kind) {
    if (layout_.marks[kind].Contains(x, y) || choiceLabelRects_[kind].Contains(x, y)) {
      owner_.ChoicePressed(kind);
      return;
    }
  }
}

// The backing image, then the shape, the labels and the marks above it,
// composed off screen and shown in one copy.
void Panel::PaintContent(HDC target) {
  if (!background_.Get()) return;
  OffscreenFrame frame(target, background_.Width(), background_.Height());
  const HDC dc = frame.Dc();
  if (!dc) return;
  background_.ShowOn(dc);
  {
    SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
    SelectObjectGuard brush(dc, ::GetStockObject(NULL_BRUSH));
    const RECT f = ToRect(layout_.headingFrame);
    ::Rectangle(dc, f.left, f.top, f.right, f.bottom);
  }
  DrawLabel(dc, labelFont_, kLabelColour, texts::kLabelHeading, ToRect(layout_.heading), DT_CENTER | DT_SINGLELINE);
  for (int kind = 0; kind < kChoiceCount; ++kind) {
    DrawLabel(dc, labelFont_, kLabelColour, kChoiceLabels[kind], ToRect(choiceLabelRects_[kind]),
              DT_SINGLELINE | DT_NOCLIP);
  }
  const SIZE repeat = TextSize(labelFont_, texts::kLabelRepeat);
  const int32_t repeatX = layout_.repeatLabelX;
  const int32_t repeatY = layout_.repeatLabelY;
  DrawLabel(dc, labelFont_, kLabelColour, texts::kLabelRepeat,
            {repeatX, repeatY, repeatX + repeat.cx, repeatY + repeat.cy}, DT_SINGLELINE | DT_NOCLIP);
  {
    MemoryDc source(target);
    for (int kind = 0; kind < kChoiceCount; ++kind) {
      const HBITMAP mark = markSelected_[kind] ? markOn_.Get() : markOff_.Get();
      if (!mark || !source) continue;
      SelectObjectGuard select(source.Get(), mark);
      const int32_t size = layout_.markPictureSize;
      ::BitBlt(dc, layout_.marks[kind].x, layout_.marks[kind].y, size, size, source.Get(), 0, 0, SRCCOPY);
    }
  }
  RECT fileRect = ToRect(layout_.fileLabel);
  ::DrawEdge(dc, &fileRect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  DrawLabel(dc, labelFont_, kLabelColour, fileLabel_, fileRect, DT_WORDBREAK | DT_EDITCONTROL);
  frame.PresentTo(target);
}

}  // namespace qb
