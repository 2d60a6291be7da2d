// The drawing primitives of the surface, text and images. Each primitive takes the surface
// lock for its own drawing and marks the rows of page 0 it wrote.
//
// Primitives drawn into an image use the image's whole area as the viewport and its own
// pixel coordinates (top left 0, 0): the surface's viewport and logical window do not apply,
// so text drawn at (0, 0) into an image is read back at the same image pixels. Colours
// and the text font are the surface's current ones.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
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
  std::uint64_t stamp = 0;  // changes whenever the pixels may have: two equal stamps, equal pixels
};

namespace {

using surf::Canvas;
using surf::DrawLock;
using surf::DrawState;
using surf::px;
namespace raster = surf::raster;

constexpr const char* kModule = "surface";
// Largest image accepted: far beyond any use and well below exhausting memory.
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 30;

// The image's pixels as a canvas: `pitch` bytes are pitch / 4 pixels.
Canvas canvas_of(const Image& image) noexcept {
  return Canvas{image.pixels.get(), image.width, image.height, image.pitch / 4};
}

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

// A stamp no image has had: for a new image, and for one about to be drawn on.
std::uint64_t new_stamp() noexcept {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

// Resolves the target under the lock: page 0 of an open surface, or an image. An image gets
// its own state in `scratch`: the surface's colours and font with the image's whole area as
// viewport and no logical window; unless only `reading`, it gets a new stamp.
Target target_of(surf::Surface& c, Image* image, std::optional<DrawState>& scratch, bool reading = false) noexcept {
  Target t;
  if (image) {
    if (!reading) image->stamp = new_stamp();
    t.canvas = canvas_of(*image);
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

// Marks the rows and columns a primitive wrote on page 0.
inline void mark(DrawLock& lock, const Target& t, const raster::Rows& rows) noexcept {
  if (t.page0) lock.touch(rows);
}

// Runs `draw(target, colour value, rows)` on the resolved target under the surface lock and
// marks what it wrote; false, with nothing drawn, when the target cannot be drawn on.
template <class Draw>
bool draw_on(Image* target, Integer colour, Integer flags, Draw&& draw) {
  DrawLock lock(surf::core());
  std::optional<DrawState> scratch;
  Target t = target_of(lock.surface(), target, scratch);
  if (!t.valid) return false;
  raster::Rows rows;
  draw(t, colour_of(*t.state, colour, flags), rows);
  mark(lock, t, rows);
  return true;
}

inline raster::Point transform(const Target& t, Single x, Single y) noexcept {
  return raster::to_pixel(*t.state, x, y);
}

// The colour SCREEN_PSET writes: its own, or with the default-colour flag the foreground
// (preset 1: the background).
inline std::uint32_t pset_value(const DrawState& s, Integer colour, Integer flags, Integer preset) noexcept {
  if (!(flags & SCREEN_FLAG_FORE)) return px(colour);
  return preset == 1 ? s.back : s.fore;
}

}  // namespace

void SCREEN_PSET(Image* target, Single x, Single y, Integer colour, Integer flags, Integer preset) {
  const ErrorContext ctx{kModule, "SCREEN_PSET"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  if (target) {
    std::optional<DrawState> scratch;
    Target t = target_of(c, target, scratch);
    raster::Rows rows;
    if (t.valid) raster::pset(t.canvas, t.clip, transform(t, x, y), pset_value(*t.state, colour, flags, preset), rows);
    return;
  }
  // Page 0 in place, without a Target or a row band: this primitive runs once per integration step.
  if (!c.open) return;
  const DrawState& s = c.draw;
  int px, py;
  if (!raster::pixel_in(s, raster::viewport_rect(s, c.width, c.height), x, y, px, py)) return;
  const auto ix = static_cast<std::size_t>(px), iy = static_cast<std::size_t>(py);
  c.page[0][iy * static_cast<std::size_t>(c.width) + ix] = pset_value(s, colour, flags, preset);
  c.drawn_pixel(px, py);
}

Integer SCREEN_POINT(Image* target, Single x, Single y) {
  const ErrorContext ctx{kModule, "SCREEN_POINT"};
  DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::optional<DrawState> scratch;
  const Target t = target_of(c, target, scratch, true);
  if (!t.valid) return -1;
  const raster::Point p = transform(t, x, y);
  if (!t.clip.contains(p)) return -1;
  const auto row = static_cast<std::ptrdiff_t>(p.y) * t.canvas.pitch;
  return static_cast<Integer>(t.canvas.px[row + static_cast<std::ptrdiff_t>(p.x)]);
}

void SCREEN_LINE(Image* target, Single x1, Single y1, Single x2, Single y2, Integer colour, Integer type,
                 Integer style, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_LINE"};
  const auto pattern = static_cast<std::uint16_t>(style & 0xFFFF);
  draw_on(target, colour, flags, [&](Target& t, std::uint32_t value, raster::Rows& rows) {
    const raster::Point a = transform(t, x1, y1), b = transform(t, x2, y2);
    switch (type) {
      case 0: raster::line(t.canvas, t.clip, a, b, value, pattern, rows); break;
      case 1: raster::rect(t.canvas, t.clip, a, b, value, false, pattern, rows); break;
      case 2: raster::rect(t.canvas, t.clip, a, b, value, true, pattern, rows); break;
      default: break;
    }
  });
}

void SCREEN_CIRCLE(Image* target, Single x, Single y, Single radius, Integer colour, Single aspect, Single start,
                   Single end, Integer fill, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_CIRCLE"};
  if (!(radius > 0)) return;  // also NaN
  draw_on(target, colour, flags, [&](Target& t, std::uint32_t value, raster::Rows& rows) {
    const raster::Point centre = transform(t, x, y);
    const double rad = radius * raster::radius_scale(*t.state);  // radius · view_w / win_w
    // Aspect 0 is 1; aspect <= 1 shortens the vertical radius, aspect > 1 the horizontal one.
    const double asp = aspect == 0 ? 1.0 : static_cast<double>(aspect);
    const double a = asp <= 1 ? rad : rad / asp;
    const double b = asp <= 1 ? rad * asp : rad;
    if (start == 0 && end == SCREEN_FULL_CIRCLE) raster::ellipse(t.canvas, t.clip, centre, a, b, value, fill != 0, rows);
    else raster::arc(t.canvas, t.clip, centre, a, b, start, end, value, rows);
  });
}

void SCREEN_PAINT(Image* target, Single x, Single y, Integer colour, Integer border, const String& pattern,
                  Integer mode, Integer flags) {
  const ErrorContext ctx{kModule, "SCREEN_PAINT"};
  (void)pattern;  // solid fills only
  (void)mode;
  draw_on(target, colour, flags, [&](Target& t, std::uint32_t value, raster::Rows& rows) {
    const std::uint32_t edge = (flags & SCREEN_FLAG_FORE2) ? value : px(border);
    if (!raster::paint(t.canvas, t.clip, transform(t, x, y), value, edge, rows)) RUNTIME_SET_LAST_ERROR(ERR_OUT_OF_MEMORY);
  });
}

Integer SCREEN_DRAW_TEXT(Image* target, Single x, Single y, Integer flags, const String& text, Integer colour) {
  const ErrorContext ctx{kModule, "SCREEN_DRAW_TEXT"};
  const bool drawn = draw_on(target, colour, flags, [&](Target& t, std::uint32_t value, raster::Rows& rows) {
    const int fh = t.state->font_height;
    raster::text(t.canvas, t.clip, transform(t, x, y), text, raster::font_for(fh), fh, value, rows);
  });
  const Integer result = drawn ? 0 : ERR_ILLEGAL_FUNCTION_CALL;
  RUNTIME_SET_LAST_ERROR(result);
  return result;
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
  lock.touch(rows);
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
  const auto count = static_cast<std::size_t>(pitch / 4 * height);
  auto image = std::unique_ptr<Image>(new (std::nothrow) Image);
  if (image) image->pixels.reset(new (std::nothrow) std::uint32_t[count]);
  if (!image || !image->pixels) {
    RUNTIME_SET_LAST_ERROR(ERR_OUT_OF_MEMORY);
    return nullptr;
  }
  image->width = width;
  image->height = height;
  image->bytes_per_pixel = 4;
  image->pitch = static_cast<Integer>(pitch);
  image->stamp = new_stamp();
  std::uint32_t value = px(colour);
  if (flags & SCREEN_FLAG_FORE) {
    DrawLock lock(surf::core());
    surf::Surface& c = lock.surface();
    value = c.draw.fore;
  }
  std::fill_n(image->pixels.get(), count, value);
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
  surf::Surface& c = lock.surface_as_is();  // a deferred fill is written here, but for the copy's pixels
  std::optional<DrawState> scratch;
  Target t = target_of(c, target, scratch);
  if (!t.valid || !image || !image->pixels) {
    RUNTIME_SET_LAST_ERROR(ERR_ILLEGAL_FUNCTION_CALL);
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  raster::Rows rows;
  const raster::Point at = transform(t, x, y);
  const raster::Rect box = raster::blit_box(t.clip, at, canvas_of(*image));
  if (t.page0) c.write_deferred(box);
  raster::blit(t.canvas, t.clip, at, canvas_of(*image), rows);
  // Every pixel of the box is the image's: a layer.
  if (t.page0 && !box.empty()) c.laid({image->stamp, 0, at.x, at.y, box}, lock.lock_count() > 0);
  RUNTIME_SET_LAST_ERROR(0);
  return 0;
}
