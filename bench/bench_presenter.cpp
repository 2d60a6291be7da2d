// Presenter fairness: the window thread's pass interval while the program's thread draws
// pixels in a tight loop, against the interval of an idle program in the same run. Then the
// frames shown per second and the pass intervals with a whole new 1000x500 picture on every
// pass, at the desktop scales 1 and 2 (GDK_SCALE), scale 2 against scale 1.
// Needs a display of at least 2000x1000 pixels for scale 2: run under a virtual X server, e.g.
// `xvfb-run -a -s '-screen 0 2560x1440x24' bench_presenter`.
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "surface/bench_hook.hpp"
#include "surface/surface.hpp"

namespace {

constexpr std::size_t kFrames = 1000;
constexpr int kWidth = 640, kHeight = 480;

struct Intervals {
  double p50 = 0, p99 = 0, max = 0;
};

// Percentiles of the gaps between consecutive pass times (ms).
Intervals intervals(const std::vector<double>& t) {
  std::vector<double> gaps;
  for (std::size_t i = 1; i < t.size(); ++i) gaps.push_back(t[i] - t[i - 1]);
  Intervals r;
  if (gaps.empty()) return r;
  std::sort(gaps.begin(), gaps.end());
  auto at = [&](double q) { return gaps[std::min(gaps.size() - 1, static_cast<std::size_t>(q * gaps.size()))]; };
  r.p50 = at(0.50);
  r.p99 = at(0.99);
  r.max = gaps.back();
  return r;
}

bool window() {
  static const bool ok = SCREEN_OPEN(kWidth, kHeight, 32, 2, 4, 0) == 0;
  return ok;
}

Intervals idle_result;

// Records kFrames presenter passes while `work` runs repeatedly on this thread.
template <class Work>
std::vector<double> record(Work&& work) {
  surf::bench::record_start();
  while (surf::bench::record_count() < kFrames) work();
  return surf::bench::record_stop();
}

void report(benchmark::State& state, const Intervals& r) {
  state.counters["p50_ms"] = r.p50;
  state.counters["p99_ms"] = r.p99;
  state.counters["max_ms"] = r.max;
}

void BM_PresenterIdle(benchmark::State& state) {
  if (!window()) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  for (auto _ : state) {
    idle_result = intervals(record([] { TIME_SLEEP(1); }));
  }
  report(state, idle_result);
}

// One frame that paints every pixel of the surface in a colour of its own.
void whole_new_picture() {
  static Integer colour = 0;
  colour = (colour + 0x010101) & 0xFFFFFF;
  SCREEN_LOCK();
  SCREEN_LINE(nullptr, -1e6f, -1e6f, 1e6f, 1e6f, colour, 2);
  SCREEN_UNLOCK(-1, -1);
}

// The same presenter work as under the drawing loop (whole frames to show), without the
// contention: separates the cost of showing frames from the cost of sharing the lock.
void BM_PresenterFullFramesIdle(benchmark::State& state) {
  if (!window()) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  Intervals r;
  for (auto _ : state) {
    r = intervals(record([] {
      whole_new_picture();
      TIME_SLEEP(1);
    }));
  }
  report(state, r);
}

void BM_PresenterUnderPsetLoop(benchmark::State& state) {
  if (!window()) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  Intervals r;
  double psets = 0;
  for (auto _ : state) {
    int x = 0, y = 0;
    Integer colour = 0;
    const auto t0 = std::chrono::steady_clock::now();
    r = intervals(record([&] {
      for (int i = 0; i < 256; ++i) {
        SCREEN_PSET(nullptr, static_cast<Single>(x), static_cast<Single>(y), colour, 4);
        if (++x == kWidth) x = 0, y = (y + 1) % kHeight;
        ++colour;
      }
      psets += 256;
    }));
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.counters["psets_per_s"] = psets / s;
  }
  report(state, r);
  if (idle_result.p99 > 0) state.counters["p99_vs_idle"] = r.p99 / idle_result.p99;
}

// True when the display has room for a window of w x h pixels.
bool screen_holds(int w, int h) {
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return false;
  const bool ok = DisplayWidth(d, DefaultScreen(d)) >= w && DisplayHeight(d, DefaultScreen(d)) >= h;
  XCloseDisplay(d);
  return ok;
}

double scale1_shown_per_s = 0, scale1_p99 = 0;

// Whole new frames of 1000x500 pixels at desktop scale state.range(0).
void BM_PresenterScaledFullFrames(benchmark::State& state) {
  constexpr int kW = 1000, kH = 500;
  const int k = static_cast<int>(state.range(0));
  if (!window() || !screen_holds(kW * k, kH * k)) {
    state.SkipWithError("no window, or the screen is too small for the scaled one");
    return;
  }
  // The scale is taken when the surface is opened.
  setenv("GDK_SCALE", std::to_string(k).c_str(), 1);
  if (SCREEN_OPEN(kW, kH, 32, 2, 4, 0) != 0) {
    state.SkipWithError("SCREEN_OPEN failed");
    return;
  }
  TIME_SLEEP(300);  // the window thread resizes the window on its next passes
  Intervals r;
  double shown_per_s = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const std::vector<double> passes = record([] {
      whole_new_picture();
      TIME_SLEEP(1);
    });
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    shown_per_s = static_cast<double>(surf::bench::record_shown()) / s;
    r = intervals(passes);
  }
  report(state, r);
  state.counters["shown_per_s"] = shown_per_s;
  if (k == 1) {
    scale1_shown_per_s = shown_per_s;
    scale1_p99 = r.p99;
  } else if (scale1_shown_per_s > 0 && scale1_p99 > 0) {
    state.counters["shown_vs_scale1"] = shown_per_s / scale1_shown_per_s;
    state.counters["p99_vs_scale1"] = r.p99 / scale1_p99;
  }
}

BENCHMARK(BM_PresenterIdle)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresenterFullFramesIdle)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresenterUnderPsetLoop)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresenterScaledFullFrames)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
