#pragma once
// The surface's shared state: pages, changed rows, drawing state, key queue and mouse.
// The program's thread and the window thread meet only here, under Core::mutex.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "surface/types.hpp"

namespace surf {

// A block of 32-bit pixels: `pitch` pixels from one row to the next.
struct Canvas {
  std::uint32_t* px = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// The viewport in surface pixels; `screen`: primitive coordinates are absolute.
struct Viewport {
  int left = 0, top = 0, width = 0, height = 0;
  bool screen = false;
  bool user_set = false;  // set by SCREEN_SET_VIEW and not reset since
};

// Logical coordinates laid over the viewport.
struct LogicalWindow {
  float x = 0, y = 0, w = 0, h = 0;
  bool active = false;
  bool screen = false;  // screen-oriented: logical y grows downward
};

// Everything a primitive needs besides its target.
struct DrawState {
  std::uint32_t fore = 0xFFFFFFFFu;
  std::uint32_t back = 0xFF000000u;
  Viewport view;
  LogicalWindow win;
  int font_height = 8;  // 8, 14 or 16
  int cursor_row = 0, cursor_col = 0;
};

// The 16-entry ring of key codes with its key-hit flag; the oldest key is dropped when full.
struct KeyQueue {
  static constexpr int kCapacity = 16;
  std::array<Integer, kCapacity> ring{};
  int head = 0, count = 0;
  bool hit = false;

  void push(Integer code) noexcept {
    if (count == kCapacity) {
      head = (head + 1) % kCapacity;
      --count;
    }
    ring[(head + count) % kCapacity] = code;
    ++count;
    hit = true;
  }
  bool pop(Integer& code) noexcept {
    if (count == 0) return false;
    code = ring[head];
    head = (head + 1) % kCapacity;
    --count;
    return true;
  }
};

// The pointer as the window system last reported it.
struct MouseState {
  int x = -1, y = -1;
  int wheel = 0;
  int buttons = 0;      // bit 0 left, bit 1 right, bit 2 middle
  bool inside = false;  // pointer over the drawing area
  bool active = false;  // window is the active window
};

// The one surface of the program.
struct Core {
  std::mutex mutex;  // guards everything below
  bool open = false;
  int width = 0, height = 0, pages = 0;
  std::vector<std::uint32_t> page[2];  // page 0 is drawn on and shown
  std::vector<std::uint8_t> changed;   // one flag per row of page 0
  int lock_count = 0;                  // SCREEN_LOCK nesting
  DrawState draw;
  KeyQueue keys;
  MouseState mouse;
  std::atomic<bool> presenter_waiting{false};  // the window thread wants the mutex

  Canvas canvas(int p) noexcept {
    return Canvas{page[p].data(), width, height, width};
  }
};

// The program's surface.
Core& core();

// Holds Core::mutex for one primitive and marks the rows it wrote as changed when released.
class DrawLock {
 public:
  explicit DrawLock(Core& c);
  ~DrawLock();
  DrawLock(const DrawLock&) = delete;
  DrawLock& operator=(const DrawLock&) = delete;

  // Widens the changed band to rows y0..y1 of page 0 (clamped to the surface).
  void touch(int y0, int y1) noexcept {
    if (y0 < first_) first_ = y0;
    if (y1 > last_) last_ = y1;
  }

 private:
  Core& core_;
  int first_ = 1 << 30;
  int last_ = -(1 << 30);
};

}  // namespace surf
