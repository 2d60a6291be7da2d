// Frames shown per second in a real window while the all-planets animation runs: the
// presenter counts its own passes that brought changed rows to the window, over a fixed
// stretch of the animation loop (frame, 1 ms pause, Stop poll). The window thread passes
// every 10 ms, so at most 100 frames a second can be shown; goal >= 90.
// The same count with the window thread alone (the loop only pausing) is the reference.
// It also times the passes of the program's idle loop (list box, close test; no input): a
// short click is stretched to 100 ms so that each poll meets it.
//
// Needs a display: xvfb-run -a -s '-screen 0 1280x800x24' bench/bench_planets_window [--seconds=5]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Planetensystem/Planetensystem.hpp"
#include "surface/bench_hook.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double g_seconds = 5;

struct Shown {
  double seconds = 0;
  std::size_t passes = 0, shown = 0, frames = 0;
  double p50 = 0, p99 = 0, max = 0;  // gaps between passes, ms
  double per_s() const { return seconds > 0 ? static_cast<double>(shown) / seconds : 0; }
};

Shown g_loop, g_idle;

// Runs `pass` repeatedly for g_seconds while the presenter records its passes.
template <class Pass>
Shown record(Pass&& pass) {
  Shown r;
  surf::bench::record_start();
  const auto t0 = Clock::now();
  const auto until = t0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(g_seconds));
  while (Clock::now() < until) {
    pass();
    ++r.frames;
  }
  r.shown = surf::bench::record_shown();
  const std::vector<double> t = surf::bench::record_stop();
  r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  r.passes = t.size();
  std::vector<double> gaps;
  for (std::size_t i = 1; i < t.size(); ++i) gaps.push_back(t[i] - t[i - 1]);
  std::sort(gaps.begin(), gaps.end());
  if (!gaps.empty()) {
    const auto at = [&](double q) { return gaps[std::min(gaps.size() - 1, static_cast<std::size_t>(q * gaps.size()))]; };
    r.p50 = at(0.50);
    r.p99 = at(0.99);
    r.max = gaps.back();
  }
  return r;
}

void report(benchmark::State& state, const Shown& r) {
  state.counters["shown_per_s"] = r.per_s();
  state.counters["passes_per_s"] = r.seconds > 0 ? static_cast<double>(r.passes) / r.seconds : 0;
  state.counters["frames_per_s"] = r.seconds > 0 ? static_cast<double>(r.frames) / r.seconds : 0;
  state.counters["pass_gap_p99_ms"] = r.p99;
}

bool g_window = false;

// The window as the program opens it, with the all-planets view chosen.
void open_once() {
  static bool done = false;
  if (done) return;
  done = true;
  planets::setup_tables(RADIUS, UMLAUFZEIT, FARBE);
  if (SCREEN_OPEN(8, 8, 32, 1, 4, 0) != 0) return;  // probe first: OPENWINDOW ends the program on failure
  OPENWINDOW_MAIN();
  g_window = true;
}

void BM_PlanetsWindowShown(benchmark::State& state) {
  open_once();
  if (!g_window) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  for (auto _ : state) {
    planets::Run run;
    planets::prepare(run, RADIUS, UMLAUFZEIT, 1);
    g_loop = record([&] {
      planets::draw_frame(run, RADIUS, FARBE);
      TIME_SLEEP(1);
      benchmark::DoNotOptimize(BUTTON_GETEVENT(BUTTON_STOP));
    });
    planets::finish(run);
  }
  report(state, g_loop);
}

// Reference: a new whole picture every pass is handed over without any drawing cost.
void BM_PresenterOnlyShown(benchmark::State& state) {
  open_once();
  if (!g_window) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  for (auto _ : state) {
    g_idle = record([] {
      SCREEN_LOCK();
      SCREEN_UNLOCK(-1, -1);
      TIME_SLEEP(1);
    });
  }
  report(state, g_idle);
}

struct IdlePasses {
  double p50 = 0, p99 = 0, max = 0;  // ms
} g_idle_pass;
constexpr int kIdlePasses = 100;

void BM_PlanetsIdlePass(benchmark::State& state) {
  open_once();
  if (!g_window) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  for (auto _ : state) {
    std::vector<double> passes;
    for (int i = 0; i < kIdlePasses; ++i) {
      const auto t0 = Clock::now();
      // The body of the program's loop, with nothing to react to.
      benchmark::DoNotOptimize(LISTBOX_GETEVENT(LIST_AUSWAHL));
      benchmark::DoNotOptimize(WINDOW_EVENT_CLOSE());
      passes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(passes.begin(), passes.end());
    g_idle_pass = {passes[passes.size() / 2], passes[passes.size() * 99 / 100], passes.back()};
  }
  state.counters["idle_pass_p50_ms"] = g_idle_pass.p50;
  state.counters["idle_pass_max_ms"] = g_idle_pass.max;
}

BENCHMARK(BM_PresenterOnlyShown)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_PlanetsWindowShown)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_PlanetsIdlePass)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--seconds=", 0) == 0) {
      const double s = std::strtod(arg.c_str() + 10, nullptr);
      if (s >= 0.5 && s <= 600) g_seconds = s;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_idle_pass.max > 0)
    std::printf("idle loop pass over %d passes: p50 %.1f ms, p99 %.1f ms, max %.1f ms (a click lasts >= 100 ms)\n",
                kIdlePasses, g_idle_pass.p50, g_idle_pass.p99, g_idle_pass.max);
  if (g_loop.seconds <= 0) {
    std::printf("no result (needs a display)\n");
    return 1;
  }
  std::printf("animation: %.1f frames shown/s of %.1f presenter passes/s (%.1f frames drawn/s) over %.1f s; goal >= 90\n",
              g_loop.per_s(), static_cast<double>(g_loop.passes) / g_loop.seconds,
              static_cast<double>(g_loop.frames) / g_loop.seconds, g_loop.seconds);
  std::printf("  pass gaps: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", g_loop.p50, g_loop.p99, g_loop.max);
  if (g_idle.seconds > 0)
    std::printf("reference (no drawing): %.1f frames shown/s; animation %.3fx of it\n", g_idle.per_s(),
                g_idle.per_s() > 0 ? g_loop.per_s() / g_idle.per_s() : 0);
  return 0;
}
