// The all-planets animation on the headless surface against references measured in the same run.
//
//   Loop:  one pass of the animation loop (frame, 1 ms pause, Stop poll) with the real clock,
//          against fill 501 x 501 + copy 500 x 500 + the same 1 ms pause; goal >= 0.85x the
//          reference's passes per second.
//   Frame: the drawing of one frame alone against fill + copy alone; goal <= 2x its time.
//          The year counter text and the nine discs are measured on their own as well, and so
//          are the clear and the star field copy.
//
// Run: bench/bench_planets. The summary after Google Benchmark's table gives the ratios from
// the median of each benchmark's repetitions; on a busy machine interleave repetitions:
//   bench/bench_planets --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "Planetensystem/Planetensystem.hpp"
#include "surface/bench_hook.hpp"
#include "surface/headless.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPageWidth = 900, kPageHeight = 520;
constexpr int kArea = 501;   // drawing area: 501 x 501 pixels at (390, 10)
constexpr int kField = 500;  // star field: 500 x 500 pixels

// Mean time per pass (ns) of a benchmark's runs.
struct Measure {
  std::vector<double> ns;  // kept runs
  double last_ns = 0;       // the latest run, kept or not
  double last() const { return last_ns; }
  // The median over repetitions: robust against a repetition slowed by other load.
  double median() const {
    if (ns.empty()) return 0;
    std::vector<double> v = ns;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  }
};

struct Results {
  Measure loop_ref, loop;
  Measure frame_ref, frame, text, discs, clear_put;
} g;

// Shortest run kept: the library's short trial runs that size the iteration count fall below.
constexpr double kKeptRunS = 0.5;

// Records the mean time per pass of a run begun at t0 with n passes, unless it was a trial run.
void record(Measure& m, Clock::time_point t0, benchmark::IterationCount n) {
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
  m.last_ns = ns / static_cast<double>(n);
  if (ns >= kKeptRunS * 1e9) m.ns.push_back(m.last_ns);
}

void passes_per_second(benchmark::State& state, double ns) { state.counters["passes_per_s"] = 1e9 / ns; }

// The all-planets view prepared as after a click on its list entry; `real` picks the clock.
// The frame handover is off: with it each frame would wait for the presenter's next pass, and
// these benchmarks measure the drawing and the loop's own work, not the presenter's pace.
struct AllPlanets {
  planets::Run run;
  explicit AllPlanets(bool real) {
    surf::bench::set_frame_handover(false);
    headless::reset();
    headless::use_real_clock(real);
    planets::setup_tables(RADIUS, UMLAUFZEIT, FARBE);
    OPENWINDOW_MAIN();
    planets::prepare(run, RADIUS, UMLAUFZEIT, 1);
  }
  ~AllPlanets() {
    planets::finish(run);
    headless::reset();
    surf::bench::set_frame_handover(true);
  }
  AllPlanets(const AllPlanets&) = delete;
  AllPlanets& operator=(const AllPlanets&) = delete;
};

// The reference's memory: a page of the window's size and a star field of the same size,
// with the reference work of one frame: fill the area, copy the field into it. The rows are
// filled with the C library's wide fill (a plain loop of 32-bit stores is not vectorised at
// the project's optimisation level and would flatter the frame) and copied with memcpy.
static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
struct FillCopy {
  std::vector<std::uint32_t> page = std::vector<std::uint32_t>(kPageWidth * kPageHeight, 0);
  std::vector<std::uint32_t> field = std::vector<std::uint32_t>(kField * kField, 0xFFFFFFu);

  void operator()() {
    const auto row = [&](int y) { return page.data() + static_cast<std::size_t>(y) * kPageWidth + 390; };
    for (int y = 10; y < 10 + kArea; ++y)
      std::wmemset(reinterpret_cast<wchar_t*>(row(y)), static_cast<wchar_t>(0xEEEEEE), kArea);
    for (int y = 0; y < kField; ++y)
      std::memcpy(row(10 + y), field.data() + static_cast<std::size_t>(y) * kField, kField * 4);
    benchmark::DoNotOptimize(page.data());
    benchmark::ClobberMemory();
  }
};

// ---- A whole pass with its pause (real clock) ----------------------------------------------

void BM_LoopReference(benchmark::State& state) {
  headless::reset();
  headless::use_real_clock(true);
  FillCopy work;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    work();
    TIME_SLEEP(1);
  }
  record(g.loop_ref, t0, state.iterations());
  passes_per_second(state, g.loop_ref.last());
  headless::reset();
}

void BM_AllPlanetsLoop(benchmark::State& state) {
  AllPlanets a(true);
  const auto t0 = Clock::now();
  for (auto _ : state) {
    planets::draw_frame(a.run, RADIUS, FARBE);
    TIME_SLEEP(1);
    benchmark::DoNotOptimize(BUTTON_GETEVENT(BUTTON_STOP));
  }
  record(g.loop, t0, state.iterations());
  passes_per_second(state, g.loop.last());
  if (g.loop_ref.last() > 0) state.counters["vs_reference"] = g.loop_ref.last() / g.loop.last();
}

// ---- The drawing of one frame, no pause -------------------------------------------------------

void BM_FrameReference(benchmark::State& state) {
  FillCopy work;
  const auto t0 = Clock::now();
  for (auto _ : state) work();
  record(g.frame_ref, t0, state.iterations());
}

void BM_AllPlanetsFrame(benchmark::State& state) {
  AllPlanets a(false);
  const auto t0 = Clock::now();
  for (auto _ : state) planets::draw_frame(a.run, RADIUS, FARBE);
  record(g.frame, t0, state.iterations());
  if (g.frame_ref.last() > 0) state.counters["x_reference"] = g.frame.last() / g.frame_ref.last();
}

// The first two steps of the frame: clear the area, copy the star field.
void BM_FrameClearAndField(benchmark::State& state) {
  AllPlanets a(false);
  const auto t0 = Clock::now();
  for (auto _ : state) {
    SCREEN_CLEAR();
    benchmark::DoNotOptimize(SCREEN_PUT(nullptr, a.run.put_x, a.run.put_y, a.run.stars));
  }
  record(g.clear_put, t0, state.iterations());
  if (g.frame_ref.last() > 0) state.counters["x_reference"] = g.clear_put.last() / g.frame_ref.last();
}

// The year counter: its text built from Earth's angle and drawn as in the frame.
void BM_FrameYearText(benchmark::State& state) {
  AllPlanets a(false);
  const Double step = a.run.step[planets::kEarth];
  Double angle = 0;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(SCREEN_DRAW_TEXT(nullptr, a.run.text_x, a.run.text_y, 4 | SCREEN_FLAG_FORE,
                                              planets::year_text(angle), 0));
    angle += step;
  }
  record(g.text, t0, state.iterations());
  if (g.frame_ref.last() > 0) state.counters["x_reference"] = g.text.last() / g.frame_ref.last();
}

// The nine filled discs at their orbit positions, advancing as in the frame.
void BM_FrameDiscs(benchmark::State& state) {
  AllPlanets a(false);
  planets::Run& r = a.run;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    for (Integer i = 0; i <= r.last; ++i) {
      const Double x = RADIUS[i] * std::cos(r.angle[i]);
      const Double y = RADIUS[i] * std::sin(r.angle[i]);
      SCREEN_CIRCLE(nullptr, static_cast<Single>(x), static_cast<Single>(y), static_cast<Single>(r.disc[i]),
                    static_cast<Integer>(FARBE[i]), 0, 0, SCREEN_FULL_CIRCLE, 1);
      r.angle[i] = r.angle[i] + r.step[i];
    }
  }
  record(g.discs, t0, state.iterations());
  if (g.frame_ref.last() > 0) state.counters["x_reference"] = g.discs.last() / g.frame_ref.last();
}

BENCHMARK(BM_LoopReference)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_AllPlanetsLoop)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FrameReference)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_AllPlanetsFrame)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_FrameClearAndField)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_FrameYearText)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_FrameDiscs)->UseRealTime()->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double loop_ref = g.loop_ref.median(), loop = g.loop.median();
  if (loop_ref > 0 && loop > 0)
    std::printf("loop with 1 ms pause: %.1f vs %.1f passes/s, %.3fx the reference (goal >= 0.85)\n", 1e9 / loop,
                1e9 / loop_ref, loop_ref / loop);
  const double frame_ref = g.frame_ref.median(), frame = g.frame.median();
  if (frame_ref > 0 && frame > 0) {
    std::printf("frame drawing: %.1f us vs %.1f us, %.2fx the reference's time (goal <= 2)\n", frame / 1e3,
                frame_ref / 1e3, frame / frame_ref);
    std::printf("  clear + star field %.1f us, year text %.2f us, nine discs %.2f us\n", g.clear_put.median() / 1e3,
                g.text.median() / 1e3, g.discs.median() / 1e3);
  }
  return 0;
}
