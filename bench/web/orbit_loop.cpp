// The orbit program's run loop (step, point, Stop poll) under Node, for what ASYNCIFY's
// instrumentation costs it: built with the browser backend's pauses reachable from every poll
// and sleep (web_orbit_loop, linked with ASYNCIFY as the pages are) and without them
// (web_orbit_loop_plain). The pauses are never taken, so both runs do the same work.
// Usage: node --no-experimental-fetch web_orbit_loop.js [ms]; prints
// "steps_per_s <per wall second> <per CPU second of the process>".
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/backend.hpp"

// CPU time of the Node process in ms (user and system).
EM_JS(double, cpu_ms, (), {
  const t = process.cpuUsage();
  return (t.user + t.system) / 1000;
});

#if defined(WITH_PAUSES)
EM_ASYNC_JS(void, bench_pause, (), { await new Promise(resolve => setTimeout(resolve, 0)); });
#endif

namespace {
#if defined(WITH_PAUSES)
volatile bool g_pause = false;  // never set: the pause is reachable but not taken
#endif

void maybe_pause() {
#if defined(WITH_PAUSES)
  if (g_pause) bench_pause();
#endif
}
}  // namespace

// A window that is always active and never shows anything, on the page's clock.
namespace surf::backend {
Integer open_window(InputSink input, FrameSource) {
  input.focus(true);
  return 0;
}
void set_title(const std::string&) {}
double now_ms() { return emscripten_get_now(); }
void sleep_ms(double) { maybe_pause(); }
void before_poll() { maybe_pause(); }
void update() {}
bool key_may_arrive() { return false; }
void start_text_input(const Rect&) {}
void stop_text_input() {}
void controls(const ControlSet&) {}
}  // namespace surf::backend

int main(int argc, char** argv) {
  const double ms = argc > 1 ? std::strtod(argv[1], nullptr) : 3000;
  CREATEWINDOW_MAIN();
  orbit::Run run;
  orbit::begin_run(run);
  long steps = 0;
  const double t0 = emscripten_get_now(), cpu0 = cpu_ms();
  while (emscripten_get_now() - t0 < ms) {
    for (int k = 0; k < 4096; ++k) orbit::run_pass(run);
    steps += 4096;
  }
  const double wall = emscripten_get_now() - t0, cpu = cpu_ms() - cpu0;
  std::printf("steps_per_s %.6g %.6g\n", steps / (wall / 1000), steps / (cpu / 1000));
  return 0;
}
