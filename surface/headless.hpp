#pragma once
// Control of the headless backend, for tests, benchmarks and the snapshot tool:
// a virtual clock, scripted input at virtual times, and pixel read-back.
// Linked only into programs built against the headless backend.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "surface/controls.hpp"
#include "surface/key_table.hpp"
#include "surface/types.hpp"

namespace headless {

// Forgets the surface, the script and all input state and puts every module's registered state
// back (surface/reset.hpp), as in a new process; the clock restarts at 0 and is virtual again.
void reset();

// Switches the clock that TIME_SLEEP waits on. Real (true): TIME_SLEEP really sleeps and
// now_ms() follows the steady clock from the moment of the switch onward, so frame loops can
// be timed with their pauses; scripted input then comes due at those real times. Virtual
// (false, the default): the clock only moves when the program sleeps or polls.
void use_real_clock(bool real);

// The clock in milliseconds since reset. Virtual: TIME_SLEEP advances it at once by the time
// it waits; every INPUT_MOUSE and INPUT_KEY poll advances it by 0.01 ms, so that loops which
// poll without sleeping still reach the next scripted event. A virtual presenter takes the
// changed rows every 10 ms of it; SCREEN_LOCK that begins a frame waits until it has taken the
// last frame completed.
double now_ms();

// Scripted input, each taking effect once the virtual clock reaches `at_ms`.
void move(double at_ms, int x, int y);          // pointer to surface pixel (x, y); outside the surface leaves the window
void leave(double at_ms);                       // pointer leaves the window
void press(double at_ms, int button = 1);       // button bit: 1 left, 2 right, 4 middle; ignored outside
void release(double at_ms, int button = 1);     // seen even outside (the window holds the pointer)
void wheel(double at_ms, int notches);          // +1 per notch up, -1 per notch down
void key(double at_ms, Integer code);           // a key code as INPUT_KEY encodes it (< 256, or 255 + 256 * scan)
// The same for a key given as INPUT_KEY returns it (KEY_END, "a"); a text no key gives is ignored.
inline void key(double at_ms, std::string_view text) {
  if (const Integer code = surf::key_code(text); code >= 0) key(at_ms, code);
}
void type(double at_ms, const std::string& cp437);  // one key per byte
void close_request(double at_ms);               // the window's close button
void activate(double at_ms, bool active);       // window activation; deactivation clears buttons

// A whole click at (x, y): move, press at at_ms, release at at_ms + hold_ms.
void click(double at_ms, int x, int y, double hold_ms = 30);

// Runs `action` once when the virtual clock reaches at_ms, after the input events due by then
// and outside the surface mutex (so it may read pixels or write a PNG); for pictures taken
// at a given virtual time from inside a running program loop.
void at(double at_ms, std::function<void()> action);

// A rectangle of surface pixels: top-left corner and size.
struct Field {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Field&) const = default;
};
// The field a line editor takes typed text in, as it told the backend; all 0 while none does.
Field text_input();

// The controls the program offers and its status text, as the surface last handed them on.
const surf::ControlSet& offered();

// Page 0 pixel at (x, y) (top byte as written), or 0 outside the surface.
std::uint32_t pixel(int x, int y);
// The pixel at (x, y) as the virtual presenter last took it, or 0 outside what it took.
std::uint32_t shown_pixel(int x, int y);
// Writes page 0 as an RGB PNG; false on failure.
bool write_png(const std::string& path);

}  // namespace headless
