// The surface's state, its lock, opening the window, and the input and time services.
#include "surface/core.hpp"

#include <algorithm>
#include <new>
#include <thread>

#include "surface/backend.hpp"
#include "surface/keys.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace surf {

namespace {

// Largest side accepted by SCREEN_OPEN: keeps width * height far from overflow and
// beyond what any window system shows anyway.
constexpr int kMaxSide = 16384;

// Marks rows y0..y1 (clamped) of page 0 as changed; caller holds the mutex.
void mark_rows(Core& c, long long y0, long long y1) {
  if (c.changed.empty()) return;
  y0 = std::max<long long>(y0, 0);
  y1 = std::min<long long>(y1, c.height - 1);
  if (y0 > y1) return;
  std::fill(c.changed.begin() + y0, c.changed.begin() + y1 + 1, std::uint8_t{1});
}

// Reads and clears the key-hit flag.
bool take_key_hit(Core& c) {
  backend::update();
  std::lock_guard lock(c.mutex);
  const bool hit = c.keys.hit;
  c.keys.hit = false;
  return hit;
}

}  // namespace

Core& core() {
  // Never destroyed: the window thread may still read it while static objects go away.
  static Core* const instance = new Core;
  return *instance;
}

DrawLock::DrawLock(Core& c) : core_(c) {
  // Fair handover: a program thread that draws in a tight loop would otherwise retake the
  // mutex before the waiting presenter wakes up, and the picture would freeze. Blocking
  // (rather than yielding) leaves the CPU to the presenter on a busy machine.
  while (c.presenter_waiting.load(std::memory_order_acquire)) c.presenter_waiting.wait(true, std::memory_order_acquire);
  c.mutex.lock();
}

DrawLock::~DrawLock() {
  if (first_ <= last_) mark_rows(core_, first_, last_);
  core_.mutex.unlock();
}

void reset_core(Core& c) {
  std::lock_guard lock(c.mutex);
  c.open = false;
  c.width = c.height = c.pages = 0;
  c.page[0].clear();
  c.page[1].clear();
  c.changed.clear();
  c.lock_count = 0;
  c.draw = DrawState{};
  c.keys = KeyQueue{};
  c.mouse = MouseState{};
}

}  // namespace surf

using surf::Core;

Integer SCREEN_OPEN(Integer width, Integer height, Integer depth, Integer pages, Integer flags, Integer rate) {
  const ErrorContext ctx{"surface", "SCREEN_OPEN"};
  (void)flags;  // full screen and refresh rate are not offered
  (void)rate;
  constexpr Integer kDepths[] = {1, 2, 4, 8, 15, 16, 24, 32};
  if (width <= 0 || height <= 0 || width > surf::kMaxSide || height > surf::kMaxSide ||
      std::find(std::begin(kDepths), std::end(kDepths), depth) == std::end(kDepths)) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  // Every depth is kept as 32-bit pixels; at most two pages exist (page 1 is the only
  // invisible page any caller uses).
  const int npages = std::clamp(pages, 1, 2);
  Core& c = surf::core();
  {
    std::lock_guard lock(c.mutex);
    try {
      const auto n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
      c.page[0].assign(n, 0u);
      if (npages > 1) c.page[1].assign(n, 0u);
      else c.page[1].clear();
      c.changed.assign(static_cast<std::size_t>(height), std::uint8_t{1});
    } catch (const std::bad_alloc&) {
      c.page[0].clear();
      c.page[1].clear();
      c.changed.clear();
      c.open = false;
      c.width = c.height = c.pages = 0;
      RUNTIME_SET_LAST_ERROR(ERR_OUT_OF_MEMORY);
      return ERR_OUT_OF_MEMORY;
    }
    c.width = width;
    c.height = height;
    c.pages = npages;
    c.lock_count = 0;
    c.draw = surf::DrawState{};
    c.draw.view.width = width;
    c.draw.view.height = height;
    c.open = true;
  }
  if (!surf::backend::open_window(c)) {
    std::lock_guard lock(c.mutex);
    c.open = false;
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
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
  std::lock_guard lock(c.mutex);
  ++c.lock_count;
}

void SCREEN_UNLOCK(Integer first_row, Integer last_row) {
  const ErrorContext ctx{"surface", "SCREEN_UNLOCK"};
  Core& c = surf::core();
  std::lock_guard lock(c.mutex);
  if (first_row == -1 && last_row == -1) {
    surf::mark_rows(c, 0, c.height - 1);
  } else {
    surf::mark_rows(c, first_row, last_row == -1 ? c.height - 1 : last_row);
  }
  if (c.lock_count > 0) --c.lock_count;
}

Integer INPUT_MOUSE(Integer& x, Integer& y, Integer& wheel, Integer& buttons, Integer& clip) {
  const ErrorContext ctx{"surface", "INPUT_MOUSE"};
  surf::backend::before_poll();
  Core& c = surf::core();
  std::lock_guard lock(c.mutex);
  const surf::MouseState& m = c.mouse;
  if (!c.open || !m.active || !m.inside) {
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

String INPUT_KEY() {
  const ErrorContext ctx{"surface", "INPUT_KEY"};
  surf::backend::before_poll();
  Core& c = surf::core();
  Integer code = 0;
  {
    std::lock_guard lock(c.mutex);
    c.keys.hit = false;
    if (!c.keys.pop(code)) return String();
  }
  return keys::key_string(code);
}

void TIME_SLEEP(Integer ms) {
  const ErrorContext ctx{"surface", "TIME_SLEEP"};
  Core& c = surf::core();
  constexpr Integer kStep = 50;
  if (ms == -1) {
    // Until a key comes in; checked every 50 ms.
    while (!surf::take_key_hit(c)) {
      if (!surf::backend::key_may_arrive()) return;
      surf::backend::sleep_ms(kStep);
    }
    return;
  }
  if (ms <= 0) return;
  Integer rest = ms;
  if (ms >= 100) {
    while (rest > kStep) {
      if (surf::take_key_hit(c)) return;
      surf::backend::sleep_ms(kStep);
      rest -= kStep;
    }
  }
  surf::backend::sleep_ms(rest);
}
