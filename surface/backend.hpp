#pragma once
// The window system beneath the surface, and the rules every backend honours. The entry points
// (window_io.cpp) call these functions; exactly one backend is linked into a program and defines
// them: backend_sdl.cpp (a real window with a window thread of its own), backend_headless.cpp
// (no window: a virtual clock, scripted input and a virtual presenter, for tests and pictures)
// or backend_web.cpp (a canvas in a browser page, on the page's only thread).
//
// Threads. Every function here is called on the program's thread, never with the surface mutex
// held, and never while another of them runs. A backend hands the window system's events to the
// InputSink and runs presenter passes on the FrameSource from one thread of its own choice: its
// window thread (SDL), or the program's thread inside sleep_ms, before_poll, update and
// await_frame (headless, web). Each InputSink and FrameSource call takes the surface mutex
// itself; the functions below never hold it, never draw and never call an entry point.
//
// Presenter. While a surface is open, a pass runs about every kPresenterIntervalMs of the
// backend's clock (the web backend: every display frame the browser paints): it calls
// FrameSource::take, shows on the window the rows the pass changed, and then reports them
// with FrameSource::shown. What the window shows is page 0 as the last pass took it.
//
// Input. Pointer positions are surface pixels (whatever the window's scale), button times are
// on the clock of now_ms(), and presses and wheel notches outside the drawing area do not reach
// the sink, while releases do (the window keeps the pointer while a button is held). Keys
// without a character go to InputSink::key as codes (the function keys through function_key),
// typed text through type_text, and the window's close button as one close request.
//
// Errors. Nothing here throws, except std::bad_alloc where memory runs out on the program's
// thread; a window system that fails on a thread of the backend's own ends the program with the
// report (rt::abort_with_report).
#include <cstdint>
#include <string>

#include "surface/controls.hpp"
#include "surface/input.hpp"
#include "surface/present.hpp"

namespace surf::backend {

// Time between two passes of the presenter, in ms.
inline constexpr double kPresenterIntervalMs = 10;

// Called by SCREEN_OPEN once the surface is open at its new size (frames.size()): makes the
// window for it, or resizes the one already made for an earlier surface (then it may take
// effect at the next presenter pass); 0 when a window shows the surface, otherwise the error
// number of the failure (ERR_OUT_OF_MEMORY where the window system ran out of memory, else
// ERR_ILLEGAL_FUNCTION_CALL; SCREEN_OPEN then fails and leaves no window thread behind). The
// backend keeps both faces for as long as the program runs. A new window is active: when its
// window system does not report that itself, the backend calls input.focus(true).
Integer open_window(InputSink input, FrameSource frames);

// A line editor takes typed text in `at` (surface pixels, the field) from now on, until
// stop_text_input: a backend on a device without a keyboard opens its on-screen keyboard or input
// method at the field. What is typed still arrives as keys through the input sink, and a
// hardware keyboard types as before. Never waits for the window system.
void start_text_input(const Rect& at);
// No line editor takes typed text any more: an on-screen keyboard opened for it closes, and the
// keys go to the drawing area again.
void stop_text_input();

// The controls the program offers (what its loop polls) or the status text changed: a page
// mirrors them as its own controls for keyboards and screen readers; the headless backend keeps
// a copy for tests; the desktop ignores them. Never waits; `set` is not kept beyond the call.
void controls(const ControlSet& set);

// Sets the window caption; `utf8` is already converted from code page 437. May come before
// the window exists (it then takes the last title given) and may take effect later; never waits
// for the window system.
void set_title(const std::string& utf8);

// Milliseconds on the clock that TIME_SLEEP waits on, the tap latch measures presses with and
// TIME_MS returns (after update): monotonic, and virtual in the headless backend. Cheap:
// INPUT_MOUSE reads it on every poll.
double now_ms();

// Waits `ms` milliseconds on that clock while input and presenter passes go on. For ms <= 0 it
// does not wait, but may run the input and passes already due.
void sleep_ms(double ms);

// Called before every INPUT_MOUSE, INPUT_KEY and INPUT_KEY_KEEP_CLOSE poll, in loops that poll
// without sleeping. Never waits noticeably; may deliver input due by now and run a pass (the
// headless clock moves on by a step, the page hands the browser a turn every display frame).
void before_poll();

// Brings the input up to the present moment without waiting: called by TIME_SLEEP before it
// reads the key-hit flag.
void update();

// False when no key and no close request can ever arrive any more (no window, or nothing left
// in the script): TIME_SLEEP(-1) then returns instead of waiting for ever.
bool key_may_arrive();

// Called by SCREEN_LOCK before it begins a new frame: returns once the presenter has taken
// frame `frame` (frames.taken) or the clock reaches until_ms, running or waiting for the
// presenter meanwhile. Every backend writes it with wait_for_frame (backend_shared.hpp).
void await_frame(FrameSource frames, std::uint64_t frame, double until_ms);

}  // namespace surf::backend
