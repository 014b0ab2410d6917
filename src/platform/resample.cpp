#include "platform/resample.h"

#include <algorithm>
#include <cstddef>

namespace qb {
namespace {

struct Tap {
  int32_t index;
  float weight;
};

// For each of `to` pixels, the `from` pixels its span covers and their shares.
std::vector<std::vector<Tap>> Taps(int32_t from, int32_t to) {
  std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
  const double scale = static_cast<double>(from) / to;
  for (int32_t i = 0; i < to; ++i) {
    const double begin = i * scale;
    const double end = (i + 1) * scale;
    for (int32_t s = static_cast<int32_t>(begin); s < from && s < end; ++s) {
      const double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
      if (covered > 0) taps[static_cast<size_t>(i)].push_back({s, static_cast<float>(covered / scale)});
    }
  }
  return taps;
}

// No picture of the program comes near 4096 x 4096; a size beyond that
// is a fault, and refused before any product of sizes could wrap.
constexpr uint64_t kLargestArea = uint64_t{1} << 24;

bool AreaFits(int32_t width, int32_t height) {
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kLargestArea;
}

}  // namespace

std::vector<uint32_t> ResampleArea(const uint32_t* source, int32_t sourceWidth, int32_t sourceHeight,
                                   int32_t width, int32_t height) {
  if (!source || sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0) return {};
  if (!AreaFits(sourceWidth, sourceHeight) || !AreaFits(width, height) || !AreaFits(width, sourceHeight)) return {};
  const auto columns = Taps(sourceWidth, width);
  const auto rows = Taps(sourceHeight, height);
  // Across first, into four float channels per pixel; then down.
  std::vector<float> across(static_cast<size_t>(sourceHeight) * width * 4, 0.0f);
  for (int32_t y = 0; y < sourceHeight; ++y) {
    const uint32_t* line = source + static_cast<size_t>(y) * sourceWidth;
    float* out = &across[static_cast<size_t>(y) * width * 4];
    for (int32_t x = 0; x < width; ++x) {
      for (const Tap& tap : columns[static_cast<size_t>(x)]) {
        const uint32_t p = line[tap.index];
        for (int c = 0; c < 4; ++c) out[x * 4 + c] += tap.weight * static_cast<float>((p >> (8 * c)) & 0xFF);
      }
    }
  }
  std::vector<uint32_t> result(static_cast<size_t>(width) * height, 0);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      float sum[4] = {};
      for (const Tap& tap : rows[static_cast<size_t>(y)]) {
        const float* in = &across[(static_cast<size_t>(tap.index) * width + x) * 4];
        for (int c = 0; c < 4; ++c) sum[c] += tap.weight * in[c];
      }
      uint32_t p = 0;
      for (int c = 0; c < 4; ++c) {
        const int32_t v = std::clamp(static_cast<int32_t>(sum[c] + 0.5f), 0, 255);
        p |= static_cast<uint32_t>(v) << (8 * c);
      }
      result[static_cast<size_t>(y) * width + x] = p;
    }
  }
  return result;
}

}  // namespace qb
