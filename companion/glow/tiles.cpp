#include "glow/tiles.h"

#include <algorithm>

namespace qb::glow {
namespace {

// Right and bottom exclusive; in tile units, or pixels where said.
struct Block {
  int left, top, right, bottom;
  long long Tiles() const { return static_cast<long long>(right - left) * (bottom - top); }
};

Block Union(const Block& a, const Block& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// A rectangle given as position and size, cut to a frame of width x height,
// as pixel edges (right and bottom exclusive); empty when nothing is left.
Block Clipped(int left, int top, int width, int height, int frameWidth, int frameHeight) {
  return {std::max(left, 0), std::max(top, 0), std::min(left + width, frameWidth), std::min(top + height, frameHeight)};
}

}  // namespace

TileGrid::TileGrid(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      across_((width_ + kTileWidth - 1) / kTileWidth),
      down_((height_ + kTileHeight - 1) / kTileHeight),
      flags_(static_cast<std::size_t>(across_) * down_, 0) {}

void TileGrid::Fill(bool on) { std::fill(flags_.begin(), flags_.end(), on ? 1 : 0); }

void TileGrid::Mark(int left, int top, int width, int height) {
  const Block p = Clipped(left, top, width, height, width_, height_);
  if (p.left >= p.right || p.top >= p.bottom) return;
  for (int ty = p.top / kTileHeight; ty <= (p.bottom - 1) / kTileHeight; ++ty) {
    uint8_t* row = &flags_[Index(0, ty)];
    std::fill(row + p.left / kTileWidth, row + (p.right - 1) / kTileWidth + 1, 1);
  }
}

void TileGrid::Cover(int firstRow, int endRow, int copyCost, std::vector<PixelRect>& rects) const {
  const long long tileArea = static_cast<long long>(kTileWidth) * kTileHeight;
  // A gap of this many tiles, or less, costs less to copy than to skip.
  const int bridge = static_cast<int>(std::max<long long>(0, (copyCost - 1) / tileArea));
  std::vector<Block> done, open, next, runs;
  std::vector<bool> taken;
  for (int ty = std::max(firstRow, 0); ty < std::min(endRow, down_); ++ty) {
    runs.clear();
    for (int tx = 0; tx < across_; ++tx) {
      if (!At(tx, ty)) continue;
      if (!runs.empty() && tx - runs.back().right <= bridge) {
        runs.back().right = tx + 1;
      } else {
        runs.push_back({tx, ty, tx + 1, ty + 1});
      }
    }
    // Each run grows the open block above it that it wastes least on, when
    // that waste costs less than a copy of its own; runs and blocks are both
    // in left-to-right order, so the search window only moves right.
    next.clear();
    std::size_t from = 0;
    taken.assign(open.size(), false);
    for (const Block& run : runs) {
      while (from < open.size() && open[from].right + bridge < run.left) ++from;
      int best = -1;
      long long bestWaste = 0;
      for (std::size_t i = from; i < open.size() && open[i].left <= run.right + bridge; ++i) {
        if (taken[i]) continue;
        const long long waste = (Union(open[i], run).Tiles() - open[i].Tiles() - run.Tiles()) * tileArea;
        if (waste < copyCost && (best < 0 || waste < bestWaste)) {
          best = static_cast<int>(i);
          bestWaste = waste;
        }
      }
      if (best < 0) {
        next.push_back(run);
      } else {
        taken[static_cast<std::size_t>(best)] = true;
        next.push_back(Union(open[static_cast<std::size_t>(best)], run));
      }
    }
    // A block that nothing joined stays open while the rows below it that
    // a later run would bring in still cost less than a copy.
    for (std::size_t i = 0; i < open.size(); ++i) {
      if (taken[i]) continue;
      const Block& b = open[i];
      const long long gap = static_cast<long long>(ty + 1 - b.bottom) * (b.right - b.left) * tileArea;
      (gap < copyCost ? next : done).push_back(b);
    }
    std::sort(next.begin(), next.end(), [](const Block& a, const Block& b) { return a.left < b.left; });
    open.swap(next);
  }
  done.insert(done.end(), open.begin(), open.end());

  for (const Block& b : done) {
    const int x = b.left * kTileWidth;
    const int y = b.top * kTileHeight;
    rects.push_back({x, y, std::min(b.right * kTileWidth, width_) - x, std::min(b.bottom * kTileHeight, height_) - y});
  }
}

LitCells::LitCells(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      cells_((width_ + kCellWidth - 1) / kCellWidth),
      words_((cells_ + 63) / 64),
      bits_(static_cast<std::size_t>(words_) * height_, 0) {}

void LitCells::Fill() { Mark(0, 0, width_, height_); }

void LitCells::Mark(int left, int top, int width, int height) {
  const Block p = Clipped(left, top, width, height, width_, height_);
  if (p.left >= p.right || p.top >= p.bottom) return;
  const int first = p.left / kCellWidth;
  const int last = (p.right - 1) / kCellWidth;
  for (int y = p.top; y < p.bottom; ++y) {
    uint64_t* words = &bits_[static_cast<std::size_t>(y) * words_];
    for (int c = first; c <= last; ++c) words[c / 64] |= uint64_t{1} << (c % 64);
  }
}

int LitCells::LowestBit(uint64_t v) {
#if defined(__GNUC__)
  return __builtin_ctzll(v);
#else
  int n = 0;
  while (!(v & 1)) v >>= 1, ++n;
  return n;
#endif
}

}  // namespace qb::glow
