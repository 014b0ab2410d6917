// The whole picture: the simulation drawn as glows over the fading trails
// of the frames before.
#pragma once

#include <cstdint>
#include <vector>

#include "glow/frame.h"
#include "glow/simulation.h"
#include "glow/sprite.h"

namespace qb::glow {

class Presentation {
 public:
  // pointCount < 0: as many as suit the size (PointCountFor).
  Presentation(int width, int height, uint64_t seed, int pointCount = -1);

  // Moves the show on by `seconds` and draws it into `frame`, which holds
  // the previous frame, and has the size given at construction.
  void Advance(double seconds, const FrameView& frame);

  const Simulation& Sim() const { return simulation_; }

  // How much of a trail survives `seconds`, as a FadeFrame factor.
  static uint32_t FadeFactor(double seconds);

 private:
  static constexpr int kTileWidth = 32;
  static constexpr int kTileHeight = 8;

  void FadeLitTiles(const FrameView& frame, uint32_t factor);
  void MarkLit(int left, int top, int size);

  Simulation simulation_;
  std::vector<GlowSprite> sprites_;
  // Most of the screen is dark: only tiles that something was drawn into
  // since they last faded to black are faded again.
  int tilesAcross_, tilesDown_;
  std::vector<uint8_t> lit_;
  double unfaded_ = 0;  // seconds of trail fade owed to the frame
};

}  // namespace qb::glow
