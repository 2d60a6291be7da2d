// The surface's state and its faces (drawing lock, input sink, frame source), opening the
// window, and the lock, input and time services.
#include "surface/core.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "surface/backend.hpp"
#include "surface/bench_hook.hpp"
#include "surface/keys.hpp"
#include "surface/raster_line.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace surf {

namespace {

// Largest side accepted by SCREEN_OPEN: keeps width * height far from overflow and
// beyond what any window system shows anyway.
constexpr int kMaxSide = 16384;

// Index of button bit 1, 2 or 4 in a TapLatch; -1 for anything else.
int button_index(int bit) noexcept { return bit == 1 ? 0 : bit == 2 ? 1 : bit == 4 ? 2 : -1; }

}  // namespace

// ---- Key queue ------------------------------------------------------------------------------------

void KeyQueue::push(Integer code) noexcept {
  if (count == kCapacity) {
    // Drop the oldest key that is not a close request: the keys before it move up one place.
    int drop = 0;
    while (drop < count - 1 && ring[(head + drop) % kCapacity] == keys::kClose) ++drop;
    for (int i = drop; i > 0; --i) ring[(head + i) % kCapacity] = ring[(head + i - 1) % kCapacity];
    head = (head + 1) % kCapacity;
    --count;
  }
  ring[(head + count) % kCapacity] = code;
  ++count;
  hit = true;
}

bool KeyQueue::pop(Integer& code, bool keep_close) noexcept {
  if (count == 0) return false;
  code = ring[head];
  if (keep_close && code == keys::kClose) return true;
  head = (head + 1) % kCapacity;
  --count;
  return true;
}

int KeyQueue::closes() const noexcept {
  int n = 0;
  for (int i = 0; i < count; ++i) n += ring[(head + i) % kCapacity] == keys::kClose;
  return n;
}

// ---- Tap latch --------------------------------------------------------------------------------------

void TapLatch::press(int bit, double t) noexcept {
  const int i = button_index(bit);
  if (i >= 0) presses_[static_cast<std::size_t>(i)] = Press{t, false, false};
}

bool TapLatch::release(int bit, double t) noexcept {
  const int i = button_index(bit);
  if (i < 0) return true;
  Press& p = presses_[static_cast<std::size_t>(i)];
  if (p.pending) return false;
  if (t - p.at >= kTapMs) return true;
  p.pending = true;
  return false;
}

int TapLatch::due(double now) noexcept {
  int bits = 0;
  for (std::size_t i = 0; i < presses_.size(); ++i) {
    Press& p = presses_[i];
    if (p.pending && p.seen && now - p.at >= kTapMs) {
      p.pending = false;
      bits |= 1 << i;
    }
  }
  return bits;
}

int TapLatch::held_back() const noexcept {
  int bits = 0;
  for (std::size_t i = 0; i < presses_.size(); ++i)
    if (presses_[i].pending) bits |= 1 << i;
  return bits;
}

void TapLatch::seen(int buttons) noexcept {
  for (std::size_t i = 0; i < presses_.size(); ++i)
    if (buttons & (1 << i)) presses_[i].seen = true;
}

// ---- Frame handover ---------------------------------------------------------------------------------

void FrameHandover::take() {
  const std::uint64_t newest = completed_.load();
  if (taken_.load() >= newest) return;
  shown_.fetch_add(1);
  taken_.store(newest);
  { std::lock_guard lock(m_); }
  cv_.notify_all();
}

void FrameHandover::wait_taken(std::uint64_t frame, std::chrono::steady_clock::time_point until) {
  std::unique_lock lock(m_);
  cv_.wait_until(lock, until, [&] { return taken(frame); });
}

void FrameHandover::reset() noexcept {
  completed_.store(0);
  taken_.store(0);
  shown_.store(0);
}

// ---- Input sink ---------------------------------------------------------------------------------------

void InputSink::move(int x, int y) {
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  MouseState& m = core_.mouse_;
  m.x = x;
  m.y = y;
  m.inside = x >= 0 && y >= 0 && x < core_.surface_.width && y < core_.surface_.height;
}

void InputSink::leave() {
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  core_.mouse_.inside = false;
}

void InputSink::button(double t, int bit, bool down) {
  if (button_index(bit) < 0) return;
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  MouseState& m = core_.mouse_;
  if (down) {
    m.buttons |= bit;
    m.released_away = false;
    core_.latch_.press(bit, t);
  } else if ((m.buttons & bit) != 0) {
    // Where the release happened counts, even when the tap latch lets it take effect later.
    m.released_away = !m.inside || !m.active;
    if (core_.latch_.release(bit, t)) m.buttons &= ~bit;
  }
}

void InputSink::held(double t, int mask) {
  int released = 0;
  {
    MutexLock lock(core_.mutex_, MutexLock::Presenter);
    released = core_.mouse_.buttons & ~mask;
  }
  for (const int bit : {1, 2, 4})
    if (released & bit) button(t, bit, false);
  if (released == 0) return;
  // Let go while the window could not see it.
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  core_.mouse_.released_away = true;
}

void InputSink::wheel(int notches) {
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  core_.mouse_.wheel += notches;
}

void InputSink::focus(bool active) {
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  core_.mouse_.active = active;
  if (core_.mouse_.buttons != 0) core_.mouse_.released_away = true;
  core_.mouse_.buttons = 0;
  core_.latch_.clear();
}

void InputSink::key(Integer code) {
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  core_.keys_.push(code);
}

void InputSink::close() { key(keys::kClose); }

// ---- Surface ---------------------------------------------------------------------------------------------

void Backdrop::add_cover(long long y0, long long y1, long long x0, long long x1) noexcept {
  const auto clamp = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -(1 << 30), 1 << 30)); };
  if (covers.size() < covers.capacity()) covers.push_back(Rect{clamp(x0), clamp(y0), clamp(x1), clamp(y1)});
  else overflow = true;
}

namespace {

// Brings pixels x0..x1 of row y of `picture` up to page 0, copying only the run from the first
// to the last pixel that differs, and adds that run to `pending`; true when there was one.
bool settle_run(Surface& s, std::size_t y, int x0, int x1) noexcept {
  if (x0 > x1) return false;
  const std::size_t at = y * static_cast<std::size_t>(s.width);
  const std::uint32_t* from = &s.page[0][at];
  std::uint32_t* to = &s.picture[at];
  if (std::memcmp(from + x0, to + x0, static_cast<std::size_t>(x1 - x0 + 1) * sizeof(std::uint32_t)) == 0)
    return false;
  const int a = static_cast<int>(std::mismatch(from + x0, from + x1 + 1, to + x0).first - from);
  const auto back = std::mismatch(std::make_reverse_iterator(from + x1 + 1), std::make_reverse_iterator(from + a),
                                  std::make_reverse_iterator(to + x1 + 1));
  const int b = static_cast<int>(back.first.base() - from) - 1;
  std::copy(from + a, from + b + 1, to + a);
  Surface::Run& r = s.pending[y];
  r.x0 = std::min(r.x0, a);
  r.x1 = std::max(r.x1, b);
  return true;
}

}  // namespace

void Surface::write_deferred_fill(const Rect& kept) noexcept {
  deferred.pending = false;
  Canvas c = canvas(0);
  const Rect& f = deferred.box;
  raster::Rows rows;
  const auto fill = [&](int x0, int y0, int x1, int y1) { raster::fill_rect(c, f, {x0, y0, x1, y1}, deferred.colour, rows); };
  const int top = std::max(f.y0, kept.y0), bottom = std::min(f.y1, kept.y1);
  if (kept.x1 < f.x0 || kept.x0 > f.x1 || top > bottom) {
    fill(f.x0, f.y0, f.x1, f.y1);
    return;
  }
  // Above, below, left and right of what is kept.
  fill(f.x0, f.y0, f.x1, top - 1);
  fill(f.x0, bottom + 1, f.x1, f.y1);
  fill(f.x0, top, kept.x0 - 1, bottom);
  fill(kept.x1 + 1, top, f.x1, bottom);
}

void Surface::settle(bool frame_end) noexcept {
  const int x0 = std::max(changed_x0, 0), x1 = std::min(changed_x1, width - 1);
  changed_x0 = 1 << 30;
  changed_x1 = -(1 << 30);
  const bool skip = frame_end && backdrop.same_as(settled_backdrop);
  bool copied = false;
  // The layers' boxes in order of their left edges.
  std::array<Rect, Backdrop::kMaxLayers> boxes;
  const std::size_t n = skip ? backdrop.count : 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t j = i;
    for (; j > 0 && boxes[j - 1].x0 > backdrop.layers[i].box.x0; --j) boxes[j] = boxes[j - 1];
    boxes[j] = backdrop.layers[i].box;
  }
  for (std::size_t y = 0; y < changed.size(); ++y) {
    if (changed[y] == 0) continue;
    changed[y] = 0;
    if (!skip) {
      copied |= settle_run(*this, y, x0, x1);
      continue;
    }
    // Beside the layers that cross this row.
    const int row = static_cast<int>(y);
    int from = x0;  // the first column not yet known to lie inside a layer
    for (std::size_t i = 0; i < n && from <= x1; ++i) {
      if (row < boxes[i].y0 || row > boxes[i].y1) continue;
      settle_run(*this, y, from, std::min(x1, boxes[i].x0 - 1));
      from = std::max(from, boxes[i].x1 + 1);
    }
    settle_run(*this, y, from, x1);
  }
  if (skip) {
    // Under what either frame drew over the layers (the last frame's covers may lie where
    // nothing is marked now; there the pixels are equal and settle to nothing).
    for (const Backdrop* b : {&backdrop, &settled_backdrop})
      for (const Rect& c : b->covers)
        for (int y = std::max(c.y0, 0); y <= std::min(c.y1, height - 1); ++y)
          settle_run(*this, static_cast<std::size_t>(y), std::max(c.x0, 0), std::min(c.x1, width - 1));
  }
  if (frame_end) {
    // Settled, `picture` holds this frame's layers wherever nothing else covers them.
    std::swap(settled_backdrop, backdrop);
    backdrop.clear();
  } else if (copied) {
    settled_backdrop.clear();  // drawn outside a frame: the picture may no longer hold it
  }
}

// ---- Frame source ---------------------------------------------------------------------------------------

Frame FrameSource::size() {
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  Frame f;
  f.open = core_.surface_.open;
  if (f.open) f.width = core_.surface_.width, f.height = core_.surface_.height;
  return f;
}

Frame FrameSource::take(std::vector<std::uint32_t>& staging, std::vector<RowSpan>* spans) {
  if (spans != nullptr) spans->clear();
  MutexLock lock(core_.mutex_, MutexLock::Presenter);
  Surface& s = core_.surface_;
  Frame f;
  f.open = s.open;
  if (!s.open) return f;
  f.width = s.width;
  f.height = s.height;
  if (core_.lock_count_ != 0 || s.picture.empty()) return f;
  s.settle(false);
  const auto w = static_cast<std::size_t>(s.width);
  // A new staging buffer holds no picture yet: it takes the whole of it.
  const bool whole = staging.size() != s.picture.size();
  staging.resize(s.picture.size());
  f.x0 = s.width;
  for (int y = 0; y < s.height; ++y) {
    Surface::Run& r = s.pending[static_cast<std::size_t>(y)];
    if (whole) r = Surface::Run{0, s.width - 1};
    if (r.empty()) continue;
    const std::size_t at = static_cast<std::size_t>(y) * w;
    std::copy(&s.picture[at + static_cast<std::size_t>(r.x0)], &s.picture[at + static_cast<std::size_t>(r.x1)] + 1,
              &staging[at + static_cast<std::size_t>(r.x0)]);
    if (spans != nullptr) spans->push_back(RowSpan{y, r.x0, r.x1});
    if (f.y0 > f.y1) f.y0 = y;
    f.y1 = y;
    f.x0 = std::min(f.x0, r.x0);
    f.x1 = std::max(f.x1, r.x1);
    r = Surface::Run{};
  }
  if (!f.has_rows()) f.x0 = 0, f.x1 = -1;
  core_.handover_.take();
  return f;
}

bool FrameSource::taken(std::uint64_t frame) const noexcept { return core_.handover_.taken(frame); }

void FrameSource::wait_taken(std::uint64_t frame, std::chrono::steady_clock::time_point until) {
  core_.handover_.wait_taken(frame, until);
}

void FrameSource::shown(const Frame& frame) { bench::record_pass(frame.has_rows()); }

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
  keys_ = KeyQueue{};
  mouse_ = MouseState{};
  latch_.clear();
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
  MouseState& m = mouse_;
  m.buttons &= ~latch_.due(now);
  if (!surface_.open || !m.active || !m.inside) return false;
  out = m;
  latch_.seen(m.buttons);
  return true;
}

bool Core::take_key(Integer& code, bool keep_close) {
  MutexLock lock(mutex_);
  keys_.hit = false;
  return keys_.pop(code, keep_close);
}

int Core::release_state(double now) {
  MutexLock lock(mutex_);
  mouse_.buttons &= ~latch_.due(now);
  if ((mouse_.buttons & ~latch_.held_back()) != 0) return 0;
  return mouse_.released_away ? 2 : 1;
}

int Core::close_requests() {
  MutexLock lock(mutex_);
  return keys_.closes();
}

bool Core::take_key_hit() {
  MutexLock lock(mutex_);
  const bool hit = keys_.hit;
  keys_.hit = false;
  return hit;
}

// ---- Drawing lock -----------------------------------------------------------------------------------------

DrawLock::DrawLock(Core& c) : core_(c) { c.mutex_.lock(); }

DrawLock::~DrawLock() {
  if (first_ <= last_) core_.surface_.drawn(first_, last_, left_, right_);
  core_.mutex_.unlock();
}

}  // namespace surf

using surf::Core;

namespace {

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
  if (!surf::core().take_key(code, keep_close)) return String();
  return keys::key_string(code);
}

}  // namespace

Integer SCREEN_OPEN(Integer width, Integer height, Integer depth, Integer pages, Integer flags, Integer rate) {
  const ErrorContext ctx{"surface", "SCREEN_OPEN"};
  rt::start();  // before any connection to a window system exists
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
