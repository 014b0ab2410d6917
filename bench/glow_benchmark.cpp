// Milliseconds per frame of the presentation on one core, at 1920 x 1080
// and at 3840 x 2160 with the look each gets: the simulation step, the
// trail fade and the glows, without the copy to the screen. The counters
// say what there was to copy: the changed share of the screen, and in how
// many rectangles. 4K should cost about four times 1080p (the same work per
// screen area), and 1080p well under a millisecond.
//
// Run: glow_benchmark [--benchmark_filter=...]
#include <benchmark/benchmark.h>

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
