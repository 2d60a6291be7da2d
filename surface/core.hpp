#pragma once
// The surface's shared state: pages, changed rows, drawing state, key queue and mouse, owned
// by Core under one mutex. The program's thread and the window thread meet only here.
// Drawing code reaches the pages through a DrawLock; a backend feeds the window system's input
// through an InputSink and takes pictures through a FrameSource, and sees nothing else.
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "surface/thread_safety.hpp"
#include "surface/types.hpp"

namespace surf {

// A block of 32-bit pixels: `pitch` pixels from one row to the next.
struct Canvas {
  std::uint32_t* px = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// A pixel position; either coordinate may be NaN, infinite or far outside any canvas.
struct Point {
  double x = 0, y = 0;
  bool finite() const noexcept { return std::isfinite(x) && std::isfinite(y); }
};

// Inclusive pixel rectangle; empty when x1 < x0 or y1 < y0.
struct Rect {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  bool empty() const noexcept { return x1 < x0 || y1 < y0; }
  bool contains(double x, double y) const noexcept { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
  bool contains(Point p) const noexcept { return contains(p.x, p.y); }
  bool operator==(const Rect&) const = default;
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

// What a frame lays down first and then draws over: opaque layers, each a fill of a rectangle
// with one colour or a copy of an image. When two frames in a row lay down the same layers,
// a pixel inside them can differ between the two only where either frame drew over them
// otherwise, and nowhere else need the frames be compared.
struct Backdrop {
  // Every pixel of `box` set to `colour` (stamp 0), or to the image with that stamp placed with
  // its top-left corner at (at_x, at_y).
  struct Layer {
    std::uint64_t stamp = 0;
    std::uint32_t colour = 0;
    double at_x = 0, at_y = 0;
    Rect box;
    bool operator==(const Layer&) const = default;
  };
  static constexpr std::size_t kMaxLayers = 4, kMaxCovers = 64;
  std::size_t count = 0;    // layers laid down
  bool overflow = false;    // more than fit: nothing can be left out
  std::vector<Rect> covers;  // what was drawn over them otherwise (clamped to +-2^30)
  std::array<Layer, kMaxLayers> layers{};

  // True when `other` laid down the same layers and neither lost track of its covers.
  bool same_as(const Backdrop& other) const noexcept {
    return count != 0 && count == other.count && !overflow && !other.overflow &&
           std::equal(layers.begin(), layers.begin() + static_cast<std::ptrdiff_t>(count), other.layers.begin());
  }
  // Lays down one more layer.
  void lay(const Layer& layer) noexcept {
    if (count < kMaxLayers) layers[count++] = layer;
    else overflow = true;
  }
  // Notes that pixels x0..x1 of rows y0..y1 were drawn other than as a layer; never allocates
  // (the covers are reserved when the surface opens). What comes before the first layer does
  // not matter, and costs SCREEN_PSET no more than this test.
  void cover(long long y0, long long y1, long long x0, long long x1) noexcept {
    if (count != 0) [[unlikely]] add_cover(y0, y1, x0, x1);
  }
  // No layers; the covers keep their room.
  void clear() noexcept {
    count = 0;
    covers.clear();
    overflow = false;
  }

 private:
  void add_cover(long long y0, long long y1, long long x0, long long x1) noexcept;
};

// The pages and what is drawn on them: what a DrawLock hands to drawing code.
struct Surface {
  bool open = false;
  int width = 0, height = 0, pages = 0;
  std::vector<std::uint32_t> page[2];  // page 0 is drawn on and shown
  std::vector<std::uint8_t> changed;   // one flag per row of page 0
  // The columns the changed rows may differ in since they were last compared with `picture`
  // (empty when x1 < x0): one band for all rows, so that a frame drawn in a viewport is
  // compared no wider.
  int changed_x0 = 1 << 30, changed_x1 = -(1 << 30);
  // Next to the marks: SCREEN_PSET reads the drawing state and writes the marks on every
  // integration step.
  DrawState draw;
  // Page 0 as it was last compared in the marked rows: what the presenter is handed. A frame
  // redrawn whole mostly repeats what was shown, and only what differs goes on to the screen.
  std::vector<std::uint32_t> picture;
  // Per row, the pixels of `picture` that may differ from what the presenter last took.
  struct Run {
    int x0 = 1 << 30, x1 = -(1 << 30);
    bool empty() const noexcept { return x1 < x0; }
  };
  std::vector<Run> pending;
  // The backdrop of the frame being drawn, and that of the last frame settled as long as
  // `picture` still holds it.
  Backdrop backdrop, settled_backdrop;
  // A fill of page 0 not yet written. SCREEN_CLEAR inside a frame leaves its fill here until
  // something else needs the page, so that a copy the frame lays over it next writes those
  // pixels only once.
  struct DeferredFill {
    Rect box;
    std::uint32_t colour = 0;
    bool pending = false;
  } deferred;

  Canvas canvas(int p) noexcept { return Canvas{page[p].data(), width, height, width}; }
  // Marks row y of page 0, which lies on the surface, changed: the one place rows are marked.
  // Inline: SCREEN_PSET marks its row on every integration step.
  void touch_row(std::size_t y) noexcept { changed[y] = 1; }
  // Widens the changed columns to x0..x1 (clamped to the surface when taken).
  void touch_columns(int x0, int x1) noexcept {
    if (x0 < changed_x0) changed_x0 = x0;
    if (x1 > changed_x1) changed_x1 = x1;
  }
  // Flags rows y0..y1 of page 0, clamped to the surface, and leaves the columns as they are.
  // Returns false when no row of the band lies on the surface.
  bool flag_rows(long long y0, long long y1) noexcept {
    if (y0 < 0) y0 = 0;
    if (y1 > static_cast<long long>(changed.size()) - 1) y1 = static_cast<long long>(changed.size()) - 1;
    for (long long y = y0; y <= y1; ++y) touch_row(static_cast<std::size_t>(y));
    return y0 <= y1;
  }
  // Marks rows y0..y1 of page 0, clamped to the surface, changed in columns x0..x1 (every column
  // by default).
  void touch_rows(long long y0, long long y1, int x0 = 0, int x1 = 1 << 30) noexcept {
    if (flag_rows(y0, y1)) touch_columns(x0, x1);
  }
  // Pixels x0..x1 of rows y0..y1 of page 0 were drawn, other than as a layer of the backdrop.
  void drawn(long long y0, long long y1, int x0 = 0, int x1 = 1 << 30) noexcept {
    touch_rows(y0, y1, x0, x1);
    backdrop.cover(y0, y1, x0, x1);
  }
  // drawn() for pixel (x, y) of page 0, which lies on the surface; inline, since SCREEN_PSET
  // draws one on every integration step.
  void drawn_pixel(int x, int y) noexcept {
    touch_row(static_cast<std::size_t>(y));
    touch_columns(x, x);
    backdrop.cover(y, y, x, x);
  }
  // Pixels x0..x1 of rows y0..y1 of page 0 were all set as `layer` says: inside a frame, one
  // more layer of its backdrop.
  void laid(const Backdrop::Layer& layer, bool in_frame) noexcept {
    touch_rows(layer.box.y0, layer.box.y1, layer.box.x0, layer.box.x1);
    if (in_frame) backdrop.lay(layer);
  }
  // Writes the deferred fill, except in `kept` (pixels the caller is about to write itself).
  void write_deferred(const Rect& kept = {}) noexcept {
    if (deferred.pending) write_deferred_fill(kept);
  }
  void write_deferred_fill(const Rect& kept) noexcept;  // the part out of line
  // Brings `picture` up to page 0 in the marked rows and columns, copying the pixels that
  // differ and adding them to `pending`, and clears the marks. At the end of a frame
  // (`frame_end`) that laid down the same backdrop as the last, what lies inside its layers and
  // under neither frame's covers is left out: it is the same in both.
  void settle(bool frame_end) noexcept;
};

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

// The count of frames composed under an explicit lock on their way to the screen, and a wait
// for the presenter to take one: SCREEN_LOCK that begins a new frame first waits, bounded,
// until the presenter has taken the last one completed, which the new one would replace.
class FrameHandover {
 public:
  // A frame was completed; its number (from 1). Called under the surface mutex.
  std::uint64_t complete() noexcept { return completed_.fetch_add(1) + 1; }
  // The presenter took the picture holding every frame completed so far. Called under the
  // surface mutex, so no frame completes meanwhile.
  void take();
  // True once the presenter has taken frame `frame`.
  bool taken(std::uint64_t frame) const noexcept { return taken_.load() >= frame; }
  // Blocks until frame `frame` is taken or `until` has passed (for a presenter on another thread).
  void wait_taken(std::uint64_t frame, std::chrono::steady_clock::time_point until);
  // Frames completed, and how many of them the presenter took (the others it never saw).
  std::uint64_t completed() const noexcept { return completed_.load(); }
  std::uint64_t shown() const noexcept { return shown_.load(); }
  // Forgets every frame.
  void reset() noexcept;

 private:
  std::atomic<std::uint64_t> completed_{0}, taken_{0}, shown_{0};
  std::mutex m_;  // orders take() before the waiting thread's sleep: no wake-up is lost
  std::condition_variable cv_;
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

// What a presenter pass took from the surface.
struct Frame {
  bool open = false;
  int width = 0, height = 0;  // the surface's size (0 while none is open)
  // The bounding box of the pixels the pass changed in the staging buffer (every other pixel
  // there is as before).
  int y0 = 0, y1 = -1;
  int x0 = 0, x1 = -1;
  bool has_rows() const noexcept { return y0 <= y1; }
};

// Pixels x0..x1 of row y: the part of one row a presenter pass changed.
struct RowSpan {
  int y = 0, x0 = 0, x1 = -1;
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
  // How the last press stands at `now`, the INPUT_MOUSE_RELEASE codes: 0 while a button is
  // really held (a release the tap latch holds back counts as done), otherwise 2 when the last
  // came up away from the window (MouseState::released_away), 1 when it came up in it.
  int release_state(double now);
  // The number of close requests in the key queue; nothing is taken.
  int close_requests();

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

  // Widens the changed band to rows y0..y1 of page 0 (clamped to the surface), in columns
  // x0..x1 (every column by default).
  void touch(int y0, int y1, int x0 = 0, int x1 = 1 << 30) noexcept {
    if (y0 < first_) first_ = y0;
    if (y1 > last_) last_ = y1;
    if (x0 < left_) left_ = x0;
    if (x1 > right_) right_ = x1;
  }

 private:
  Core& core_;
  int first_ = 1 << 30;
  int last_ = -(1 << 30);
  int left_ = 1 << 30;
  int right_ = -(1 << 30);
};

}  // namespace surf
