// Milliseconds per frame of the presentation on one core, at 1920 x 1080
// and at 3840 x 2160 with the look each gets: the simulation step, the
// trail fade and the glows, without the copy to the screen. The counters
// say what there was to copy: the changed share of the screen, and in how
// many rectangles. 4K should cost about four times 1080p (the same work per
// screen area), and 1080p well under a millisecond.
//
// BM_Light shows the same shows (seeds) at both sizes for 21 s and counts
// the pixels whose brightest channel is above 160, per megapixel, in shots
// 1.5 s apart: 4K should show 0.8 to 1.5 times the light of 1080p.
//
// Run: glow_benchmark [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "frame_schedule.h"
#include "glow/presentation.h"

namespace {

constexpr double kFrameSeconds = 1.0 / qb::kMaxFrameRate;

void BM_Frame(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
  const qb::glow::FrameView frame{pixels.data(), width, height, width};
  qb::glow::Presentation show(width, height, 7, qb::glow::LookFor(width, height, height));
  // Trails at their steady state before timing.
  for (int i = 0; i < 150; ++i) show.Advance(kFrameSeconds, frame);
  double changed = 0, rects = 0;
  for (auto _ : state) {
    show.Advance(kFrameSeconds, frame);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
    for (const qb::PixelRect& r : show.Changed()) changed += static_cast<double>(r.width) * r.height;
    rects += static_cast<double>(show.Changed().size());
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["points"] = static_cast<double>(show.Sim().Points().size());
  state.counters["changed_share"] = changed / frames / (static_cast<double>(width) * height);
  state.counters["rects"] = rects / frames;
}
BENCHMARK(BM_Frame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Median bright pixels per megapixel of one show, over shots 1.5 s apart.
double MedianLight(int width, int height, uint64_t seed) {
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
  const qb::glow::FrameView frame{pixels.data(), width, height, width};
  qb::glow::Presentation show(width, height, seed, qb::glow::LookFor(width, height, height));
  std::vector<double> shots;
  for (int i = 1; i <= 21 * qb::kMaxFrameRate; ++i) {
    show.Advance(kFrameSeconds, frame);
    if (i % (3 * qb::kMaxFrameRate / 2) != 0) continue;
    int bright = 0;
    for (uint32_t p : pixels) {
      bright += std::max({qb::glow::RedOf(p), qb::glow::GreenOf(p), qb::glow::BlueOf(p)}) > 160;
    }
    shots.push_back(bright / (static_cast<double>(width) * height / 1e6));
  }
  std::sort(shots.begin(), shots.end());
  return shots[shots.size() / 2];
}

void BM_Light(benchmark::State& state) {
  double hd = 0, uhd = 0;
  for (auto _ : state) {
    for (uint64_t seed = 1; seed <= 5; ++seed) {
      hd += MedianLight(1920, 1080, seed) / 5;
      uhd += MedianLight(3840, 2160, seed) / 5;
    }
  }
  state.counters["1080p_per_mp"] = hd;
  state.counters["4k_per_mp"] = uhd;
  state.counters["4k_over_1080p"] = uhd / hd;
}
BENCHMARK(BM_Light)->Iterations(1)->Unit(benchmark::kSecond);

// The parts on their own, to see where a frame's time goes.
void BM_FadeFullFrame(benchmark::State& state) {
  constexpr int kWidth = 1920, kHeight = 1080;
  std::vector<uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight, 0x00806040);
  const qb::glow::FrameView frame{pixels.data(), kWidth, kHeight, kWidth};
  for (auto _ : state) {
    qb::glow::FadeFrame(frame, 250);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FadeFullFrame)->Unit(benchmark::kMillisecond);

void BM_Step(benchmark::State& state) {
  qb::glow::Simulation simulation(1920, 1080, static_cast<int>(state.range(0)), 7);
  for (auto _ : state) {
    simulation.Step(kFrameSeconds);
    benchmark::DoNotOptimize(simulation.Points().data());
  }
}
BENCHMARK(BM_Step)->Arg(700)->Arg(2800)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
