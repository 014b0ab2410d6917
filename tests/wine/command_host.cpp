// Test host for the skinned button: a borderless window holding five
// buttons as the settings dialog will (loaded from a stored caption, then
// initialised), which logs every face painted and every Click as lines on
// stdout. A second instance passes commands to the running one.
//
//   command_host run X Y [--no-init N]   the host window at screen X, Y
//   command_host send WORDS...           report | focus N | enable N 0|1 |
//                                        visible N V | cover N | uncover |
//                                        print N | quit
//   command_host gradient W H HOT        the face gradient's row colours
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "controls/command/command_win32.h"
#include "platform/win32/base_window.h"

namespace {

constexpr char kHostClass[] = "QbCommandHost";
constexpr char kCoverClass[] = "QbCommandCover";
constexpr COLORREF kHostColour = RGB(0x3A, 0x6E, 0x3A);
constexpr ULONG_PTR kCommandData = 0x51420008;

struct ButtonLayout {
  int x, y, width, height;
  const char* caption;
};

// Ids 1 to 5.
const ButtonLayout kButtons[] = {
    {20, 20, 77, 25, "\x90\xDD\x92\xE8"},          // "設定"
    {110, 20, 77, 25, "\xB7\xAC\xDD\xBE\xD9"},     // "ｷｬﾝｾﾙ"
    {200, 22, 41, 21, "..."},
    {20, 60, 117, 28, ""},
    {160, 60, 117, 28, "Command2"},
};
constexpr int kButtonCount = 5;

LARGE_INTEGER Frequency() {
  LARGE_INTEGER f;
  ::QueryPerformanceFrequency(&f);
  return f;
}

long long NowMs() {
  static const LARGE_INTEGER frequency = Frequency();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart * 1000 / frequency.QuadPart;
}

void Line(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

std::string HexColour(COLORREF c) {
  char buffer[8];
  std::snprintf(buffer, sizeof(buffer), "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return buffer;
}

// A DIB section whose pixels are read back as colours.
struct Canvas {
  Canvas(int w, int h) : dib(w, h), dc(dib.Dc()), pixels(dib.Pixels()), width(w) {}
  COLORREF At(int x, int y) const {
    const uint32_t p = pixels[y * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  qb::DibSection dib;
  HDC dc;
  uint32_t* pixels;
  int width;
};

class Host : public qb::BaseWindow<Host> {
 public:
  bool Create(int x, int y, int skipInitialize) {
    WNDCLASSEXW wc = {};
    wc.hbrBackground = background_.Get();
    if (!RegisterClassOnce(kHostClass, wc)) return false;
    WNDCLASSA cover = {};
    cover.lpfnWndProc = ::DefWindowProcA;
    cover.hInstance = ::GetModuleHandleA(nullptr);
    cover.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    cover.lpszClassName = kCoverClass;
    ::RegisterClassA(&cover);
    if (!CreateWindowFor(kHostClass, kHostClass, WS_POPUP | WS_CLIPCHILDREN, 0, x, y, 300, 110)) return false;
    for (int i = 0; i < kButtonCount; ++i) {
      const ButtonLayout& layout = kButtons[i];
      bags_[i].WriteText("Caption", layout.caption, "Command");
      buttons_[i] = std::make_unique<qb::Command>(bags_[i]);
      buttons_[i]->SetFaceObserver(&Host::OnFace, this);
      if (!buttons_[i]->Create(Window(), i + 1, layout.x, layout.y, layout.width, layout.height, true)) {
        return false;
      }
    }
    for (int i = 0; i < kButtonCount; ++i) {
      if (i + 1 != skipInitialize) buttons_[i]->Members().Initialize();
    }
    ::ShowWindow(Window(), SW_SHOWNORMAL);
    ::UpdateWindow(Window());
    ::SetForegroundWindow(Window());
    ::SetFocus(Window());
    Line("ready=1");
    return true;
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) OnClick(LOWORD(wParam));
        return 0;
      case WM_MOUSEMOVE: OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0;
      case WM_COPYDATA: return OnCommand(*reinterpret_cast<COPYDATASTRUCT*>(lParam));
      case WM_DESTROY: ::PostQuitMessage(0); return 0;
      default: return DefaultHandling(message, wParam, lParam);
    }
  }

 private:
  int IndexOf(const qb::Command& control) const {
    for (int i = 0; i < kButtonCount; ++i) {
      if (buttons_[i].get() == &control) return i;
    }
    return -1;
  }

  static void OnFace(void* context, const qb::Command& control, qb::FacePicture picture) {
    auto* self = static_cast<Host*>(context);
    const int i = self->IndexOf(control);
    Line("face b=" + std::to_string(i + 1) + " pic=" + qb::FacePictureName(picture) +
         " hot=" + std::to_string(control.Members().Fields().hotGradient ? 1 : 0) +
         " t=" + std::to_string(NowMs()));
  }

  void OnClick(int id) {
    if (id >= 1 && id <= kButtonCount) ++clicks_[id - 1];
    Line("click b=" + std::to_string(id) + " t=" + std::to_string(NowMs()));
  }

  void OnMove(int x, int y) {
    Line("pmove x=" + std::to_string(x) + " y=" + std::to_string(y) +
         " t=" + std::to_string(NowMs()));
  }

  qb::Command* Button(int n) { return n >= 1 && n <= kButtonCount ? buttons_[n - 1].get() : nullptr; }

  LRESULT OnCommand(const COPYDATASTRUCT& data) {
    if (data.dwData != kCommandData) return 0;
    std::istringstream words(std::string(static_cast<const char*>(data.lpData), data.cbData));
    std::string verb;
    int n = 0, value = 0;
    words >> verb >> n >> value;
    qb::Command* button = Button(n);
    ++sequence_;
    if (verb == "report") {
      Report();
    } else if (verb == "focus") {
      ::SetFocus(button ? button->Window() : Window());
    } else if (verb == "enable" && button) {
      button->Members().SetEnabled(value != 0);
    } else if (verb == "visible" && button) {
      button->Members().SetVisible(static_cast<uint8_t>(value));
    } else if (verb == "cover" && button) {
      Cover(*button);
    } else if (verb == "uncover") {
      if (cover_) ::DestroyWindow(cover_);
      cover_ = nullptr;
    } else if (verb == "print" && button) {
      ComparePrint(n, *button);
    } else if (verb == "quit") {
      ::DestroyWindow(Window());
    } else {
      Line("error=unknown command " + verb);
      return 0;
    }
    Line("done seq=" + std::to_string(sequence_) + " cmd=" + verb);
    return 1;
  }

  void Report() {
    const HWND focus = ::GetFocus();
    for (int i = 0; i < kButtonCount; ++i) {
      const qb::Command& b = *buttons_[i];
      const qb::CommandFields& f = b.Members().Fields();
      const qb::CommandCounts& c = b.Counts();
      std::string line = "b" + std::to_string(i + 1) + " state=" +
                         std::to_string(static_cast<int>(f.buttonState)) +
                         " down=" + std::to_string(f.mouseIsDown ? 1 : 0) +
                         " enabled=" + std::to_string(f.enabled ? 1 : 0) +
                         " focus=" + std::to_string(focus == b.Window() ? 1 : 0) +
                         " faces=" + std::to_string(c.facePaints) +
                         " screens=" + std::to_string(c.screenPaints) +
                         " ticks=" + std::to_string(c.timerTicks) +
                         " clicks=" + std::to_string(clicks_[i]);
      Line(line);
    }
  }

  // A window of another kind lying over the right half of the button, under
  // a resting pointer (a tooltip, another program).
  void Cover(const qb::Command& button) {
    RECT r;
    ::GetWindowRect(button.Window(), &r);
    const int half = (r.right - r.left) / 2;
    cover_ = ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kCoverClass,
                               "", WS_POPUP, r.left + half, r.top - 5, half + 10,
                               r.bottom - r.top + 10, Window(), nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    ::ShowWindow(cover_, SW_SHOWNOACTIVATE);
    ::UpdateWindow(cover_);
    Line("cover t=" + std::to_string(NowMs()));
  }

  // The control drawn through WM_PRINTCLIENT against what the screen shows.
  void ComparePrint(int n, const qb::Command& button) {
    RECT r;
    ::GetWindowRect(button.Window(), &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    Canvas printed(w, h), screen(w, h);
    ::SendMessageA(button.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc),
                   PRF_CLIENT);
    qb::WindowDc screenDc(nullptr);
    ::BitBlt(screen.dc, 0, 0, w, h, screenDc.Get(), r.left, r.top, SRCCOPY);
    int differing = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) differing += printed.At(x, y) != screen.At(x, y);
    }
    Line("print b=" + std::to_string(n) + " differing=" + std::to_string(differing) +
         " corner=" + HexColour(printed.At(1, 1)) + " middle=" + HexColour(printed.At(5, h / 2)));
  }

  qb::Brush background_{::CreateSolidBrush(kHostColour)};
  HWND cover_ = nullptr;
  qb::PropertyBag bags_[kButtonCount];
  std::unique_ptr<qb::Command> buttons_[kButtonCount];
  int clicks_[kButtonCount] = {};
  int sequence_ = 0;
};

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
  Line("error=timed out");
  ::PostQuitMessage(3);
}

int Run(int x, int y, int skipInitialize) {
  Host host;
  if (!host.Create(x, y, skipInitialize)) {
    Line("error=cannot create the host window");
    return 2;
  }
  // A forgotten host must not outlive its test.
  ::SetTimer(nullptr, 0, 300000, &GiveUp);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int Send(const std::string& words) {
  const HWND host = ::FindWindowA(kHostClass, nullptr);
  if (!host) {
    Line("sent=0");
    return 1;
  }
  COPYDATASTRUCT data = {};
  data.dwData = kCommandData;
  data.cbData = static_cast<DWORD>(words.size());
  data.lpData = const_cast<char*>(words.data());
  DWORD_PTR result = 0;
  const LRESULT ok = ::SendMessageTimeoutA(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                           SMTO_ABORTIFHUNG, 5000, &result);
  Line("sent=" + std::to_string(ok && result ? 1 : 0));
  return ok && result ? 0 : 1;
}

// The gradient alone, on a cleared canvas: every row's colour at the left
// edge, whether each row is one colour, and what the fill left untouched.
int Gradient(int w, int h, bool hot) {
  Canvas canvas(w, h);
  if (!canvas.pixels) return 2;
  for (int i = 0; i < w * h; ++i) canvas.pixels[i] = 0x123456;
  const bool filled = qb::FillGradient(canvas.dc, w, h, hot);
  ::GdiFlush();
  std::string rows;
  bool uniform = true;
  for (int y = 0; y < h; ++y) {
    rows += (y ? "," : "") + HexColour(canvas.At(0, y));
    for (int x = 1; x < w - 1; ++x) uniform = uniform && canvas.At(x, y) == canvas.At(0, y);
  }
  Line("filled=" + std::to_string(filled ? 1 : 0));
  Line("rows=" + rows);
  Line("rows_uniform=" + std::to_string(uniform ? 1 : 0));
  Line("last_column=" + HexColour(canvas.At(w - 1, 0)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "run" && argc >= 4) {
    int skip = 0;
    if (argc >= 6 && std::strcmp(argv[4], "--no-init") == 0) skip = std::atoi(argv[5]);
    return Run(std::atoi(argv[2]), std::atoi(argv[3]), skip);
  }
  if (mode == "send" && argc >= 3) {
    std::string words;
    for (int i = 2; i < argc; ++i) words += (i > 2 ? " " : "") + std::string(argv[i]);
    return Send(words);
  }
  if (mode == "gradient" && argc >= 5) {
    return Gradient(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]) != 0);
  }
  std::fprintf(stderr, "usage: command_host run X Y [--no-init N] | send WORDS | gradient W H HOT\n");
  return 64;
}
