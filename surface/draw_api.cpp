// The drawing operations of the surface: state, viewport, logical window, primitives,
// text and images. Each operation takes the surface lock for its own drawing and marks the
// rows of page 0 it wrote.
//
// Primitives drawn into an image use the image's whole area as the viewport and its own
// pixel coordinates (top left 0, 0): the surface's viewport and logical window do not apply,
// so text drawn at (0, 0) into an image is read back at the same image pixels. Colours
// and the text font are the surface's current ones.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>

#include "surface/core.hpp"
#include "surface/raster.hpp"
#include "surface/raster_arc.hpp"
#include "surface/raster_blit.hpp"
#include "surface/raster_ellipse.hpp"
#include "surface/raster_line.hpp"
#include "surface/raster_paint.hpp"
#include "surface/raster_text.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

// An off-screen image: the header (size, bytes per pixel, row pitch in bytes rounded up to
// a multiple of 16) followed by its pixel rows.
struct Image {
  Integer width = 0;
  Integer height = 0;
  Integer bytes_per_pixel = 4;
  Integer pitch = 0;  // bytes from one row to the next
  std::unique_ptr<std::uint32_t[]> pixels;
};

namespace {

using surf::Canvas;
using surf::DrawLock;
using surf::DrawState;
namespace raster = surf::raster;

constexpr const char* kModule = "surface";
// Largest image accepted: far beyond any use and well below exhausting memory.
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 30;

inline std::uint32_t px(Integer colour) noexcept { return static_cast<std::uint32_t>(colour); }

// The colour a primitive uses: its own, or the current foreground with the default flag.
inline std::uint32_t colour_of(const DrawState& s, Integer colour, Integer flags) noexcept {
  return (flags & SCREEN_FLAG_FORE) ? s.fore : px(colour);
}

// Where a primitive draws: the canvas, its state and clip rectangle, and whether rows of
// page 0 must be marked. `state` points at the surface's own state for page 0; it is not
// copied, since a copy costs more than a whole pixel store.
struct Target {
  Canvas canvas;
  const DrawState* state = nullptr;
  raster::Rect clip;
  bool page0 = false;
  bool valid = false;
};

// Resolves the target under the lock: page 0 of an open surface, or an image. An image gets
// its own state in `scratch`: the surface's colours and font with the image's whole area as
// viewport and no logical window.
Target target_of(surf::Surface& c, Image* image, std::optional<DrawState>& scratch) noexcept {
  Target t;
  if (image) {
    t.canvas = Canvas{image->pixels.get(), image->width, image->height, image->pitch / 4};
    DrawState& s = scratch.emplace(c.draw);
    s.view = surf::Viewport{0, 0, image->width, image->height, false, false};
    s.win = surf::LogicalWindow{};
    t.state = &s;
    t.valid = image->pixels != nullptr;
  } else if (c.open) {
    t.canvas = c.canvas(0);
    t.state = &c.draw;
    t.page0 = true;
    t.valid = true;
  }
  if (t.valid) t.clip = raster::viewport_rect(*t.state, t.canvas);
  return t;
}

// Marks the rows a primitive wrote on page 0.
inline void mark(DrawLock& lock, const Target& t, const raster::Rows& rows) noexcept {
  if (t.page0 && rows.any()) lock.touch(rows.y0, rows.y1);
}

inline raster::Point transform(const Target& t, Single x, Single y) noexcept {
  return raster::to_pixel(*t.state, x, y);
}

}  // namespace

// ---- Window state, viewport and logical window -------------------------------------------

Integer SCREEN_SET_TEXT_GRID(Integer columns, Integer rows) {
  const ErrorContext ctx{kModule, "SCREEN_SET_TEXT_GRID"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (!c.open) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  const int cur_cols = c.width / 8, cur_rows = c.height / c.draw.font_height;
  if (columns <= 0 && rows <= 0) {
    RUNTIME_SET_LAST_ERROR(0);
    return (cur_cols & 0xFFFF) | (cur_rows << 16);
  }
  // Cell size: width \ columns by height \ rows; a non-positive argument keeps that dimension.
  const int cell_w = columns > 0 ? c.width / columns : 8;
  const int cell_h = rows > 0 ? c.height / rows : c.draw.font_height;
  if (cell_w == 8 && (cell_h == 8 || cell_h == 14 || cell_h == 16)) c.draw.font_height = cell_h;
  RUNTIME_SET_LAST_ERROR(0);
  return 0;
}

Integer SCREEN_SET_COLOR(Integer fore, Integer back, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_SET_COLOR"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  const Integer previous = static_cast<Integer>(c.draw.fore);
  if (!(flags & 1)) c.draw.fore = px(fore);
  if (!(flags & 2)) c.draw.back = px(back);
  return previous;
}

void SCREEN_CLEAR(Integer mode) {
  const ErrorContext ctx{kModule, "SCREEN_CLEAR"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (!c.open) return;
  if (mode != 0 && mode != 1 && mode != SCREEN_CLEAR_DEFAULT) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return;
  }
  Canvas canvas = c.canvas(0);
  const bool viewport_only = mode == 1 || (mode == SCREEN_CLEAR_DEFAULT && c.draw.view.user_set);
  raster::Rows rows;
  if (viewport_only) {
    const raster::Rect clip = raster::viewport_rect(c.draw, canvas);
    raster::fill_rect(canvas, clip, clip, c.draw.back, rows);
  } else {
    std::fill(c.page[0].begin(), c.page[0].end(), c.draw.back);
    rows.add(0, c.height - 1);
    c.draw.cursor_row = c.draw.cursor_col = 0;
  }
  if (rows.any()) lock.touch(rows.y0, rows.y1);
}

void SCREEN_QUERY(Integer what, Integer& p1, Integer& p2, Integer& p3, Integer& p4) {
  const ErrorContext ctx{kModule, "SCREEN_QUERY"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  p1 = p2 = p3 = p4 = 0;
  if (!c.open) return;
  if (what == 4) {
    p1 = c.width;
    p2 = c.height;
  } else if (what == 11) {
    const surf::Viewport& v = c.draw.view;
    p1 = v.left;
    p2 = v.top;
    p3 = v.left + v.width - 1;
    p4 = v.top + v.height - 1;
  }
}

void SCREEN_SET_VIEW(Integer x1, Integer y1, Integer x2, Integer y2, Integer fill, Integer border, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_SET_VIEW"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (!c.open) return;
  surf::Viewport& v = c.draw.view;
  if (x1 == SCREEN_VIEW_RESET && y1 == SCREEN_VIEW_RESET && x2 == SCREEN_VIEW_RESET && y2 == SCREEN_VIEW_RESET) {
    v = surf::Viewport{0, 0, c.width, c.height, false, false};
    return;
  }
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 >= c.width || x2 < 0 || y1 >= c.height || y2 < 0) return;
  v.screen = (flags & SCREEN_VIEW_SCREEN) != 0;
  Canvas canvas = c.canvas(0);
  const raster::Rect whole{0, 0, c.width - 1, c.height - 1};
  raster::Rows rows;
  if (!(flags & SCREEN_VIEW_NO_BORDER)) {
    // Outline one pixel outside the new viewport, clipped only to the surface.
    raster::rect(canvas, whole, {x1 - 1.0, y1 - 1.0}, {x2 + 1.0, y2 + 1.0}, px(border), false, 0xFFFF, rows);
  }
  const int l = std::max(x1, 0), t = std::max(y1, 0);
  const int r = std::min(x2, c.width - 1), b = std::min(y2, c.height - 1);
  v.left = l;
  v.top = t;
  v.width = r - l + 1;
  v.height = b - t + 1;
  v.user_set = true;
  if (!(flags & SCREEN_VIEW_NO_FILL)) raster::fill_rect(canvas, whole, raster::Rect{l, t, r, b}, px(fill), rows);
  if (rows.any()) lock.touch(rows.y0, rows.y1);
}

void SCREEN_SET_WINDOW(Single x1, Single y1, Single x2, Single y2, Integer screen) {
  const ErrorContext ctx{kModule, "SCREEN_SET_WINDOW"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  surf::LogicalWindow& w = c.draw.win;
  if (x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0) {
    w = surf::LogicalWindow{};
    return;
  }
  w.x = std::min(x1, x2);
  w.w = std::fabs(x2 - x1);
  w.y = std::min(y1, y2);
  w.h = std::fabs(y2 - y1);
  w.active = true;
  w.screen = screen != 0;
}

Single SCREEN_MAP_COORD(Single value, Integer func) {
  const ErrorContext ctx{kModule, "SCREEN_MAP_COORD"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  return static_cast<Single>(raster::map_coord(c.draw, value, func));
}

Integer SCREEN_COPY_PAGE(Integer from, Integer to) {
  const ErrorContext ctx{kModule, "SCREEN_COPY_PAGE"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (from == -1) from = 0;
  if (to == -1) to = 0;
  if (!c.open || from < 0 || to < 0 || from >= c.pages || to >= c.pages) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  RUNTIME_SET_LAST_ERROR(0);
  if (from == to) return 0;
  const Canvas src = c.canvas(from);
  Canvas dst = c.canvas(to);
  const raster::Rect clip = raster::viewport_rect(c.draw, dst);
  raster::Rows rows;
  if (!clip.empty()) {
    // The viewport rectangle of one page lands on the same place of the other.
    const Canvas part{src.px + static_cast<std::ptrdiff_t>(clip.y0) * src.pitch + clip.x0, clip.x1 - clip.x0 + 1,
                      clip.y1 - clip.y0 + 1, src.pitch};
    raster::blit(dst, clip, {static_cast<double>(clip.x0), static_cast<double>(clip.y0)}, part, rows);
  }
  if (to == 0 && rows.any()) lock.touch(rows.y0, rows.y1);
  return 0;
}

// ---- Primitives -----------------------------------------------------------------------------

namespace {

// The colour SCREEN_PSET writes: its own, or with the default-colour flag the foreground
// (preset 1: the background).
inline std::uint32_t pset_value(const DrawState& s, Integer colour, Integer flags, Integer preset) noexcept {
  if (!(flags & SCREEN_FLAG_FORE)) return px(colour);
  return preset == 1 ? s.back : s.fore;
}

// SCREEN_PSET into an image, kept apart so that the page 0 path carries no image state.
void pset_image(surf::Surface& c, Image* image, Single x, Single y, Integer colour, Integer flags, Integer preset) noexcept {
  std::optional<DrawState> scratch;
  Target t = target_of(c, image, scratch);
  if (!t.valid) return;
  raster::Rows rows;
  raster::pset(t.canvas, t.clip, transform(t, x, y), pset_value(*t.state, colour, flags, preset), rows);
}

}  // namespace

void SCREEN_PSET(Image* target, Single x, Single y, Integer colour, Integer flags, Integer preset) {
  const ErrorContext ctx{kModule, "SCREEN_PSET"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (target) {
    pset_image(c, target, x, y, colour, flags, preset);
    return;
  }
  // Page 0 resolved in place, without a Target: this primitive runs once per integration step.
  if (!c.open) return;
  const DrawState& s = c.draw;
  const raster::Point p = raster::to_pixel(s, x, y);
  if (!raster::viewport_rect(s, c.width, c.height).contains(p)) return;
  const int ix = static_cast<int>(p.x), iy = static_cast<int>(p.y);
  c.page[0][static_cast<std::size_t>(iy) * static_cast<std::size_t>(c.width) + static_cast<std::size_t>(ix)] =
      pset_value(s, colour, flags, preset);
  c.touch_row(static_cast<std::size_t>(iy));  // iy lies in the viewport, hence on the surface
}

Integer SCREEN_POINT(Image* target, Single x, Single y) {
  const ErrorContext ctx{kModule, "SCREEN_POINT"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::optional<DrawState> scratch;
  const Target t = target_of(c, target, scratch);
  if (!t.valid) return -1;
  const raster::Point p = transform(t, x, y);
  if (!t.clip.contains(p)) return -1;
  return static_cast<Integer>(t.canvas.px[static_cast<std::ptrdiff_t>(p.y) * t.canvas.pitch + static_cast<std::ptrdiff_t>(p.x)]);
}

void SCREEN_LINE(Image* target, Single x1, Single y1, Single x2, Single y2, Integer colour, Integer type,
                 Integer style, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_LINE"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::optional<DrawState> scratch;
  Target t = target_of(c, target, scratch);
  if (!t.valid) return;
  const std::uint32_t value = colour_of(*t.state, colour, flags);
  const raster::Point a = transform(t, x1, y1), b = transform(t, x2, y2);
  const auto pattern = static_cast<std::uint16_t>(style & 0xFFFF);
  raster::Rows rows;
  switch (type) {
    case 0: raster::line(t.canvas, t.clip, a, b, value, pattern, rows); break;
    case 1: raster::rect(t.canvas, t.clip, a, b, value, false, pattern, rows); break;
    case 2: raster::rect(t.canvas, t.clip, a, b, value, true, pattern, rows); break;
    default: break;
  }
  mark(lock, t, rows);
}

void SCREEN_CIRCLE(Image* target, Single x, Single y, Single radius, Integer colour, Single aspect, Single start,
                   Single end, Integer fill, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_CIRCLE"};
  if (!(radius > 0)) return;  // also NaN
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::optional<DrawState> scratch;
  Target t = target_of(c, target, scratch);
  if (!t.valid) return;
  const std::uint32_t value = colour_of(*t.state, colour, flags);
  const raster::Point centre = transform(t, x, y);
  const double rad = radius * raster::radius_scale(*t.state);  // radius · view_w / win_w
  // Aspect 0 is 1; aspect <= 1 shortens the vertical radius, aspect > 1 the horizontal one.
  const double asp = aspect == 0 ? 1.0 : static_cast<double>(aspect);
  const double a = asp <= 1 ? rad : rad / asp;
  const double b = asp <= 1 ? rad * asp : rad;
  raster::Rows rows;
  if (start == 0 && end == SCREEN_FULL_CIRCLE) raster::ellipse(t.canvas, t.clip, centre, a, b, value, fill != 0, rows);
  else raster::arc(t.canvas, t.clip, centre, a, b, start, end, value, rows);
  mark(lock, t, rows);
}

void SCREEN_PAINT(Image* target, Single x, Single y, Integer colour, Integer border, const String& pattern,
                  Integer mode, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_PAINT"};
  (void)pattern;  // solid fills only
  (void)mode;
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::optional<DrawState> scratch;
  Target t = target_of(c, target, scratch);
  if (!t.valid) return;
  const std::uint32_t value = colour_of(*t.state, colour, flags);
  const std::uint32_t edge = (flags & SCREEN_FLAG_FORE2) ? value : px(border);
  raster::Rows rows;
  if (!raster::paint(t.canvas, t.clip, transform(t, x, y), value, edge, rows))
    RUNTIME_SET_LAST_ERROR(ERR_OUT_OF_MEMORY);
  mark(lock, t, rows);
}

Integer SCREEN_DRAW_TEXT(Image* target, Single x, Single y, Integer flags, const String& text, Integer colour) {
  const ErrorContext ctx{kModule, "SCREEN_DRAW_TEXT"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::optional<DrawState> scratch;
  Target t = target_of(c, target, scratch);
  if (!t.valid) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  const std::uint32_t value = colour_of(*t.state, colour, flags);
  const int fh = t.state->font_height;
  raster::Rows rows;
  raster::text(t.canvas, t.clip, transform(t, x, y), text, raster::font_for(fh), fh, value, rows);
  mark(lock, t, rows);
  RUNTIME_SET_LAST_ERROR(0);
  return 0;
}

void SCREEN_PRINT(const String& text, Integer newline) {
  const ErrorContext ctx{kModule, "SCREEN_PRINT"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (!c.open) return;
  DrawState& s = c.draw;
  Canvas canvas = c.canvas(0);
  const raster::Rect whole{0, 0, c.width - 1, c.height - 1};
  const int fh = s.font_height;
  const int columns = std::max(c.width / 8, 1), text_rows = std::max(c.height / fh, 1);
  const std::uint8_t* font = raster::font_for(fh);
  raster::Rows rows;
  // Text that passes the right edge continues on the next row; printing below the last row
  // first scrolls the surface up by one text row.
  std::size_t pos = 0;
  do {
    if (s.cursor_col >= columns) {
      s.cursor_col = 0;
      ++s.cursor_row;
    }
    if (s.cursor_row >= text_rows) {
      raster::scroll_up(canvas, fh, s.back, rows);
      s.cursor_row = text_rows - 1;
    }
    const std::size_t n = std::min<std::size_t>(text.size() - pos, static_cast<std::size_t>(columns - s.cursor_col));
    raster::text_cells(canvas, whole, s.cursor_col * 8, s.cursor_row * fh, text.substr(pos, n), font, fh, s.fore,
                       s.back, rows);
    pos += n;
    s.cursor_col += static_cast<int>(n);
  } while (pos < text.size());
  if (newline == 1) {
    s.cursor_col = 0;
    ++s.cursor_row;
  }
  if (rows.any()) lock.touch(rows.y0, rows.y1);
}

// ---- Images -------------------------------------------------------------------------------

Image* SCREEN_IMAGE_CREATE(Integer width, Integer height, Integer colour, Integer depth, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_IMAGE_CREATE"};
  if (width <= 0 || height <= 0 || (depth != 0 && depth != 32)) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return nullptr;
  }
  // Row pitch in bytes: 4 per pixel, rounded up to a multiple of 16.
  const std::int64_t pitch = (std::int64_t{width} * 4 + 15) / 16 * 16;
  if (height > kMaxImageBytes / pitch) {  // pitch · height would exceed the limit
    RUNTIME_SET_LAST_ERROR(ERR_OUT_OF_MEMORY);
    return nullptr;
  }
  auto image = std::unique_ptr<Image>(new (std::nothrow) Image);
  if (image) image->pixels.reset(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(pitch / 4 * height)]);
  if (!image || !image->pixels) {
    RUNTIME_SET_LAST_ERROR(ERR_OUT_OF_MEMORY);
    return nullptr;
  }
  image->width = width;
  image->height = height;
  image->bytes_per_pixel = 4;
  image->pitch = static_cast<Integer>(pitch);
  std::uint32_t value = px(colour);
  if (flags & SCREEN_FLAG_FORE) {
    DrawLock lock(surf::core());
    surf::Surface& c = lock.surface();
    value = c.draw.fore;
  }
  std::fill_n(image->pixels.get(), static_cast<std::size_t>(pitch / 4 * height), value);
  RUNTIME_SET_LAST_ERROR(0);
  return image.release();
}

void SCREEN_IMAGE_DESTROY(Image* image) {
  const ErrorContext ctx{kModule, "SCREEN_IMAGE_DESTROY"};
  delete image;
}

Integer SCREEN_PUT(Image* target, Single x, Single y, const Image* image, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_PUT"};
  (void)flags;  // copy mode only
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::optional<DrawState> scratch;
  Target t = target_of(c, target, scratch);
  if (!t.valid || !image || !image->pixels) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  const Canvas src{image->pixels.get(), image->width, image->height, image->pitch / 4};
  raster::Rows rows;
  raster::blit(t.canvas, t.clip, transform(t, x, y), src, rows);
  mark(lock, t, rows);
  RUNTIME_SET_LAST_ERROR(0);
  return 0;
}
