// The surface's state: opening and resetting it, the explicit lock, the program's side of the
// input, and the drawing lock.
#include "surface/core.hpp"

#include <new>

#include "surface/runtime.hpp"

namespace surf {

// ---- Core -------------------------------------------------------------------------------------------------

Core& core() {
  // Never destroyed: the window thread may still read it while static objects go away.
  static Core* const instance = new Core;
  return *instance;
}

Integer Core::open(int width, int height, int pages) {
  MutexLock lock(mutex_);
  Surface& s = surface_;
  try {
    const auto n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    s.page[0].assign(n, 0u);
    if (pages > 1) s.page[1].assign(n, 0u);
    else s.page[1].clear();
    s.changed.assign(static_cast<std::size_t>(height), std::uint8_t{0});
    // The zeroed page is already settled, and all of it still has to be shown.
    s.picture.assign(n, 0u);
    s.pending.assign(static_cast<std::size_t>(height), Surface::Run{0, width - 1});
    s.deferred.pending = false;
    for (Backdrop* b : {&s.backdrop, &s.settled_backdrop}) {
      b->clear();
      b->covers.reserve(Backdrop::kMaxCovers);
    }
  } catch (const std::bad_alloc&) {
    s = Surface{};
    return ERR_OUT_OF_MEMORY;
  }
  s.width = width;
  s.height = height;
  s.pages = pages;
  lock_count_ = 0;
  s.draw = DrawState{};
  s.draw.view.width = width;
  s.draw.view.height = height;
  s.open = true;
  return 0;
}

void Core::close() {
  MutexLock lock(mutex_);
  surface_.open = false;
}

void Core::reset() {
  MutexLock lock(mutex_);
  surface_ = Surface{};
  lock_count_ = 0;
  input_ = Input{};
  handover_.reset();
}

void Core::lock_screen() {
  MutexLock lock(mutex_);
  if (lock_count_++ == 0) surface_.backdrop.clear();  // a new frame lays down its own
}

std::uint64_t Core::unlock_screen(long long first_row, long long last_row) {
  MutexLock lock(mutex_);
  // -1, -1: every row; a last row of -1: to the bottom. Only the rows: every primitive has
  // already widened the changed columns to what it wrote, and no pixel changes otherwise.
  if (first_row == -1 && last_row == -1) surface_.flag_rows(0, surface_.height - 1);
  else surface_.flag_rows(first_row, last_row == -1 ? surface_.height - 1 : last_row);
  if (lock_count_ == 0) return 0;
  --lock_count_;
  if (lock_count_ != 0) return 0;
  surface_.write_deferred();
  if (!surface_.open) return 0;
  // Compared here, on the thread that just drew the frame and still holds it in its cache.
  surface_.settle(true);
  return handover_.complete();
}

std::uint64_t Core::frame_to_keep() {
  MutexLock lock(mutex_);
  return lock_count_ == 0 && surface_.open ? handover_.completed() : 0;
}

int Core::lock_count() {
  MutexLock lock(mutex_);
  return lock_count_;
}

bool Core::poll_mouse(double now, MouseState& out) {
  MutexLock lock(mutex_);
  MouseState& m = input_.mouse;
  m.buttons &= ~input_.latch.due(now);
  if (!surface_.open || !m.active || !m.inside) return false;
  out = m;
  input_.latch.seen(m.buttons);
  return true;
}

bool Core::take_key(Integer& code, bool keep_close, double now) {
  MutexLock lock(mutex_);
  input_.last_read = now;
  input_.keys.hit = false;
  const int before = input_.keys.count;
  const bool got = input_.keys.pop(code, keep_close);
  Integer next = 0;
  if (input_.keys.count < before && input_.backlog.pop(next)) {
    input_.keys.push(next);
    input_.keys.hit = false;  // not a new key: it was typed before this read
  }
  return got;
}

bool Core::take_key_hit() {
  MutexLock lock(mutex_);
  const bool hit = input_.keys.hit;
  input_.keys.hit = false;
  return hit;
}

int Core::release_state(double now) {
  MutexLock lock(mutex_);
  MouseState& m = input_.mouse;
  m.buttons &= ~input_.latch.due(now);
  if ((m.buttons & ~input_.latch.held_back()) != 0) return 0;
  return m.released_away ? 2 : 1;
}

int Core::close_requests() {
  MutexLock lock(mutex_);
  return input_.keys.closes();
}

// ---- Drawing lock -----------------------------------------------------------------------------------------

DrawLock::DrawLock(Core& c) : core_(c) { c.mutex_.lock(); }

DrawLock::~DrawLock() {
  if (rows_.any()) core_.surface_.drawn(rows_.y0, rows_.y1, rows_.x0, rows_.x1);
  core_.mutex_.unlock();
}

}  // namespace surf
