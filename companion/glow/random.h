// SplitMix64: tiny, fast, and the same sequence on every compiler, which the
// standard distributions do not promise.
#pragma once

#include <cstdint>

namespace qb::glow {

class Random {
 public:
  explicit Random(uint64_t seed = 0) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform in [0, 1).
  float Unit() { return static_cast<float>(Next() >> 40) * (1.0f / 16777216.0f); }
  float Range(float low, float high) { return low + (high - low) * Unit(); }

 private:
  uint64_t state_;
};

}  // namespace qb::glow
