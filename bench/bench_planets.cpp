// Frame rate of the all-planets animation on the headless surface, against a plain copy of
// the 501 x 501 drawing area per frame measured in the same run, and heap allocations per frame.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "Planetensystem/Planetensystem.hpp"
#include "surface/headless.hpp"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// The replaced operators below pair malloc with free; GCC sees the free inlined next to a
// new-expression and takes it for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// One pass of the animation loop: the frame, the 1 ms pause (virtual here) and the Stop poll.
void BM_AllPlanetsFrame(benchmark::State& state) {
  headless::reset();
  planets::reset_module();
  planets::setup_tables(RADIUS, UMLAUFZEIT, FARBE);
  OPENWINDOW_MAIN();
  {
    planets::Run run;
    planets::prepare(run, RADIUS, UMLAUFZEIT, 1);
    const long before = g_allocations.load();
    for (auto _ : state) {
      planets::draw_frame(run, RADIUS, FARBE);
      TIME_SLEEP(1);
      benchmark::DoNotOptimize(BUTTON_GETEVENT(BUTTON_STOP));
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["allocs_per_frame"] = static_cast<double>(g_allocations.load() - before) / frames;
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    planets::finish(run);
  }
}
BENCHMARK(BM_AllPlanetsFrame);

// Reference: copy a 501 x 501 block of 32-bit pixels row by row within a 900 x 520 page.
void BM_AreaCopyReference(benchmark::State& state) {
  std::vector<std::uint32_t> from(900 * 520, 0x00FFFFFFu), to(900 * 520);
  for (auto _ : state) {
    for (int y = 10; y <= 510; ++y)
      std::memcpy(&to[static_cast<std::size_t>(y) * 900 + 390], &from[static_cast<std::size_t>(y) * 900 + 390],
                  501 * sizeof(std::uint32_t));
    benchmark::ClobberMemory();
  }
  state.counters["frames_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AreaCopyReference);

}  // namespace

BENCHMARK_MAIN();
