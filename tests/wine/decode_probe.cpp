// The presentation's music, seen from outside:
//   decode_probe.exe wav|mp3 PATH   decodes a file as the presentation does
//     and reports the time it took and the music's length;
//   decode_probe.exe shots COUNT MS  prints tick0 (GetTickCount64) at once,
//     then COUNT lines "shot=TICK MEAN" MS apart: the screen's mean
//     brightness (0..1) on the saver's clock.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "music_decoders.h"

namespace {

int Shots(int count, DWORD intervalMs) {
  std::printf("tick0=%llu\n", static_cast<unsigned long long>(::GetTickCount64()));
  std::fflush(stdout);
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return 3;
  ::SelectObject(memory, dib);
  const ULONGLONG start = ::GetTickCount64();
  for (int i = 0; i < count; ++i) {
    while (::GetTickCount64() < start + static_cast<ULONGLONG>(i) * intervalMs) ::Sleep(5);
    const ULONGLONG at = ::GetTickCount64();
    ::BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    unsigned long long sum = 0;
    const auto* p = static_cast<const unsigned char*>(bits);
    for (long long j = 0; j < 4LL * w * h; j += 4) sum += p[j] + p[j + 1] + p[j + 2];
    std::printf("shot=%llu %.6f\n", static_cast<unsigned long long>(at), sum / (3.0 * 255.0 * w * h));
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"shots") return Shots(_wtoi(argv[2]), static_cast<DWORD>(_wtoi(argv[3])));
  if (argc != 3) return 2;
  const std::wstring path = argv[2];
  std::atomic<bool> cancel{false};
  const ULONGLONG start = ::GetTickCount64();
  const auto envelope = qb::DecodeEnvelope(std::u16string(path.begin(), path.end()),
                                           argv[1][0] == L'm' ? qb::BlockMusicKind::Mp3 : qb::BlockMusicKind::Wav, cancel);
  std::printf("decode_ms=%llu\ndecoded=%d\n", static_cast<unsigned long long>(::GetTickCount64() - start), envelope ? 1 : 0);
  if (!envelope) return 1;
  std::printf("seconds=%.3f\n", envelope->seconds);
  return 0;
}
