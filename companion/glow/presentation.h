// The whole picture: the simulation drawn as glows over the fading trails
// of the frames before, and what changed from one frame to the next.
#pragma once

#include <cstdint>
#include <vector>

#include "glow/frame.h"
#include "glow/music_light.h"
#include "glow/simulation.h"
#include "glow/sprite.h"
#include "glow/tiles.h"
#include "platform/pixel_rect.h"

namespace qb::glow {

// How the show looks on a frame of some size.
struct Look {
  int points = 0;
  float screenHeight = 1080;  // pixels: the scale of the motion
  float glowScale = 1;        // glow size, as a factor on the sizes of kSigmas
  float exposure = 1;         // light each point leaves, as a factor
};

// The look for a frame of width x height over screens `screenHeight`
// pixels high (the frame may span several). Every screen shows the same
// picture: the same number of lights across its width, moving at the same
// pace across it, and the same light per screen area; a screen of more
// lines shows it at a finer grain, each light smaller on the screen.
Look LookFor(int width, int height, int screenHeight);

// One monitor's part of the frame, and the show's look there.
struct Screen {
  PixelRect area;
  Look look;
};

// The screens of a frame of width x height that shows `monitors`, given in
// the frame's pixels: each shows what a screen of its size alone would, at
// the grain of its shorter side, so that a monitor turned upright shows what
// it shows lying down. With no monitor in the frame, the frame is one screen.
std::vector<Screen> ScreensFor(int width, int height, const std::vector<PixelRect>& monitors);

// Takes the parts of a frame that changed as each is finished, while its
// pixels are still at hand in the processor's cache.
class AreaSink {
 public:
  virtual void Show(const PixelRect& area) = 0;

 protected:
  ~AreaSink() = default;
};

class Presentation {
 public:
  // Each screen shows its own look; a light keeps the look of the screen it
  // is over.
  Presentation(int width, int height, uint64_t seed, const std::vector<Screen>& screens);
  Presentation(int width, int height, uint64_t seed, const Look& look)
      : Presentation(width, height, seed, {{PixelRect{0, 0, width, height}, look}}) {}

  // Moves the show on by `seconds` and draws it into `frame`, which holds
  // the previous frame, and has the size given at construction; tells
  // `sink`, if any, of each changed part as soon as it is drawn.
  void Advance(double seconds, const FrameView& frame, AreaSink* sink = nullptr);

  // The music's look for the frames from now on.
  void SetMusic(const MusicLook& look) { music_ = look; }

  // Rectangles that cover every pixel the last Advance changed.
  const std::vector<PixelRect>& Changed() const { return changed_; }

  const Simulation& Sim() const { return simulation_; }

  // How much of a trail survives `seconds`, as a FadePixels factor.
  static uint32_t FadeFactor(double seconds);

  // What one copy to the screen costs besides its pixels, in pixels: what
  // the changed tiles are merged against. One BitBlt to a window costs about
  // as much as copying 4,000 pixels (3 us against 0.6 ns a pixel, measured
  // under Wine).
  static constexpr int kCopyCost = 4096;

 private:
  // A glow to draw this frame.
  struct Stamp {
    float x, y;
    uint32_t colour;
    uint32_t sprite;
  };

  void CollectStamps(double seconds, int height);
  void FadeBand(const FrameView& frame, int band, uint32_t factor);
  void DrawBand(const FrameView& frame, int band);

  Simulation simulation_;
  // Per screen: its exposure, and where its kSizes sprites start in sprites_.
  std::vector<float> exposures_;
  std::vector<uint32_t> firstSprites_;
  std::vector<GlowSprite> sprites_;
  // Most of the screen is dark: only what something was drawn into since it
  // last faded to black is faded again.
  LitCells lit_;
  // What changed this frame, for the copy to the screen.
  TileGrid touched_;
  std::vector<PixelRect> changed_;
  // This frame's glows by the band of tiles their centres lie in: band b's
  // are stamps_[bandStarts_[b] .. bandStarts_[b + 1]).
  std::vector<Stamp> stamps_, unsorted_;
  std::vector<uint32_t> bandStarts_, cursor_;
  int reach_ = 0;       // bands a glow reaches up or down from its centre's
  double unfaded_ = 0;  // seconds of trail fade owed to the frame
  MusicLook music_;
};

}  // namespace qb::glow
