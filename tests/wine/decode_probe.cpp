// The presentation's music, seen from outside:
//   decode_probe.exe wav|mp3 PATH   decodes a file as the presentation does
//     and reports the loudness of each second, the time it took and the
//     music's length;
//   decode_probe.exe shots COUNT MS  prints tick0 (GetTickCount64) at once,
//     then COUNT lines "shot=TICK MEAN" MS apart: the mean brightness of
//     the screen (0..1, the mean of its channels), so that shots can be set
//     against the saver's clock.
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
  const qb::BlockMusicKind kind = argv[1][0] == L'm' ? qb::BlockMusicKind::Mp3 : qb::BlockMusicKind::Wav;
  const std::wstring path = argv[2];
  std::atomic<bool> cancel{false};
  const ULONGLONG start = ::GetTickCount64();
  const auto envelope = qb::DecodeEnvelope(std::u16string(path.begin(), path.end()), kind, cancel);
  std::printf("decode_ms=%llu\n", static_cast<unsigned long long>(::GetTickCount64() - start));
  std::printf("decoded=%d\n", envelope ? 1 : 0);
  if (!envelope) return 1;
  std::printf("seconds=%.3f\nvalues=%zu\n", envelope->seconds, envelope->levels.size());
  std::string perSecond;
  for (size_t s = 0; s * 100 < envelope->levels.size(); ++s) {
    unsigned sum = 0, n = 0;
    for (size_t i = s * 100; i < envelope->levels.size() && i < s * 100 + 100; ++i, ++n) sum += envelope->levels[i];
    perSecond += (s ? "," : "") + std::to_string(sum / n);
  }
  std::printf("levels=%s\n", perSecond.c_str());
  return 0;
}
