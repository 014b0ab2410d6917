// The frame as a grid of small tiles, each flagged or not: where there is
// light to fade, and what changed since the last frame. The changed tiles
// become the few rectangles that are copied to the screen.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pixel_rect.h"

namespace qb::glow {

class TileGrid {
 public:
  // One tile row is half a cache line per pixel row: small enough that the
  // dark between lights is rarely flagged, large enough to cost little.
  static constexpr int kTileWidth = 16;
  static constexpr int kTileHeight = 8;

  TileGrid(int width, int height);

  int Across() const { return across_; }
  int Down() const { return down_; }
  bool At(int tx, int ty) const { return flags_[Index(tx, ty)] != 0; }
  void Set(int tx, int ty, bool on) { flags_[Index(tx, ty)] = on ? 1 : 0; }
  void Fill(bool on);
  // Flags the tiles a pixel rectangle touches, as far as it lies in the frame.
  void Mark(int left, int top, int width, int height);

  // Appends rectangles, within the frame, that together cover every flagged
  // tile in the rows of tiles [firstRow, endRow). Neighbours merge when the
  // pixels that adds cost less than another copy would: `copyCost` is what
  // one copy costs beyond its pixels, in pixels.
  void Cover(int firstRow, int endRow, int copyCost, std::vector<PixelRect>& rects) const;

 private:
  std::size_t Index(int tx, int ty) const { return static_cast<std::size_t>(ty) * across_ + tx; }

  int width_, height_;
  int across_, down_;
  std::vector<uint8_t> flags_;
};

// Where each pixel row holds light, a tile's width (one cache line) at a
// time: finer than tiles, so that fading touches little more than the light.
class LitCells {
 public:
  static constexpr int kCellWidth = TileGrid::kTileWidth;

  LitCells(int width, int height);

  // Every cell lit.
  void Fill();
  // Lights the cells a pixel rectangle touches, as far as it lies in the
  // frame.
  void Mark(int left, int top, int width, int height);

  // Calls visit(cell) for each lit cell of pixel row y, left to right; the
  // cell stays lit when it returns true.
  template <typename Visit>
  void Sweep(int y, Visit visit) {
    uint64_t* words = &bits_[static_cast<std::size_t>(y) * words_];
    for (int w = 0; w < words_; ++w) {
      uint64_t left = words[w];
      while (left) {
        const int bit = LowestBit(left);
        left &= left - 1;
        if (!visit(w * 64 + bit)) words[w] &= ~(uint64_t{1} << bit);
      }
    }
  }

 private:
  static int LowestBit(uint64_t v);

  int width_, height_;
  int cells_, words_;
  std::vector<uint64_t> bits_;  // per row, a bit per cell
};

}  // namespace qb::glow
