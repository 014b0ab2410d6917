// The skinned button's window, class "Quillbright.Command": it feeds
// CommandLogic the mouse, focus, timer and size messages and performs the
// paints it asks for. Click reaches the parent as WM_COMMAND with
// BN_CLICKED and the control's id, like a push button's.
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/command/command_logic.h"
#include "platform/win32/base_window.h"
#include "platform/win32/gdi.h"

namespace qb {

// Fills (0, 0) to (width - 1, height - 1) of `dc` with the face's vertical
// gradient, light at the top unless `hot`.
bool FillGradient(HDC dc, int32_t width, int32_t height, bool hot);

// How much painting a control has done, for tests that count paints.
struct CommandCounts {
  uint32_t facePaints = 0;    // PaintFace: the back buffer redrawn
  uint32_t screenPaints = 0;  // WM_PAINT and WM_PRINTCLIENT
  uint32_t timerTicks = 0;
};

class Command : public BaseWindow<Command>, private CommandSurface {
 public:
  // `host` keeps the persisted properties and hears of changes; it outlives
  // the control.
  explicit Command(PropertyStore& host);

  // Creates the control as child `id` of `parent`. `fromStored` loads the
  // persisted properties from the host first; otherwise it starts new.
  // It draws at the parent's dpi.
  bool Create(HWND parent, int id, int x, int y, int width, int height, bool fromStored);
  // Draws the face, caption and font at `dpi` from now on (the parent moved
  // to a monitor of another scale; it places and sizes the control).
  void SetDpi(int32_t dpi);

  // The public members (Initialize, Visible, FontColour, Enabled, Caption,
  // Font) and persistence.
  CommandLogic& Members() { return logic_; }
  const CommandLogic& Members() const { return logic_; }

  const CommandCounts& Counts() const { return counts_; }
  // Called after every face paint, with the picture painted.
  using FaceObserver = void (*)(void* context, const Command& control, FacePicture picture);
  void SetFaceObserver(FaceObserver observer, void* context) {
    observer_ = observer;
    observerContext_ = context;
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void PaintFace(FacePicture picture) override;
  void CaptionChanged() override;
  void StartMouseTimer(uint32_t intervalMs) override;
  void RaiseClick() override;

  void LoadPictures();
  void OnCreate(const CREATESTRUCTW& create);
  void OnSize(int32_t width, int32_t height);
  void ResizeBuffer(int32_t width, int32_t height);
  void OnPaint();
  void PaintContent(HDC dc);
  void PaintParentBackground(HDC dc);
  void DrawCaption(HDC dc);
  void DrawBorder(HDC dc, HBITMAP picture);
  void OnButtonDown(int16_t button);
  void OnButtonUp(int16_t button, WPARAM stillHeld, LPARAM at);
  void OnCaptureChanged(HWND newOwner);
  void OnMouseTimer();
  bool PointerOffAt(const POINT* screen) const;

  CommandLogic logic_;
  int32_t dpi_ = kDesignDpi;
  bool fromStored_ = false;
  uint32_t pendingTimerMs_ = 0;
  Bitmap pictures_[kFacePictureCount];
  Bitmap face_;  // the back buffer: the last face painted
  int32_t width_ = 0;
  int32_t height_ = 0;
  Font font_;
  CaptionFont fontMadeFrom_;
  CommandCounts counts_;
  bool releasingMouse_ = false;  // our own release of the mouse, not a loss
  FaceObserver observer_ = nullptr;
  void* observerContext_ = nullptr;
};

}  // namespace qb
