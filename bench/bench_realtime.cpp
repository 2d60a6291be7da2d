// Pendel's real-time stepping against the wall clock: model seconds per wall second over a run
// of 10 s (goal 1.00 +- 0.02), each pass the program's own (the controls polled, the steps the
// clock says are due, a 10 ms pause). The reference is the system clock, read outside the
// library, which steps by the monotonic one (TIME_MS).
//   desktop:  xvfb-run -a -s '-screen 0 1280x800x24' build/bench/bench_realtime
//   browser:  node bench/web/realtime.mjs  (the same program as a page of build-web/bench/web/)
// Prints "realtime model_s <s> wall_s <s> ratio <model / wall> passes <n> fixed_ratio <r>", where
// r is what one fixed 10 ms step per pass (the pattern before the clock) would have given.
#include <chrono>
#include <cstdio>

#include "pendel.hpp"

int main() {
  // No arguments: the page's main takes none.
  constexpr double seconds = 10.0;
  using Wall = std::chrono::system_clock;
  const auto wall_s = [t0 = Wall::now()] { return std::chrono::duration<double>(Wall::now() - t0).count(); };
  pendel::CREATEWINDOW_MAIN();
  TIME_SLEEP(200);  // the window settles
  pendel::BUTTON_START_EVENT();
  const double start = wall_s();
  long passes = 0;
  double wall = 0;
  while ((wall = wall_s() - start) < seconds && pendel::DURCHLAUF()) ++passes;
  std::printf("realtime model_s %.4f wall_s %.4f ratio %.4f passes %ld fixed_ratio %.4f\n", pendel::ZEIT, wall,
              pendel::ZEIT / wall, passes, static_cast<double>(passes) * 0.010 / wall);
  std::fflush(stdout);
  return 0;
}
