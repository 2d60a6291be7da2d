// Start-up probe: runs a program's main sequence in a real window and prints the time from
// the launch to the moment its complete start picture had been shown, then ends the
// program through its own close request. Built three times from this file: PROBE_ORBIT,
// PROBE_PLANETS, and neither (a bare window cleared to the background colour: the reference).
// Usage: <probe> <launch time in ns of CLOCK_REALTIME, e.g. $(date +%s%N)>
// Output: "shown_ms <ms>"; exit status 0, or 1 when nothing was shown within 20 s.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "surface/bench_hook.hpp"
#include "surface/core.hpp"
#include "surface/surface.hpp"
#if defined(PROBE_ORBIT)
#include "Umlaufbahnen/Umlaufbahnen.hpp"
#elif defined(PROBE_PLANETS)
#include "Planetensystem/Planetensystem.hpp"
#endif

namespace {

#if defined(PROBE_ORBIT)
// Face of "Simulation Stop", the last control the window routine draws.
constexpr int kLastX = 175, kLastY = 255;
constexpr std::uint32_t kLastColour = COLOR_BUTTON_FACE;
int run_program() { return orbit::main_sequence(); }
#elif defined(PROBE_PLANETS)
constexpr int kLastX = 15, kLastY = 115;
constexpr std::uint32_t kLastColour = COLOR_BUTTON_FACE;
int run_program() { return planets::main_sequence(); }
#else
constexpr int kLastX = 995, kLastY = 495;
constexpr std::uint32_t kLastColour = 0xEEEEEE;
int run_program() {
  if (SCREEN_OPEN(1000, 500, 32, 2, 4, 0) != 0) return 1;
  SCREEN_SET_COLOR(0, 0xEEEEEE, 0);
  SCREEN_CLEAR(0);
  for (;;) {
    TIME_SLEEP(10);
    if (IS_CLOSE_KEY(INPUT_KEY())) return 0;
  }
}
#endif

double realtime_ms() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}
double steady_ms() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// True once the last-drawn pixel holds its colour and no row waits to be shown.
bool picture_complete() {
  surf::DrawLock lock(surf::core());
  const surf::Surface& c = lock.surface();
  if (!c.open || lock.lock_count() != 0 || kLastX >= c.width || kLastY >= c.height) return false;
  if ((c.page[0][static_cast<std::size_t>(kLastY * c.width + kLastX)] & 0xFFFFFFu) != kLastColour) return false;
  for (const std::uint8_t row : c.changed)
    if (row != 0) return false;
  return true;
}

std::atomic<double> g_shown_steady{-1};

// Waits for the complete picture, then for the presenter pass that showed it; then asks the
// program to close.
void watch() {
  const double give_up = steady_ms() + 20000;
  double seen = -1;
  while (seen < 0 && steady_ms() < give_up) {
    if (picture_complete()) seen = steady_ms();
    else std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  // The rows are copied under the lock and shown right after it; the pass time is taken then.
  // Passes come every 10 ms: look after a few of them, and again later on a slow machine.
  for (double wait = 50; seen >= 0 && steady_ms() < give_up; wait *= 2) {
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(seen + wait - steady_ms()));
    const std::vector<double> passes = surf::bench::record_count() > 0
                                           ? surf::bench::record_stop()
                                           : std::vector<double>{};
    const auto shown = std::find_if(passes.begin(), passes.end(), [&](double t) { return t >= seen; });
    if (shown != passes.end()) {
      g_shown_steady.store(*shown);
      break;
    }
    surf::bench::record_start();
  }
  surf::core().input().close();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <launch time ns>\n", argv[0]);
    return 2;
  }
  const double launch_ms = std::strtod(argv[1], nullptr) * 1e-6;
  const double steady_to_real = realtime_ms() - steady_ms();
  surf::bench::record_start();
  std::thread watcher(watch);
  const int status = run_program();
  watcher.join();
  const double shown = g_shown_steady.load();
  if (status != 0 || shown < 0) return 1;
  std::printf("shown_ms %.1f\n", shown + steady_to_real - launch_ms);
  return 0;
}
