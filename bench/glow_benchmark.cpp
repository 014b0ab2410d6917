// Milliseconds per frame of the presentation at 1920 x 1080 on one core:
// the simulation step, the trail fade and the glows, without the blit.
// Target: 2000 points within 1.5 ms.
//
// Run: glow_benchmark [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "glow/presentation.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kFrameSeconds = 1.0 / 60.0;

void BM_Frame(benchmark::State& state) {
  std::vector<uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight, 0);
  const qb::glow::FrameView frame{pixels.data(), kWidth, kHeight, kWidth};
  qb::glow::Presentation show(kWidth, kHeight, 7, static_cast<int>(state.range(0)));
  // Trails at their steady state before timing.
  for (int i = 0; i < 120; ++i) show.Advance(kFrameSeconds, frame);
  for (auto _ : state) {
    show.Advance(kFrameSeconds, frame);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.counters["points"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_Frame)->Arg(500)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The parts on their own, to see where a frame's time goes.
void BM_Fade(benchmark::State& state) {
  std::vector<uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight, 0x00806040);
  const qb::glow::FrameView frame{pixels.data(), kWidth, kHeight, kWidth};
  for (auto _ : state) {
    qb::glow::FadeFrame(frame, 250);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Fade)->Unit(benchmark::kMillisecond);

void BM_Step(benchmark::State& state) {
  qb::glow::Simulation simulation(kWidth, kHeight, static_cast<int>(state.range(0)), 7);
  for (auto _ : state) {
    simulation.Step(kFrameSeconds);
    benchmark::DoNotOptimize(simulation.Points().data());
  }
}
BENCHMARK(BM_Step)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
