#pragma once
// The monitor: the one surface of the program, owned by Core under one mutex, where the
// program's thread and the window thread meet. Drawing code reaches the pages through a
// DrawLock; a backend feeds the window system's input through an InputSink (input.hpp) and
// takes pictures through a FrameSource (present.hpp), and sees nothing else.
#include <cstdint>

#include "surface/geometry.hpp"
#include "surface/input.hpp"
#include "surface/present.hpp"
#include "surface/thread_safety.hpp"
#include "surface/types.hpp"

namespace surf {

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
  // How the last press stands at `now`, the INPUT_MOUSE_RELEASE codes: 0 while a button is
  // really held (a release the tap latch holds back counts as done), otherwise 2 when the last
  // came up away from the window (MouseState::released_away), 1 when it came up in it.
  int release_state(double now);
  // The number of close requests in the key queue; nothing is taken.
  int close_requests();

  // The faces a backend gets. They are handed the guarded state, not access to it: each of
  // their calls takes the mutex first, which the analysis cannot see from here.
  InputSink input() noexcept NO_THREAD_SAFETY_ANALYSIS { return InputSink(mutex_, input_, surface_); }
  FrameSource frames() noexcept NO_THREAD_SAFETY_ANALYSIS {
    return FrameSource(mutex_, surface_, lock_count_, handover_);
  }
  FrameHandover& handover() noexcept { return handover_; }

 private:
  friend class DrawLock;

  SurfaceMutex mutex_;
  Surface surface_ GUARDED_BY(mutex_);
  int lock_count_ GUARDED_BY(mutex_) = 0;  // SCREEN_LOCK nesting
  Input input_ GUARDED_BY(mutex_);
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
