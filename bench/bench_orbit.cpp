// The orbit program's run loop and the n-dimensional Runge-Kutta step, each against a
// reference measured in the same run:
//   run loop (step, point, Stop poll)  vs  a bare inline RK4 loop with a plain pixel store;
//   heap allocations during 10^6 passes of the run loop (operator new counted);
//   DIFFSYSN on the Kepler system       vs  Boost.Odeint's runge_kutta4.
// The ratios are printed after the table.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <boost/numeric/odeint.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

// ---- Heap allocation counter -------------------------------------------------------------------

namespace {
std::atomic<long> g_allocations{0};

void* counted_alloc(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(n != 0 ? n : 1);
}
}  // namespace

// Kept out of line so that the compiler does not pair the inlined free() with operator new.
[[gnu::noinline]] void* operator new(std::size_t n) {
  if (void* p = counted_alloc(n)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t n) {
  if (void* p = counted_alloc(n)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return counted_alloc(n); }
[[gnu::noinline]] void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return counted_alloc(n); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// ---- The program's run loop ----------------------------------------------------------------------

// A session with the default fields and a run begun, as after a click on "Simulation Start".
orbit::Run& started_run() {
  static orbit::Run* run = [] {
    headless::reset();
    CREATEWINDOW_MAIN();
    auto* r = new orbit::Run;
    orbit::begin_run(*r);
    return r;
  }();
  return *run;
}

void restart(orbit::Run& run) {
  run.t = 0, run.x = 0, run.y = 2.0, run.vx = 0.4, run.vy = 0;
}

void BM_RunLoop(benchmark::State& st) {
  orbit::Run& run = started_run();
  restart(run);
  for (auto _ : st) benchmark::DoNotOptimize(orbit::run_pass(run));
  st.SetItemsProcessed(st.iterations());
}

// ---- Reference: the same arithmetic inline, and a pixel store into a plain buffer ------------------

struct Bare {
  double t = 0, vx = 0.4, vy = 0, x = 0, y = 2.0;
};

// Kepler derivative of component i, with FKT's operations in FKT's order.
inline double kepler(int i, const double* s) {
  double r = std::sqrt(s[2] * s[2] + s[3] * s[3]);
  if (r == 0) r = 0.000001;
  switch (i) {
    case 0: return -1.0 / (r * r) * s[2] / r;
    case 1: return -1.0 / (r * r) * s[3] / r;
    case 2: return s[0];
    default: return s[1];
  }
}

inline void bare_step(Bare& b) {
  constexpr double h = orbit::kStep;
  const double y[4] = {b.vx, b.vy, b.x, b.y};
  double k1[4], k2[4], k3[4], k4[4], w[4];
  for (int i = 0; i < 4; ++i) k1[i] = kepler(i, y) * h;
  for (int i = 0; i < 4; ++i) w[i] = y[i] + k1[i] / 2;
  for (int i = 0; i < 4; ++i) k2[i] = kepler(i, w) * h;
  for (int i = 0; i < 4; ++i) w[i] = y[i] + k2[i] / 2;
  for (int i = 0; i < 4; ++i) k3[i] = kepler(i, w) * h;
  for (int i = 0; i < 4; ++i) w[i] = y[i] + k3[i];
  for (int i = 0; i < 4; ++i) k4[i] = kepler(i, w) * h;
  double out[4];
  for (int i = 0; i < 4; ++i) out[i] = ((k1[i] + 2 * k2[i]) + 2 * k3[i] + k4[i]) / 6 + y[i];
  b.vx = out[0], b.vy = out[1], b.x = out[2], b.y = out[3];
  b.t = b.t + h;
}

// Logical (x, y) in the square of half-width 3 to a pixel of the 491 x 481 area, halves away from zero.
inline void bare_plot(std::vector<std::uint32_t>& px, double x, double y) {
  const long c = std::lround((x + 3.0) * 491 / 6.0);
  const long r = 480 - std::lround((y + 3.0) * 481 / 6.0);
  if (c >= 0 && c <= 490 && r >= 0 && r <= 480) px[static_cast<std::size_t>((r + 10) * 1000 + c + 500)] = 0xAA0000;
}

void BM_BareLoop(benchmark::State& st) {
  std::vector<std::uint32_t> px(1000 * 500);
  Bare b;
  for (auto _ : st) {
    bare_step(b);
    bare_plot(px, b.x, b.y);
    benchmark::DoNotOptimize(px.data());
  }
  st.SetItemsProcessed(st.iterations());
}

// Both loops from the default start for `steps` steps: the largest state difference.
double loop_disagreement(long steps) {
  orbit::Run& run = started_run();
  restart(run);
  Bare b;
  for (long k = 0; k < steps; ++k) {
    orbit::run_pass(run);
    bare_step(b);
  }
  return std::max({std::fabs(run.vx - b.vx), std::fabs(run.vy - b.vy), std::fabs(run.x - b.x),
                   std::fabs(run.y - b.y), std::fabs(run.t - b.t)});
}

void BM_AllocationsPerMillionPasses(benchmark::State& st) {
  orbit::Run& run = started_run();
  for (auto _ : st) {
    restart(run);
    const long before = g_allocations.load();
    for (int k = 0; k < 1000000; ++k) orbit::run_pass(run);
    st.counters["allocations"] = static_cast<double>(g_allocations.load() - before);
  }
}

// ---- DIFFSYSN against Boost.Odeint on the 4-dimensional Kepler system ---------------------------------

// a = -r_vec / r^3; the distance is needed only by the two velocity components.
Double kepler_component(Integer i, Double, DoubleArrayRef y) {
  if (i > 2) return y[i - 2];
  const Double x = y[3], z = y[4];
  const Double r = std::sqrt(x * x + z * z);
  return -(i == 1 ? x : z) / (r * r * r);
}

void BM_Diffsysn(benchmark::State& st) {
  Array<Double> s(1, 4);
  s[1] = 0.4, s[2] = 0, s[3] = 0, s[4] = 2;
  Double t = 0;
  for (auto _ : st) {
    DIFFSYSN(kepler_component, t, s, orbit::kStep, t, s);
    benchmark::DoNotOptimize(s.data());
  }
  st.SetItemsProcessed(st.iterations());
}

using State4 = std::array<double, 4>;  // vx, vy, x, y

void BM_OdeintRk4(benchmark::State& st) {
  boost::numeric::odeint::runge_kutta4<State4> stepper;
  const auto system = [](const State4& y, State4& dy, double) {
    const double r = std::sqrt(y[2] * y[2] + y[3] * y[3]);
    dy[0] = -y[2] / (r * r * r);
    dy[1] = -y[3] / (r * r * r);
    dy[2] = y[0];
    dy[3] = y[1];
  };
  State4 s{0.4, 0, 0, 2};
  double t = 0;
  for (auto _ : st) {
    stepper.do_step(system, s, t, orbit::kStep);
    t += orbit::kStep;
    benchmark::DoNotOptimize(s.data());
  }
  st.SetItemsProcessed(st.iterations());
}

BENCHMARK(BM_RunLoop);
BENCHMARK(BM_BareLoop);
BENCHMARK(BM_AllocationsPerMillionPasses)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diffsysn);
BENCHMARK(BM_OdeintRk4);

// Keeps each benchmark's CPU time per iteration (the machine is shared, so wall time is noisier) so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) ns_per_iter[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> ns_per_iter;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const double diff = loop_disagreement(1000000);
  std::printf("run loop vs bare loop after 10^6 steps: largest state difference %.3g (limit 1e-12)\n", diff);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto ratio = [&](const char* a, const char* b) {
    const auto ia = reporter.ns_per_iter.find(a), ib = reporter.ns_per_iter.find(b);
    if (ia != reporter.ns_per_iter.end() && ib != reporter.ns_per_iter.end() && ia->second > 0)
      std::printf("%s vs %s: speed %.3fx, time per step %.3fx\n", a, b, ib->second / ia->second,
                  ia->second / ib->second);
  };
  ratio("BM_RunLoop", "BM_BareLoop");
  ratio("BM_Diffsysn", "BM_OdeintRk4");
  benchmark::Shutdown();
  return diff <= 1e-12 ? 0 : 1;
}
