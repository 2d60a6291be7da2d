#pragma once
// The window system beneath the surface. core.cpp calls these; exactly one backend
// (backend_sdl.cpp or backend_headless.cpp) is linked into a program and defines them.
// Every function here is called from the program's thread without Core::mutex held.
#include <string>
#include <vector>

#include "surface/core.hpp"

namespace surf::backend {

// Makes (or resizes) the window for the surface already allocated in `c`; true on success.
bool open_window(Core& c);

// Sets the window caption; `utf8` is already converted from code page 437.
void set_title(const std::string& utf8);

// Milliseconds on the clock that TIME_SLEEP waits on (monotonic; virtual in the headless backend).
double now_ms();

// Waits `ms` milliseconds on that clock.
void sleep_ms(double ms);

// Called before every INPUT_MOUSE / INPUT_KEY poll (lets the headless clock move on).
void before_poll();

// Brings the input state up to the present moment without waiting.
void update();

// False when no key can ever arrive any more (TIME_SLEEP(-1) then returns instead of hanging).
bool key_may_arrive();

// ---- Presenter instrumentation (benchmarks) --------------------------------------------------

// Starts recording the steady-clock time in ms of each presenter pass; clears earlier records.
void presenter_record_start();
// Number of passes recorded since the start.
std::size_t presenter_record_count();
// Number of those passes that showed changed rows (a new picture reached the window).
std::size_t presenter_record_shown();
// Stops recording and returns the recorded pass times.
std::vector<double> presenter_record_stop();

}  // namespace surf::backend

namespace surf {

// Puts `c` back into its state before the first SCREEN_OPEN (pages freed, input cleared).
void reset_core(Core& c);

}  // namespace surf
