#include "glow/simulation.h"

#include <algorithm>
#include <cmath>

namespace qb::glow {
namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr double kMaxStep = 0.1;
constexpr float kFadeIn = 0.8f;   // seconds at the start of a life
constexpr float kFadeOut = 1.5f;  // seconds at its end
constexpr float kStartFade = 1.5f;

// 0.5 + 0.5 sin: a slow wave between 0 and 1.
float Wave(double seconds, double period, double phase) {
  return 0.5f + 0.5f * static_cast<float>(std::sin(seconds * (2 * 3.14159265358979) / period + phase));
}

// sin(x) to about 1e-3, in plain arithmetic: several calls per point per
// frame, and the C library's version costs a hundred cycles or more on
// 32-bit Windows (x87 fsin).
float Sine(float x) {
  constexpr float kPi = 3.14159265f;
  x -= kTwoPi * std::floor(x * (1.0f / kTwoPi) + 0.5f);  // into [-pi, pi]
  const float y = (4.0f / kPi) * x - (4.0f / (kPi * kPi)) * x * std::fabs(x);
  return 0.225f * (y * std::fabs(y) - y) + y;
}

float Cosine(float x) { return Sine(x + 1.57079633f); }

float SmoothStep(float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

}  // namespace

Mood MoodAt(double s) {
  Mood m;
  // Periods are pairwise unrelated, so the combination does not repeat for
  // hours.
  m.baseHue = static_cast<float>(std::fmod(s * (360.0 / 260.0), 360.0)) + 60.0f * (Wave(s, 97, 0) - 0.5f);
  // Never one colour: at its narrowest the palette still spans 80 degrees.
  m.hueSpread = 40.0f + 80.0f * Wave(s, 173, 1.0);
  m.saturation = 0.55f + 0.4f * Wave(s, 131, 2.0);
  m.activeFraction = 0.45f + 0.55f * Wave(s, 211, 0.5);
  m.swirl = 1.0f + 2.2f * Wave(s, 151, 4.0);
  m.speed = 0.035f + 0.045f * Wave(s, 89, 3.0);
  return m;
}

uint32_t HsvToRgb(float hue, float saturation, float value) {
  hue = std::fmod(hue, 360.0f);
  if (hue < 0) hue += 360.0f;
  const float h = hue / 60.0f;
  const int sector = std::min(static_cast<int>(h), 5);
  const float f = h - static_cast<float>(sector);
  const float p = value * (1 - saturation);
  const float q = value * (1 - saturation * f);
  const float t = value * (1 - saturation * (1 - f));
  float r, g, b;
  switch (sector) {
    case 0: r = value; g = t; b = p; break;
    case 1: r = q; g = value; b = p; break;
    case 2: r = p; g = value; b = t; break;
    case 3: r = p; g = q; b = value; break;
    case 4: r = t; g = p; b = value; break;
    default: r = value; g = p; b = q; break;
  }
  // Rounded by hand: lround is a library call, three per point per frame.
  auto byte = [](float c) { return static_cast<uint32_t>(std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f); };
  return (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

Simulation::Simulation(int width, int height, int count, uint64_t seed, float screenHeight)
    : Simulation(width, height, {{PixelRect{0, 0, width, height}, count, screenHeight}}, seed) {}

Simulation::Simulation(int width, int height, const std::vector<Region>& regions, uint64_t seed)
    : width_(width), height_(height) {
  uint32_t total = 0;
  for (const Region& region : regions) {
    const PixelRect& a = region.area;
    const float screenHeight = region.screenHeight > 0 ? region.screenHeight : static_cast<float>(std::max(a.height, 1));
    const uint32_t count = static_cast<uint32_t>(std::max(region.points, 0));
    zones_.push_back({static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(a.x + a.width),
                      static_cast<float>(a.y + a.height), 0.03f * screenHeight, screenHeight, total, count});
    total += count;
  }
  Random start(seed);
  // Each show begins somewhere else in the mood's cycles.
  clock_ = 1000.0 * start.Unit();
  mood_ = MoodAt(clock_);
  points_.resize(total);
  for (std::size_t z = 0; z < zones_.size(); ++z) {
    for (uint32_t i = zones_[z].first; i < zones_[z].first + zones_[z].count; ++i) {
      points_[i].random = Random(seed ^ (0xA0761D6478BD642Full * (i + 1)));
      points_[i].home = static_cast<uint16_t>(z);
      Spawn(points_[i], true);
    }
  }
}

void Simulation::Spawn(Point& p, bool anywhereInLife) {
  Random& r = p.random;
  const Zone& home = zones_[p.home];
  p.x = home.left + r.Range(0, home.right - home.left);
  p.y = home.top + r.Range(0, home.bottom - home.top);
  p.over = p.home;
  p.fromX = p.x;
  p.fromY = p.y;
  p.life = r.Range(4.0f, 12.0f);
  p.age = anywhereInLife ? r.Range(0, p.life) : 0.0f;
  p.hueOffset = r.Range(-1, 1);
  p.accent = r.Unit() < 0.15f;
  p.speed = r.Range(0.5f, 1.5f);
  p.heading = r.Range(-0.7f, 0.7f);
  p.brightness = r.Range(0.45f, 1.0f);
  p.twinklePhase = r.Range(0, kTwoPi);
  p.twinkleRate = r.Range(0.8f, 3.5f);
  const float s = r.Unit();
  p.size = s < 0.7f ? 0 : s < 0.95f ? 1 : 2;
}

int Simulation::ZoneOf(const Point& p) const {
  // Mostly still over the region of the last step; over a region proper
  // before over another's margin.
  auto within = [&](const Zone& z, float margin) {
    return p.x >= z.left - margin && p.x < z.right + margin && p.y >= z.top - margin && p.y < z.bottom + margin;
  };
  if (within(zones_[p.over], 0)) return p.over;
  for (std::size_t z = 0; z < zones_.size(); ++z) {
    if (within(zones_[z], 0)) return static_cast<int>(z);
  }
  if (within(zones_[p.over], zones_[p.over].margin)) return p.over;
  for (std::size_t z = 0; z < zones_.size(); ++z) {
    if (within(zones_[z], zones_[z].margin)) return static_cast<int>(z);
  }
  return -1;
}

void Simulation::Step(double seconds) {
  if (!(seconds > 0)) return;
  const double dt = std::min(seconds, kMaxStep);
  clock_ += dt;
  elapsed_ += dt;
  mood_ = MoodAt(clock_);
  const float fdt = static_cast<float>(dt);
  const float t = static_cast<float>(std::fmod(clock_, 10000.0));
  const float k = mood_.swirl;
  const float pace = mood_.speed * fdt;
  for (Point& p : points_) {
    p.age += fdt;
    if (p.age < p.life) {
      const Zone& zone = zones_[p.over];
      // A flow of a few travelling waves: neighbours move alike, so the
      // points form streams and eddies instead of a random walk. Each screen
      // has its own, in its own heights, at its own pace.
      const float unit = 1.0f / zone.screenHeight;
      const float u = (p.x - zone.left) * unit;
      const float v = (p.y - zone.top) * unit;
      const float angle = 2.0f * Sine(1.3f * k * u + 0.21f * t) + 1.7f * Sine(1.7f * k * v - 0.17f * t + 1.3f) +
                          1.3f * Sine(0.9f * k * (u + v) + 0.13f * t + 4.0f) + p.heading;
      const float way = p.speed * pace * zone.screenHeight;
      p.fromX = p.x;
      p.fromY = p.y;
      p.x += Cosine(angle) * way;
      p.y += Sine(angle) * way;
      // Light off every screen would be work no one sees.
      const int over = ZoneOf(p);
      if (over >= 0) {
        p.over = static_cast<uint16_t>(over);
        continue;
      }
    }
    Spawn(p, false);
    ++p.generation;
  }
}

float Simulation::Visibility(std::size_t index) const {
  const Point& p = points_[index];
  // The mood's share of each region's points shows.
  const Zone& home = zones_[p.home];
  const float n = static_cast<float>(home.count);
  const float rank = static_cast<float>(index - home.first);
  const float density = SmoothStep((mood_.activeFraction * n - rank) / (0.08f * n + 1));
  const float life = SmoothStep(p.age / kFadeIn) * SmoothStep((p.life - p.age) / kFadeOut);
  const float twinkle = 0.75f + 0.25f * Sine(p.twinklePhase + p.twinkleRate * static_cast<float>(elapsed_));
  const float start = SmoothStep(static_cast<float>(elapsed_) / kStartFade);
  return density * life * twinkle * start * p.brightness;
}

uint32_t Simulation::ColourOf(std::size_t index) const {
  const Point& p = points_[index];
  // A few points in the complementary colours keep even a narrow palette
  // from looking flat.
  const float hue = p.accent ? mood_.baseHue + 180.0f + 0.5f * p.hueOffset * mood_.hueSpread
                             : mood_.baseHue + p.hueOffset * mood_.hueSpread;
  return HsvToRgb(hue, mood_.saturation, 1.0f);
}

}  // namespace qb::glow
