#pragma once
// The input rules, the same for every backend: the key queue, the pointer as the surface
// reports it, the stretching of short presses, and the sink through which a backend feeds them
// what the window system reports. Core keeps the state under the surface mutex.
#include <array>

#include "surface/present.hpp"
#include "surface/thread_safety.hpp"
#include "surface/types.hpp"

namespace surf {

// Index of button bit 1, 2 or 4 in a TapLatch; -1 for anything else.
constexpr int button_index(int bit) noexcept { return bit == 1 ? 0 : bit == 2 ? 1 : bit == 4 ? 2 : -1; }

// The 16-entry ring of key codes with its key-hit flag.
struct KeyQueue {
  static constexpr int kCapacity = 16;
  std::array<Integer, kCapacity> ring{};
  int head = 0, count = 0;
  bool hit = false;

  // Appends `code` and sets the key-hit flag. A full queue first drops its oldest key that is
  // not the window's close request (the oldest of all when every key is one).
  void push(Integer code) noexcept;
  // Takes the oldest key into `code`; false when none waits. With `keep_close` a close request
  // is only looked at and stays at the front.
  bool pop(Integer& code, bool keep_close = false) noexcept;
  // The number of close requests waiting; nothing is taken.
  int closes() const noexcept;
};

// The pointer as the surface reports it.
struct MouseState {
  int x = -1, y = -1;
  int wheel = 0;
  int buttons = 0;      // bit 0 left, bit 1 right, bit 2 middle
  bool inside = false;  // pointer over the drawing area
  bool active = false;  // window is the active window
  // The buttons were last let go while the pointer was outside the drawing area or the window
  // inactive (deactivation counts); a press clears it.
  bool released_away = false;
};

// Short presses stretched so that every widget of a polling loop sees them (a touchpad tap
// gives a press and its release within a few milliseconds, and a loop that samples the mouse
// every 50 ms would miss it). A release that arrives less than kTapMs after its press takes
// effect kTapMs after the press, at the first poll from then on, and never at the poll that
// first reports the press. Nothing is queued: a second press only renews the first.
class TapLatch {
 public:
  // A press needs to last this long: a pass of the 50 ms idle loops with room to spare.
  static constexpr double kTapMs = 100;

  // Button `bit` went down at `t` (ms on the backend's clock).
  void press(int bit, double t) noexcept;
  // Button `bit` came up at `t`: true when the release takes effect now.
  bool release(int bit, double t) noexcept;
  // The buttons whose stretched release is due at a poll at `now`.
  int due(double now) noexcept;
  // A poll reported `buttons` as held.
  void seen(int buttons) noexcept;
  // The buttons whose release has happened but does not show yet.
  int held_back() const noexcept;
  // Forgets every press (the buttons were cleared).
  void clear() noexcept { presses_ = {}; }

 private:
  struct Press {
    double at = 0;
    bool seen = false;     // a poll has reported it
    bool pending = false;  // its release waits
  };
  std::array<Press, 3> presses_{};  // left, right, middle
};

// The input state: what the sink feeds and the program's polls read.
struct Input {
  KeyQueue keys;
  MouseState mouse;
  TapLatch latch;
};

// What the window system reports, as a backend delivers it; applies the surface's mouse and
// key rules, the same for every backend. Each call takes the surface mutex (on the presenter's
// side), which guards the input state and the surface it is given.
class InputSink {
 public:
  // Feeds `input`; `m` guards it and `surface`.
  InputSink(SurfaceMutex& m, Input& input, const Surface& surface) noexcept
      : mutex_(m), input_(input), surface_(surface) {}
  // The pointer is at surface pixel (x, y); it is inside when that lies on the surface.
  void move(int x, int y);
  // The pointer left the drawing area.
  void leave();
  // Button `bit` (1 left, 2 right, 4 middle) went down or up at `t` ms on the backend's clock;
  // a short press is stretched (TapLatch).
  void button(double t, int bit, bool down);
  // The window system says only the buttons in `mask` are held (its answer when the pointer
  // comes back): any other button counts as released at `t`.
  void held(double t, int mask);
  // Wheel notches: +1 per notch up, -1 per notch down.
  void wheel(int notches);
  // The window became active or inactive; either way no button is held any more.
  void focus(bool active);
  // A key code as INPUT_KEY encodes it.
  void key(Integer code);
  // The window's close request.
  void close();

 private:
  SurfaceMutex& mutex_;
  Input& input_ GUARDED_BY(mutex_);
  const Surface& surface_ GUARDED_BY(mutex_);  // for its size
};

}  // namespace surf
