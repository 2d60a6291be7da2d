// The orbit program's run loop (step, point, Stop poll) in a real window while the window
// thread presents, against the same loop on the headless surface in the same run.
//
// Built twice from this file:
//   bench_orbit_window           real window (needs a display: run under Xvfb, e.g.
//                                `xvfb-run -a -s '-screen 0 1280x800x24' bench/bench_orbit_window`);
//   bench_orbit_window_headless  (ORBIT_HEADLESS) the reference: `--ms=N` runs the loop for
//                                about N ms and prints "steps_per_s <per wall s> <per CPU s>".
// The window benchmark runs the headless sibling (next to its own executable) before and after
// its own measurement and compares against the mean of the two. It reports the window's
// steps/s and their ratio to headless (goal >= 0.9), the same per CPU second of the program's
// thread (which leaves out time lost to other load on the machine), and the presenter's pass
// interval percentiles over >= 1000 passes (goal p99 <= 20 ms). It also times the passes of the
// program's idle loop (every widget polled, no input): a short click is stretched to 100 ms so
// that each widget's poll meets it, which holds while a pass stays well below that.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"

namespace {

using Clock = std::chrono::steady_clock;
constexpr long kCheckEvery = 4096;  // passes between clock or presenter checks

// CPU time of the calling thread in seconds.
double thread_cpu_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A run begun as after a click on "Simulation Start" with the default fields.
orbit::Run& started_run() {
  static orbit::Run run;
  CREATEWINDOW_MAIN();
  orbit::begin_run(run);
  return run;
}

}  // namespace

#if defined(ORBIT_HEADLESS)

#include "surface/headless.hpp"

int main(int argc, char** argv) {
  long ms = 3000;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).rfind("--ms=", 0) == 0) ms = std::strtol(argv[i] + 5, nullptr, 10);
  if (ms <= 0 || ms > 600000) ms = 3000;
  headless::reset();
  orbit::Run& run = started_run();
  const auto t0 = Clock::now();
  const double cpu0 = thread_cpu_seconds();
  const auto until = t0 + std::chrono::milliseconds(ms);
  long steps = 0;
  while (Clock::now() < until) {
    for (long k = 0; k < kCheckEvery; ++k) orbit::run_pass(run);
    steps += kCheckEvery;
  }
  const double cpu = thread_cpu_seconds() - cpu0;
  const double s = std::chrono::duration<double>(Clock::now() - t0).count();
  std::printf("steps_per_s %.6g %.6g\n", static_cast<double>(steps) / s, static_cast<double>(steps) / cpu);
  return 0;
}

#else

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>

#include "surface/bench_hook.hpp"

namespace {

constexpr std::size_t kPasses = 1001;  // presenter passes recorded: 1000 intervals

struct Rate {
  double wall = 0, cpu = 0;  // steps per wall second and per CPU second of the looping thread
};

struct Result {
  Rate headless_before, headless_after, window;
  double p50 = 0, p99 = 0, max = 0;
  std::size_t intervals = 0;
  double idle_p50 = 0, idle_p99 = 0, idle_max = 0;  // idle loop pass, ms
} g;

constexpr int kIdlePasses = 100;

// The headless sibling's rates over `ms`, or zeros when it cannot be run.
Rate headless_rate(long ms) {
  char self[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  std::string path(self, static_cast<std::size_t>(n));
  path = path.substr(0, path.rfind('/') + 1) + "bench_orbit_window_headless";
  const std::string command = "'" + path + "' --ms=" + std::to_string(ms);
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return {};
  Rate rate;
  if (std::fscanf(child, "steps_per_s %lf %lf", &rate.wall, &rate.cpu) != 2) rate = {};
  return pclose(child) == 0 ? rate : Rate{};
}

// The mean of the headless runs before and after the window's.
Rate reference() {
  return {(g.headless_before.wall + g.headless_after.wall) / 2, (g.headless_before.cpu + g.headless_after.cpu) / 2};
}

void BM_OrbitLoopWindow(benchmark::State& state) {
  if (SCREEN_OPEN(8, 8, 32, 1, 4, 0) != 0) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  for (auto _ : state) {
    g.headless_before = headless_rate(3000);
    orbit::Run& run = started_run();
    long steps = 0;
    surf::bench::record_start();
    const auto t0 = Clock::now();
    const double cpu0 = thread_cpu_seconds();
    while (surf::bench::record_count() < kPasses) {
      for (long k = 0; k < kCheckEvery; ++k) orbit::run_pass(run);
      steps += kCheckEvery;
    }
    const double cpu = thread_cpu_seconds() - cpu0;
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    const std::vector<double> t = surf::bench::record_stop();
    orbit::end_run();
    g.window = {static_cast<double>(steps) / s, static_cast<double>(steps) / cpu};
    g.headless_after = headless_rate(3000);

    std::vector<double> gaps;
    for (std::size_t i = 1; i < t.size(); ++i) gaps.push_back(t[i] - t[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    const auto at = [&](double q) { return gaps[std::min(gaps.size() - 1, static_cast<std::size_t>(q * gaps.size()))]; };
    g.intervals = gaps.size();
    if (!gaps.empty()) g.p50 = at(0.50), g.p99 = at(0.99), g.max = gaps.back();
  }
  const Rate ref = reference();
  state.counters["window_steps_per_s"] = g.window.wall;
  state.counters["headless_steps_per_s"] = ref.wall;
  state.counters["ratio"] = ref.wall > 0 ? g.window.wall / ref.wall : 0;
  state.counters["ratio_per_cpu_s"] = ref.cpu > 0 ? g.window.cpu / ref.cpu : 0;
  state.counters["interval_p50_ms"] = g.p50;
  state.counters["interval_p99_ms"] = g.p99;
  state.counters["interval_max_ms"] = g.max;
}
BENCHMARK(BM_OrbitLoopWindow)->Iterations(1)->Unit(benchmark::kSecond);

void BM_OrbitIdlePass(benchmark::State& state) {
  if (SCREEN_OPEN(8, 8, 32, 1, 4, 0) != 0) {
    state.SkipWithError("no window (needs a display)");
    return;
  }
  CREATEWINDOW_MAIN();
  for (auto _ : state) {
    std::vector<double> passes;
    for (int i = 0; i < kIdlePasses; ++i) {
      const auto t0 = Clock::now();
      // The body of the program's loop, with nothing to react to.
      benchmark::DoNotOptimize(LISTBOX_GETEVENT(LIST_AUSWAHL));
      benchmark::DoNotOptimize(TEXTBOX_GETEVENT(TEXTBOX_Y0));
      benchmark::DoNotOptimize(TEXTBOX_GETEVENT(TEXTBOX_VX0));
      benchmark::DoNotOptimize(TEXTBOX_GETEVENT(TEXTBOX_FENSTER));
      benchmark::DoNotOptimize(BUTTON_GETEVENT(BUTTON_START));
      TIME_SLEEP(10);
      benchmark::DoNotOptimize(WINDOW_EVENT_CLOSE());
      passes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(passes.begin(), passes.end());
    g.idle_p50 = passes[passes.size() / 2];
    g.idle_p99 = passes[passes.size() * 99 / 100];
    g.idle_max = passes.back();
  }
  state.counters["idle_pass_p50_ms"] = g.idle_p50;
  state.counters["idle_pass_max_ms"] = g.idle_max;
}
BENCHMARK(BM_OrbitIdlePass)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g.idle_max > 0)
    std::printf("idle loop pass over %d passes: p50 %.1f ms, p99 %.1f ms, max %.1f ms (a click lasts >= 100 ms)\n",
                kIdlePasses, g.idle_p50, g.idle_p99, g.idle_max);
  const Rate ref = reference();
  if (ref.wall <= 0 || ref.cpu <= 0 || g.intervals == 0) {
    std::printf("no result (needs a display and bench_orbit_window_headless beside this program)\n");
    return 1;
  }
  std::printf("window vs headless steps/s: %.3fx (%.4g vs %.4g; headless before %.4g, after %.4g; goal >= 0.9)\n",
              g.window.wall / ref.wall, g.window.wall, ref.wall, g.headless_before.wall, g.headless_after.wall);
  std::printf("window vs headless steps per CPU second of the loop's thread: %.3fx (%.4g vs %.4g)\n",
              g.window.cpu / ref.cpu, g.window.cpu, ref.cpu);
  std::printf("presenter interval over %zu passes: p50 %.2f ms, p99 %.2f ms, max %.2f ms (goal p99 <= 20)\n",
              g.intervals, g.p50, g.p99, g.max);
  return 0;
}

#endif
