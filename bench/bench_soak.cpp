// Long runs of a program's inner loop on the headless surface: 10^8 orbit steps (built with
// SOAK_ORBIT) or 10^6 all-planets frames (built with SOAK_PLANETS; the two programs' module
// variables share names, so each gets its own executable).
//
// Measured per run:
//   resident memory (/proc/self/statm) after a warm-up, its largest and its final growth;
//   limit: growth below 1 MiB;
//   the pass rate (per CPU second of this thread) of the last tenth against the rate of the
//   first tenth after the warm-up (same loop, same run): a loop that slows down as it runs
//   shows a ratio below 1.
// Exit status 1 when the memory limit is exceeded.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "surface/headless.hpp"
#if defined(SOAK_ORBIT)
#include "Umlaufbahnen/Umlaufbahnen.hpp"
#elif defined(SOAK_PLANETS)
#include "Planetensystem/Planetensystem.hpp"
#else
#error "build with SOAK_ORBIT or SOAK_PLANETS"
#endif

namespace {

constexpr double kLimitKiB = 1024;

// Resident set size in KiB: second field of /proc/self/statm (pages) times the page size.
double resident_kib() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// CPU time of this thread in seconds: rates from it are not skewed by other load on the machine.
double thread_cpu_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Soak {
  double rss_growth_kib = 0, rss_max_growth_kib = 0;
  double first_rate = 0, last_rate = 0, seconds = 0;
};
Soak g_result;

// Runs `pass` `warmup` times, then `total` times in ten slices, sampling memory after each slice.
template <class Pass>
Soak soak(long warmup, long total, Pass&& pass) {
  for (long i = 0; i < warmup; ++i) pass();
  Soak r;
  const double base = resident_kib();
  const long slice = total / 10;
  const auto start = std::chrono::steady_clock::now();
  for (int s = 0; s < 10; ++s) {
    const double t0 = thread_cpu_seconds();
    for (long i = 0; i < slice; ++i) pass();
    const double rate = static_cast<double>(slice) / (thread_cpu_seconds() - t0);
    if (s == 0) r.first_rate = rate;
    if (s == 9) r.last_rate = rate;
    const double growth = resident_kib() - base;
    if (growth > r.rss_max_growth_kib) r.rss_max_growth_kib = growth;
    r.rss_growth_kib = growth;
  }
  r.seconds = seconds_since(start);
  return r;
}

void report(benchmark::State& state, const Soak& r, const char* unit) {
  state.counters["seconds"] = r.seconds;
  state.counters["rss_growth_KiB"] = r.rss_growth_kib;
  state.counters["rss_max_growth_KiB"] = r.rss_max_growth_kib;
  state.counters[std::string(unit) + "_per_s_first"] = r.first_rate;
  state.counters[std::string(unit) + "_per_s_last"] = r.last_rate;
  std::printf("%s: %.1f s, resident growth %.0f KiB (largest %.0f KiB, limit %.0f KiB), last/first rate %.3fx\n",
              unit, r.seconds, r.rss_growth_kib, r.rss_max_growth_kib, kLimitKiB,
              r.first_rate > 0 ? r.last_rate / r.first_rate : 0.0);
}

#if defined(SOAK_ORBIT)

// 10^8 passes of the run loop (step, point, Stop poll) from the default start values.
void BM_OrbitSoak(benchmark::State& state) {
  for (auto _ : state) {
    headless::reset();
    CREATEWINDOW_MAIN();
    orbit::Run run;
    orbit::begin_run(run);
    g_result = soak(1000000, 100000000, [&] { benchmark::DoNotOptimize(orbit::run_pass(run)); });
    orbit::end_run();
  }
  report(state, g_result, "steps");
}
BENCHMARK(BM_OrbitSoak)->Iterations(1)->Unit(benchmark::kSecond);

#else

// 10^6 passes of the all-planets animation loop (frame, 1 ms pause on the virtual clock, Stop poll).
void BM_PlanetsSoak(benchmark::State& state) {
  for (auto _ : state) {
    headless::reset();
    planets::setup_tables(RADIUS, UMLAUFZEIT, FARBE);
    OPENWINDOW_MAIN();
    planets::Run run;
    planets::prepare(run, RADIUS, UMLAUFZEIT, 1);
    g_result = soak(10000, 1000000, [&] {
      planets::draw_frame(run, RADIUS, FARBE);
      TIME_SLEEP(1);
      benchmark::DoNotOptimize(BUTTON_GETEVENT(BUTTON_STOP));
    });
    planets::finish(run);
  }
  report(state, g_result, "frames");
}
BENCHMARK(BM_PlanetsSoak)->Iterations(1)->Unit(benchmark::kSecond);

#endif

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return g_result.rss_max_growth_kib < kLimitKiB ? 0 : 1;
}
