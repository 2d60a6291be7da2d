// The settling of page 0 into the picture, the deferred fill, the presenter's copy of the
// picture, the frame handover and the frame source.
#include "surface/present.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "surface/raster_line.hpp"

namespace surf {

// ---- Picture ---------------------------------------------------------------------------------------------

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

Frame Surface::hand_over(std::vector<std::uint32_t>& staging, std::vector<RowSpan>* spans) {
  Frame f;
  f.open = true;
  f.width = width;
  f.height = height;
  settle(false);
  const auto w = static_cast<std::size_t>(width);
  // A new staging buffer holds no picture yet: it takes the whole of it.
  const bool whole = staging.size() != picture.size();
  staging.resize(picture.size());
  f.x0 = width;
  for (int y = 0; y < height; ++y) {
    Run& r = pending[static_cast<std::size_t>(y)];
    if (whole) r = Run{0, width - 1};
    if (r.empty()) continue;
    const std::size_t at = static_cast<std::size_t>(y) * w;
    std::copy(&picture[at + static_cast<std::size_t>(r.x0)], &picture[at + static_cast<std::size_t>(r.x1)] + 1,
              &staging[at + static_cast<std::size_t>(r.x0)]);
    if (spans != nullptr) spans->push_back(RowSpan{y, r.x0, r.x1});
    if (f.y0 > f.y1) f.y0 = y;
    f.y1 = y;
    f.x0 = std::min(f.x0, r.x0);
    f.x1 = std::max(f.x1, r.x1);
    r = Run{};
  }
  if (!f.has_rows()) f.x0 = 0, f.x1 = -1;
  return f;
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

// ---- Frame source ---------------------------------------------------------------------------------------

Frame FrameSource::size() {
  MutexLock lock(mutex_, MutexLock::Presenter);
  Frame f;
  f.open = surface_.open;
  if (f.open) f.width = surface_.width, f.height = surface_.height;
  return f;
}

Frame FrameSource::take(std::vector<std::uint32_t>& staging, std::vector<RowSpan>* spans) {
  if (spans != nullptr) spans->clear();
  MutexLock lock(mutex_, MutexLock::Presenter);
  Surface& s = surface_;
  Frame f;
  f.open = s.open;
  if (!s.open) return f;
  f.width = s.width;
  f.height = s.height;
  if (lock_count_ != 0 || s.picture.empty()) return f;
  f = s.hand_over(staging, spans);
  handover_.take();
  return f;
}

bool FrameSource::taken(std::uint64_t frame) const noexcept { return handover_.taken(frame); }

void FrameSource::wait_taken(std::uint64_t frame, std::chrono::steady_clock::time_point until) {
  handover_.wait_taken(frame, until);
}

}  // namespace surf
