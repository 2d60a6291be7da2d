// The headless backend: no window and no thread. Time is a virtual clock that TIME_SLEEP
// advances at once, input comes from a script of events at virtual times, and a virtual
// presenter takes the changed rows every 10 ms of that clock.
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "surface/backend.hpp"
#include "surface/backend_shared.hpp"
#include "surface/core.hpp"
#include "surface/headless.hpp"
#include "surface/keys.hpp"
#include "surface/reset.hpp"

namespace {

enum class Kind { Move, Leave, Press, Release, Wheel, Key, Close, Activate };

struct Event {
  Kind kind;
  int a = 0, b = 0;
};

// Each input poll moves the clock on by this much, so loops that poll without sleeping
// still reach the next scripted event.
constexpr double kPollStepMs = 0.01;
constexpr double kPresenterMs = surf::backend::kPresenterIntervalMs;

using SteadyClock = std::chrono::steady_clock;

struct State {
  double clock = 0;
  bool real = false;             // the clock follows the steady clock
  double real_offset = 0;        // clock value at the switch to the real clock
  SteadyClock::time_point real_start{};
  std::multimap<double, Event> script;  // equal times keep their insertion order
  std::multimap<double, std::function<void()>> actions;
  double next_pass = kPresenterMs;  // the virtual presenter's next pass, always after `clock`
  std::vector<std::uint32_t> shown;  // the picture as the presenter last took it
  int shown_width = 0, shown_height = 0;
  bool inside = false;  // the simulated pointer is over the surface: presses and notches reach it
  surf::Rect text_input;  // the field a line editor takes text in (empty while none does)
  surf::ControlSet offered;  // the controls as the surface last handed them on
};

State& state() {
  static State s;
  return s;
}

// Delivers one scripted event the way a window system would: a press or a wheel notch outside
// the window does not reach it, a release does (the window keeps the pointer while a button is
// held).
void deliver(double t, const Event& e) {
  State& s = state();
  surf::InputSink input = surf::core().input();
  switch (e.kind) {
    case Kind::Move: {
      const surf::Frame size = surf::core().frames().size();
      s.inside = e.a >= 0 && e.b >= 0 && e.a < size.width && e.b < size.height;
      input.move(e.a, e.b);
      break;
    }
    case Kind::Leave:
      s.inside = false;
      input.leave();
      break;
    case Kind::Press:
    case Kind::Release:
      for (const int bit : {1, 2, 4})
        if ((e.a & bit) != 0 && (e.kind == Kind::Release || s.inside)) input.button(t, bit, e.kind == Kind::Press);
      break;
    case Kind::Wheel:
      if (s.inside) input.wheel(e.a);
      break;
    case Kind::Key:
      input.key(t, e.a);
      break;
    case Kind::Close:
      input.close();
      break;
    case Kind::Activate:
      input.focus(e.a != 0);
      break;
  }
}

// One pass of the virtual presenter.
void present() {
  State& s = state();
  surf::FrameSource frames = surf::core().frames();
  const surf::Frame frame = frames.take(s.shown);
  if (frame.open) s.shown_width = frame.width, s.shown_height = frame.height;
  frames.shown(frame);
}

// The real clock's reading: the virtual time at the switch plus the steady time since then.
double real_now(const State& s) {
  return s.real_offset + std::chrono::duration<double, std::milli>(SteadyClock::now() - s.real_start).count();
}

// Moves the clock on to `target`: the scripted events and the presenter's passes due by then
// in the order of their times (an event before a pass at the same time), then the actions.
void run_to(double target) {
  State& s = state();
  for (;;) {
    const double event_at = s.script.empty() ? target + 1 : s.script.begin()->first;
    if (event_at <= target && event_at <= s.next_pass) {
      const auto first = s.script.begin();
      const Event e = first->second;
      s.script.erase(first);
      deliver(event_at, e);
    } else if (s.next_pass <= target) {
      present();
      // Nothing is drawn before the next event or the end of this step, so the passes in
      // between would show nothing new: go on with the first one after that.
      const double quiet_until = std::min(event_at, target);
      s.next_pass = std::max(s.next_pass, std::floor(quiet_until / kPresenterMs) * kPresenterMs) + kPresenterMs;
    } else {
      break;
    }
  }
  s.clock = std::max(s.clock, target);
  // Taken off the list before running, so an action that polls or sleeps cannot run twice.
  while (!s.actions.empty() && s.actions.begin()->first <= s.clock) {
    const std::function<void()> action = std::move(s.actions.begin()->second);
    s.actions.erase(s.actions.begin());
    if (action) action();
  }
}

// Moves the clock on by dt ms (virtual) or to the present (real).
void advance(double dt) {
  State& s = state();
  run_to(s.real ? real_now(s) : s.clock + dt);
}

void add(double at_ms, Kind kind, int a = 0, int b = 0) {
  state().script.emplace(at_ms, Event{kind, a, b});
}

}  // namespace

namespace surf::backend {

Integer open_window(InputSink input, FrameSource) {
  input.focus(true);  // a new window has the focus
  return 0;
}

void start_text_input(const Rect& at) { state().text_input = at; }

void stop_text_input() { state().text_input = Rect{}; }

void controls(const ControlSet& set) { state().offered = set; }

void set_title(const std::string&) {}

double now_ms() {
  State& s = state();
  return s.real ? real_now(s) : s.clock;
}

void sleep_ms(double ms) {
  if (state().real && ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
  advance(ms > 0 ? ms : 0);
}

void before_poll() { advance(kPollStepMs); }

void update() { advance(0); }

bool key_may_arrive() {
  for (const auto& [at, e] : state().script)
    if (e.kind == Kind::Key || e.kind == Kind::Close) return true;
  return false;
}

void await_frame(FrameSource frames, std::uint64_t frame, double until_ms) {
  State& s = state();
  wait_for_frame(frames, frame, until_ms, now_ms, [&](double now) {
    const double to = std::min(s.next_pass, until_ms);
    if (s.real) {
      std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(to - now));
      run_to(real_now(s));
    } else {
      run_to(to);
    }
  });
}

}  // namespace surf::backend

namespace headless {

void reset() {
  state() = State{};
  surf::core().reset();
  rt::reset_all();
}

double now_ms() { return surf::backend::now_ms(); }

Field text_input() {
  const surf::Rect& r = state().text_input;
  return r.empty() ? Field{} : Field{r.x0, r.y0, r.x1 - r.x0 + 1, r.y1 - r.y0 + 1};
}

const surf::ControlSet& offered() { return state().offered; }

void use_real_clock(bool real) {
  State& s = state();
  if (real == s.real) return;
  if (real) {
    s.real_offset = s.clock;
    s.real_start = SteadyClock::now();
  } else {
    s.clock = real_now(s);  // the virtual clock goes on from where the real one stood
  }
  s.real = real;
}

void move(double at_ms, int x, int y) { add(at_ms, Kind::Move, x, y); }
void leave(double at_ms) { add(at_ms, Kind::Leave); }
void press(double at_ms, int button) { add(at_ms, Kind::Press, button); }
void release(double at_ms, int button) { add(at_ms, Kind::Release, button); }
void wheel(double at_ms, int notches) { add(at_ms, Kind::Wheel, notches); }
void key(double at_ms, Integer code) { add(at_ms, Kind::Key, code); }
void close_request(double at_ms) { add(at_ms, Kind::Close); }
void activate(double at_ms, bool active) { add(at_ms, Kind::Activate, active ? 1 : 0); }

void at(double at_ms, std::function<void()> action) { state().actions.emplace(at_ms, std::move(action)); }

void type(double at_ms, const std::string& cp437) {
  for (const char ch : cp437) add(at_ms, Kind::Key, static_cast<unsigned char>(ch));
}

void click(double at_ms, int x, int y, double hold_ms) {
  move(at_ms, x, y);
  press(at_ms, 1);
  release(at_ms + hold_ms, 1);
}

std::uint32_t pixel(int x, int y) {
  surf::DrawLock lock(surf::core());
  const surf::Surface& c = lock.surface();
  if (!c.open || x < 0 || y < 0 || x >= c.width || y >= c.height) return 0;
  return c.page[0][static_cast<std::size_t>(y) * static_cast<std::size_t>(c.width) + static_cast<std::size_t>(x)];
}

std::uint32_t shown_pixel(int x, int y) {
  const State& s = state();
  if (x < 0 || y < 0 || x >= s.shown_width || y >= s.shown_height) return 0;
  const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(s.shown_width) + static_cast<std::size_t>(x);
  return i < s.shown.size() ? s.shown[i] : 0;
}

bool write_png(const std::string& path) {
  std::vector<png_byte> rgb;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.format = PNG_FORMAT_RGB;
  {
    surf::DrawLock lock(surf::core());
    const surf::Surface& c = lock.surface();
    if (!c.open) return false;
    image.width = static_cast<png_uint_32>(c.width);
    image.height = static_cast<png_uint_32>(c.height);
    rgb.reserve(c.page[0].size() * 3);
    for (const std::uint32_t p : c.page[0]) {  // 0xXXRRGGBB
      rgb.push_back(static_cast<png_byte>(p >> 16));
      rgb.push_back(static_cast<png_byte>(p >> 8));
      rgb.push_back(static_cast<png_byte>(p));
    }
  }
  const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace headless
