// A rectangle in screen pixels, shaped like the platform's RECT.
#pragma once

#include <cstdint>

namespace qb {

struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool operator==(const ScreenRect& other) const {
    return left == other.left && top == other.top && right == other.right &&
           bottom == other.bottom;
  }
};

}  // namespace qb
