// Decodes a music file as the presentation does and reports the loudness of
// each second, how long it took, and the music's length:
//   decode_probe.exe wav|mp3 PATH
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "music_decoders.h"

int wmain(int argc, wchar_t** argv) {
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
