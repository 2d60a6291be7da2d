#pragma once
// The window system beneath the surface. core.cpp calls these; exactly one backend
// (backend_sdl.cpp or backend_headless.cpp) is linked into a program and defines them.
// Every function here is called from the program's thread without the surface mutex held.
//
// A backend opens its window and sets its title, owns its clock and its sleep, delivers the
// window system's events to the InputSink and shows what the FrameSource hands it, on a
// presenter pass every kPresenterIntervalMs. The surface's rules live in the core.
#include <cstdint>
#include <string>

#include "surface/core.hpp"

namespace surf::backend {

// Time between two passes of the presenter, in ms.
inline constexpr double kPresenterIntervalMs = 10;

// Makes (or resizes) the window for the surface just opened: 0, or the error number of the
// failure (ERR_OUT_OF_MEMORY where the window system ran out of memory, otherwise
// ERR_ILLEGAL_FUNCTION_CALL). The backend keeps both faces for as long as the program runs.
Integer open_window(InputSink input, FrameSource frames);

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

// Waits until the presenter has taken frame `frame` (frames.taken) or the clock reaches until_ms.
void await_frame(FrameSource frames, std::uint64_t frame, double until_ms);

}  // namespace surf::backend
