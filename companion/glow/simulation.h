// The points of light and the slow "mood" that steers them: where they
// drift, their colours, how many show. Time-driven, not frame-driven, so
// the show moves at the same pace at any frame rate.
#pragma once

#include <cstdint>
#include <vector>

#include "glow/random.h"
#include "platform/pixel_rect.h"

namespace qb::glow {

// What changes over minutes. A pure function of the show's clock.
struct Mood {
  float baseHue;         // degrees, wraps
  float hueSpread;       // degrees either side of baseHue
  float saturation;      // 0..1
  float activeFraction;  // share of the points that show
  float swirl;           // spatial frequency of the flow, per screen height
  float speed;           // screen heights per second
};

Mood MoodAt(double seconds);

struct Point {
  float x = 0, y = 0;          // pixels
  float fromX = 0, fromY = 0;  // where the last step moved it from
  float age = 0, life = 1;
  float hueOffset = 0;  // -1..1, in units of the mood's spread
  bool accent = false;  // one of the few in the opposite colour
  float speed = 1;      // own factor on the mood's speed
  float heading = 0;    // own turn from the flow, radians
  float brightness = 1;
  float twinklePhase = 0, twinkleRate = 1;
  uint8_t size = 0;        // index into the presentation's sprites
  uint16_t home = 0;       // the region it is born in
  uint16_t over = 0;       // the region it is over now
  uint32_t generation = 0;  // times this point was born again
  Random random;            // one stream per point: births do not depend on frame order
};

// A part of the field that one screen shows: `points` are born in it, and
// move at its pace while they are over it.
struct Region {
  PixelRect area;          // within the field
  int points = 0;
  float screenHeight = 0;  // pixels: the scale of the motion
};

class Simulation {
 public:
  static constexpr int kSizes = 3;

  // `count` points on a width x height field, moving across screens
  // `screenHeight` pixels high (the field's height unless given); the same
  // seed gives the same show.
  Simulation(int width, int height, int count, uint64_t seed, float screenHeight = 0);
  // Points in each of `regions`, which lie within the field. A point that
  // drifts off every region and its margin is born again in its own.
  Simulation(int width, int height, const std::vector<Region>& regions, uint64_t seed);

  // Moves the clock on by `seconds` (a long stall counts as a short step).
  void Step(double seconds);

  const std::vector<Point>& Points() const { return points_; }
  double Clock() const { return clock_; }
  // Seconds since the show started (the clock starts at a seed-chosen time).
  double Elapsed() const { return elapsed_; }
  const Mood& CurrentMood() const { return mood_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // 0..1: how visible point `index` is right now (life envelope, twinkle,
  // the mood's density, the start-up fade-in).
  float Visibility(std::size_t index) const;

  // Colour of point `index` at full brightness, 0x00RRGGBB.
  uint32_t ColourOf(std::size_t index) const;

 private:
  struct Zone {
    float left, top, right, bottom;  // the region's area
    float margin;                    // how far off it a point may stray
    float screenHeight;
    uint32_t first, count;           // its points: points_[first, first + count)
  };

  void Spawn(Point& p, bool anywhereInLife);
  // The region point `p` is over, or -1 when it is off every one.
  int ZoneOf(const Point& p) const;

  int width_, height_;
  std::vector<Zone> zones_;
  double clock_;
  double elapsed_ = 0;
  Mood mood_;
  std::vector<Point> points_;
};

// Hue in degrees (any value), saturation and value 0..1.
uint32_t HsvToRgb(float hue, float saturation, float value);

}  // namespace qb::glow
