// The entry points that reach the window system: opening the window and its title, the
// explicit lock, the input polls, the sleep and the clock.
#include <algorithm>
#include <iterator>

#include "surface/backend.hpp"
#include "surface/bench_hook.hpp"
#include "surface/core.hpp"
#include "surface/keys.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

using surf::Core;

namespace {

// Largest side accepted by SCREEN_OPEN: keeps width * height far from overflow and
// beyond what any window system shows anyway.
constexpr int kMaxSide = 16384;

// Reads and clears the key-hit flag once the input is up to date.
bool take_key_hit(Core& c) {
  surf::backend::update();
  return c.take_key_hit();
}

// The oldest key as INPUT_KEY returns it; see INPUT_KEY_KEEP_CLOSE for `keep_close`.
String read_key(const char* procedure, bool keep_close) {
  const ErrorContext ctx{"surface", procedure};
  surf::backend::before_poll();
  Integer code = 0;
  if (!surf::core().take_key(code, keep_close, surf::backend::now_ms())) return String();
  return keys::key_string(code);
}

}  // namespace

Integer SCREEN_OPEN(Integer width, Integer height, Integer depth, Integer pages, Integer flags, Integer rate) {
  const ErrorContext ctx{"surface", "SCREEN_OPEN"};
  rt::start();  // before any connection to a window system exists
  (void)flags;  // full screen and refresh rate are not offered
  (void)rate;
  constexpr Integer kDepths[] = {1, 2, 4, 8, 15, 16, 24, 32};
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      std::find(std::begin(kDepths), std::end(kDepths), depth) == std::end(kDepths)) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  // Every depth is kept as 32-bit pixels; at most two pages exist (page 1 is the only
  // invisible page any caller uses).
  Core& c = surf::core();
  if (c.open(width, height, std::clamp(pages, 1, 2)) != 0) {
    RUNTIME_SET_LAST_ERROR(ERR_OUT_OF_MEMORY);
    return ERR_OUT_OF_MEMORY;
  }
  if (const Integer failed = surf::backend::open_window(c.input(), c.frames()); failed != 0) {
    c.close();
    RUNTIME_SET_LAST_ERROR(failed);
    return failed;
  }
  surf::clear_offered();  // a new window offers nothing until its loop polls
  RUNTIME_SET_LAST_ERROR(0);
  return 0;
}

void SCREEN_SET_TITLE(const String& text) {
  const ErrorContext ctx{"surface", "SCREEN_SET_TITLE"};
  surf::backend::set_title(keys::cp437_to_utf8(std::string_view(text).substr(0, 127)));
}

void SCREEN_LOCK() {
  const ErrorContext ctx{"surface", "SCREEN_LOCK"};
  Core& c = surf::core();
  // Every frame composed under the lock reaches the screen: a new frame begins over the last one
  // only once the presenter has taken it, waiting at most two presenter intervals should the
  // presenter stall. Drawing outside an explicit lock never waits.
  const std::uint64_t last = c.frame_to_keep();
  if (last != 0 && surf::bench::frame_handover())
    surf::backend::await_frame(c.frames(), last, surf::backend::now_ms() + 2 * surf::backend::kPresenterIntervalMs);
  c.lock_screen();
}

void SCREEN_UNLOCK(Integer first_row, Integer last_row) {
  const ErrorContext ctx{"surface", "SCREEN_UNLOCK"};
  surf::core().unlock_screen(first_row, last_row);
}

Integer INPUT_MOUSE(Integer& x, Integer& y, Integer& wheel, Integer& buttons, Integer& clip) {
  const ErrorContext ctx{"surface", "INPUT_MOUSE"};
  surf::backend::before_poll();
  surf::MouseState m;
  if (!surf::core().poll_mouse(surf::backend::now_ms(), m)) {
    x = y = wheel = buttons = clip = -1;
    return 1;
  }
  x = m.x;
  y = m.y;
  wheel = m.wheel;
  buttons = m.buttons;
  clip = 0;
  return 0;
}

void SCREEN_TEXT_INPUT(Integer x, Integer y, Integer w, Integer h) {
  const ErrorContext ctx{"surface", "SCREEN_TEXT_INPUT"};
  // Any numbers give a rectangle of at least one pixel that stays far from overflow.
  const auto clamp = [](Integer v) { return static_cast<int>(std::clamp<Integer>(v, -(1 << 24), 1 << 24)); };
  const int x0 = clamp(x), y0 = clamp(y);
  surf::backend::start_text_input(
      surf::Rect{x0, y0, x0 + std::max(clamp(w), 1) - 1, y0 + std::max(clamp(h), 1) - 1});
}

void SCREEN_STATUS_TEXT(const String& text) {
  const ErrorContext ctx{"surface", "SCREEN_STATUS_TEXT"};
  surf::offer_status(text);
}

void SCREEN_TEXT_INPUT_END() {
  const ErrorContext ctx{"surface", "SCREEN_TEXT_INPUT_END"};
  surf::backend::stop_text_input();
}

Integer INPUT_MOUSE_RELEASE() {
  const ErrorContext ctx{"surface", "INPUT_MOUSE_RELEASE"};
  // No step of the input clock: callers ask right after a poll, which brought the input up to date.
  return surf::core().release_state(surf::backend::now_ms());
}

Integer INPUT_CLOSE_REQUESTS() {
  const ErrorContext ctx{"surface", "INPUT_CLOSE_REQUESTS"};
  return surf::core().close_requests();
}

String INPUT_KEY() { return read_key("INPUT_KEY", false); }

String INPUT_KEY_KEEP_CLOSE() { return read_key("INPUT_KEY_KEEP_CLOSE", true); }

void TIME_SLEEP(Integer ms) {
  const ErrorContext ctx{"surface", "TIME_SLEEP"};
  Core& c = surf::core();
  constexpr Integer kStep = 50;
  if (ms == -1) {
    // Until a key comes in; checked every 50 ms.
    while (!take_key_hit(c)) {
      if (!surf::backend::key_may_arrive()) return;
      surf::backend::sleep_ms(kStep);
    }
    return;
  }
  if (ms <= 0) return;
  Integer rest = ms;
  if (ms >= 100) {
    while (rest > kStep) {
      if (take_key_hit(c)) return;
      surf::backend::sleep_ms(kStep);
      rest -= kStep;
    }
  }
  surf::backend::sleep_ms(rest);
}

Double TIME_MS() {
  const ErrorContext ctx{"surface", "TIME_MS"};
  // The browser's backend keeps only the clock's last reading between polls; a loop that reads
  // the clock without polling would see it stand still.
  surf::backend::update();
  return surf::backend::now_ms();
}
