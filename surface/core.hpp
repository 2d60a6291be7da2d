#pragma once
// The monitor: the one surface of the program, owned by Core under one mutex, where the
// program's thread and the window thread meet. Drawing code reaches the pages through a
// DrawLock; a backend feeds the window system's input through an InputSink and takes pictures
// through a FrameSource, and sees nothing else. The rules those apply live beside it: the
// input rules in input.hpp, presentation in present.hpp.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "surface/geometry.hpp"
#include "surface/input.hpp"
#include "surface/present.hpp"
#include "surface/thread_safety.hpp"
#include "surface/types.hpp"

namespace surf {

// The surface's mutex, with a fair handover to the presenter: a program thread that draws in
// a tight loop would otherwise retake it before the waiting presenter wakes up, and the
// picture would freeze. The program's side blocks (rather than yields) while the presenter
// waits, which leaves the CPU to the presenter on a busy machine.
class CAPABILITY("mutex") SurfaceMutex {
 public:
  // The program's side: lets a waiting presenter in first.
  void lock() ACQUIRE() {
    while (presenter_waiting_.load(std::memory_order_acquire))
      presenter_waiting_.wait(true, std::memory_order_acquire);
    m_.lock();
  }
  // The presenter's side: announces itself, so that the program's side lets it in next.
  void lock_presenter() ACQUIRE() {
    presenter_waiting_.store(true, std::memory_order_release);
    m_.lock();
    presenter_waiting_.store(false, std::memory_order_release);
    presenter_waiting_.notify_all();
  }
  void unlock() RELEASE() { m_.unlock(); }

 private:
  std::mutex m_;
  std::atomic<bool> presenter_waiting_{false};
};

// Holds a SurfaceMutex for a scope, on the program's side or the presenter's.
class SCOPED_CAPABILITY MutexLock {
 public:
  enum Side { Program, Presenter };
  explicit MutexLock(SurfaceMutex& m, Side side = Program) ACQUIRE(m) : m_(m) {
    if (side == Presenter) m_.lock_presenter();
    else m_.lock();
  }
  ~MutexLock() RELEASE() { m_.unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  SurfaceMutex& m_;
};

class Core;

// What the window system reports, as a backend delivers it; applies the surface's mouse and
// key rules, the same for every backend. Each call takes the surface mutex.
class InputSink {
 public:
  explicit InputSink(Core& c) noexcept : core_(c) {}
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
  Core& core_;
};

// The presenter's side of the surface.
class FrameSource {
 public:
  explicit FrameSource(Core& c) noexcept : core_(c) {}
  // The surface's size, nothing taken.
  Frame size();
  // One presenter pass: unless an explicit lock is held, brings `staging` (resized to width x
  // height pixels, rows `width` apart) up to page 0, copying only the pixels that differ from
  // what it took before, and takes every completed frame. The runs it changed, one per row from
  // top to bottom, go to `spans` when given. Gets the mutex ahead of the program's thread.
  Frame take(std::vector<std::uint32_t>& staging, std::vector<RowSpan>* spans = nullptr);
  // True once the presenter has taken frame `frame`.
  bool taken(std::uint64_t frame) const noexcept;
  // Blocks until frame `frame` is taken or `until` has passed (for a presenter on another thread).
  void wait_taken(std::uint64_t frame, std::chrono::steady_clock::time_point until);
  // Reports that the rows `frame` took reached the screen (benchmarks time the presenter here).
  void shown(const Frame& frame);

 private:
  Core& core_;
};

// The one surface of the program.
class Core {
 public:
  Core() = default;
  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  // SCREEN_OPEN's part: zeroed pages of width x height pixels, all still to be shown, the drawing
  // state at its defaults and the lock count 0. 0, or ERR_OUT_OF_MEMORY with no surface.
  Integer open(int width, int height, int pages);
  // No surface any more (the window could not be made); the pages stay allocated.
  void close();
  // Back to the state before the first open: pages freed, input and frame counts cleared.
  void reset();

  // The number of the last frame completed when no explicit lock is held (a SCREEN_LOCK would
  // begin the next frame over it), otherwise 0.
  std::uint64_t frame_to_keep();
  // SCREEN_LOCK: one more explicit lock.
  void lock_screen();
  // SCREEN_UNLOCK: marks rows first..last (clamped) changed and drops one explicit lock; the
  // number of the frame this completed (the count came back to 0 on an open surface), or 0.
  std::uint64_t unlock_screen(long long first_row, long long last_row);
  // Nesting depth of explicit locks.
  int lock_count();

  // INPUT_MOUSE's reading at `now` (ms on the backend's clock) into `out`; false when the
  // window is closed or inactive or the pointer is outside.
  bool poll_mouse(double now, MouseState& out);
  // Takes the oldest key into `code` and clears the key-hit flag; false when none waits. With
  // `keep_close` a close request is only looked at and stays at the front.
  bool take_key(Integer& code, bool keep_close);
  // Reads and clears the key-hit flag.
  bool take_key_hit();

  // The faces a backend gets.
  InputSink input() noexcept { return InputSink(*this); }
  FrameSource frames() noexcept { return FrameSource(*this); }
  FrameHandover& handover() noexcept { return handover_; }

 private:
  friend class DrawLock;
  friend class InputSink;
  friend class FrameSource;

  SurfaceMutex mutex_;
  Surface surface_ GUARDED_BY(mutex_);
  int lock_count_ GUARDED_BY(mutex_) = 0;  // SCREEN_LOCK nesting
  KeyQueue keys_ GUARDED_BY(mutex_);
  MouseState mouse_ GUARDED_BY(mutex_);
  TapLatch latch_ GUARDED_BY(mutex_);
  FrameHandover handover_;
};

// The program's surface.
Core& core();

// A colour argument as a pixel: its 32 bits as they are.
inline std::uint32_t px(Integer colour) noexcept { return static_cast<std::uint32_t>(colour); }

// Holds the surface mutex for drawing code and gives it the pages; marks the rows it wrote
// as changed when released.
class SCOPED_CAPABILITY DrawLock {
 public:
  explicit DrawLock(Core& c) ACQUIRE(c.mutex_);
  ~DrawLock() RELEASE();
  DrawLock(const DrawLock&) = delete;
  DrawLock& operator=(const DrawLock&) = delete;

  // The pages and the drawing state. This lock holds the mutex for as long as it lives, which
  // the analysis cannot follow through a member.
  Surface& surface() noexcept NO_THREAD_SAFETY_ANALYSIS {
    core_.surface_.write_deferred();
    return core_.surface_;
  }
  // The same with a deferred fill left unwritten, for drawing code that writes it itself.
  Surface& surface_as_is() noexcept NO_THREAD_SAFETY_ANALYSIS { return core_.surface_; }
  // Nesting depth of explicit locks (SCREEN_LOCK).
  int lock_count() const noexcept NO_THREAD_SAFETY_ANALYSIS { return core_.lock_count_; }

  // Widens the changed band to rows y0..y1 of page 0 (clamped to the surface when released), in
  // columns x0..x1 (every column by default).
  void touch(int y0, int y1, int x0 = 0, int x1 = 1 << 30) noexcept { rows_.add(y0, y1, x0, x1); }
  // Widens the changed band to what a primitive wrote.
  void touch(const Rows& rows) noexcept {
    if (rows.any()) rows_.add(rows.y0, rows.y1, rows.x0, rows.x1);
  }

 private:
  Core& core_;
  Rows rows_;
};

}  // namespace surf
