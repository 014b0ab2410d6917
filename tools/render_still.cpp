// Renders the preview still: the presentation as the display settings'
// preview monitor shows it, 152 x 112, written as a 24-bit bottom-up BMP.
// Deterministic for a seed.
//
// Usage: render_still OUT.bmp [SEED [SECONDS]]
//
// Drawn for its size: the presentation's own look shrunk this far would be
// hundreds of one-pixel specks, so the still gets a few dozen larger,
// softer lights, moving fast enough for their trails to show, as the
// presentation looks from afar. It is drawn at twice the size and averaged
// down, which softens the edges.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "glow/presentation.h"

namespace {

constexpr int kWidth = 152;
constexpr int kHeight = 112;
constexpr int kOversample = 2;
constexpr double kFrameSeconds = 1.0 / 30.0;

// The still's look, at its drawing size: the points move as on a screen
// three times as high, so that their trails are several pixels long.
qb::glow::Look StillLook() {
  qb::glow::Look look;
  look.points = 36;
  look.screenHeight = 3 * kHeight * kOversample;
  look.glowScale = 1.8f;
  look.exposure = 0.6f;
  return look;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// rgb: kWidth * kHeight pixels, top row first.
std::vector<uint8_t> EncodeBmp(const std::vector<uint32_t>& rgb) {
  const uint32_t rowBytes = (kWidth * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * kHeight;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 14 + 40 + imageBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, 14 + 40, 4);
  PutLe(out, 40, 4);
  PutLe(out, kWidth, 4);
  PutLe(out, kHeight, 4);  // positive: bottom-up
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);  // BI_RGB
  PutLe(out, imageBytes, 4);
  PutLe(out, 2835, 4);  // 72 dpi
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t p = rgb[static_cast<std::size_t>(y * kWidth + x)];
      out.push_back(static_cast<uint8_t>(qb::glow::BlueOf(p)));
      out.push_back(static_cast<uint8_t>(qb::glow::GreenOf(p)));
      out.push_back(static_cast<uint8_t>(qb::glow::RedOf(p)));
    }
    for (uint32_t pad = kWidth * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: render_still OUT.bmp [SEED [SECONDS]]\n");
    return 64;
  }
  const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20240601;
  const double seconds = argc > 3 ? std::strtod(argv[3], nullptr) : 8.0;

  const int bigWidth = kWidth * kOversample;
  const int bigHeight = kHeight * kOversample;
  std::vector<uint32_t> big(static_cast<std::size_t>(bigWidth) * bigHeight, 0);
  const qb::glow::FrameView frame{big.data(), bigWidth, bigHeight, bigWidth};
  qb::glow::Presentation show(bigWidth, bigHeight, seed, StillLook());
  for (double t = 0; t < seconds; t += kFrameSeconds) show.Advance(kFrameSeconds, frame);

  std::vector<uint32_t> small(static_cast<std::size_t>(kWidth) * kHeight);
  constexpr uint32_t kSamples = kOversample * kOversample;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      uint32_t r = 0, g = 0, b = 0;
      for (int j = 0; j < kOversample; ++j) {
        const uint32_t* row = frame.Row(y * kOversample + j) + x * kOversample;
        for (int i = 0; i < kOversample; ++i) {
          r += qb::glow::RedOf(row[i]);
          g += qb::glow::GreenOf(row[i]);
          b += qb::glow::BlueOf(row[i]);
        }
      }
      small[static_cast<std::size_t>(y * kWidth + x)] = qb::glow::PackRgb(r / kSamples, g / kSamples, b / kSamples);
    }
  }

  const std::vector<uint8_t> bmp = EncodeBmp(small);
  std::FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(bmp.data(), 1, bmp.size(), file) == bmp.size();
  if (std::fclose(file) != 0 || !written) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
