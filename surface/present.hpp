#pragma once
// Presentation: the pages and what of them has still to be shown, the backdrop that lets a
// frame redrawn whole be compared only where it can differ from the last, the fill that
// SCREEN_CLEAR defers, the handover of completed frames to the presenter, and the source from
// which a backend's presenter takes them.
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "surface/geometry.hpp"
#include "surface/thread_safety.hpp"

namespace surf {

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
  // A presenter pass on an open surface outside any explicit lock: settles the marked rows and
  // brings `staging` (resized to the picture) up to `picture`, copying only what changed since
  // the last pass; a staging buffer of another size takes the whole picture. The runs copied,
  // one per row from top to bottom, go to `spans` when given (appended).
  Frame hand_over(std::vector<std::uint32_t>& staging, std::vector<RowSpan>* spans);
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

// The presenter's side of the surface. size() and take() take the surface mutex, which guards
// the surface and the lock count.
class FrameSource {
 public:
  // Takes from `surface`; `m` guards it and `lock_count`, and `handover` counts the frames.
  FrameSource(SurfaceMutex& m, Surface& surface, const int& lock_count, FrameHandover& handover) noexcept
      : mutex_(m), surface_(surface), lock_count_(lock_count), handover_(handover) {}
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
  // Reports that the rows `frame` took reached the screen: benchmarks time the presenter here,
  // and so it is defined with the rest of the instrumentation, in bench_hook.cpp.
  void shown(const Frame& frame);

 private:
  SurfaceMutex& mutex_;
  Surface& surface_ GUARDED_BY(mutex_);
  const int& lock_count_ GUARDED_BY(mutex_);  // SCREEN_LOCK nesting: no pass while it is not 0
  FrameHandover& handover_;
};

}  // namespace surf
