// The surface's drawing state and pages: text grid, colours, clearing, queries, viewport,
// logical window, coordinate mapping and page copies. Each operation takes the surface lock
// and marks the rows of page 0 it wrote.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "surface/core.hpp"
#include "surface/raster.hpp"
#include "surface/raster_blit.hpp"
#include "surface/raster_line.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace {

using surf::Canvas;
using surf::DrawLock;
using surf::px;
namespace raster = surf::raster;

constexpr const char* kModule = "surface";

}  // namespace

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
  const raster::Rect box = viewport_only ? raster::viewport_rect(c.draw, canvas) : raster::Rect{0, 0, c.width - 1, c.height - 1};
  if (!viewport_only) c.draw.cursor_row = c.draw.cursor_col = 0;
  if (box.empty()) return;
  // Either way a fill of one rectangle with one colour: a layer. Inside a frame it is written
  // when something else needs the page.
  const surf::Backdrop::Layer layer{0, c.draw.back, 0, 0, box};
  const bool in_frame = lock.lock_count() > 0;
  if (in_frame) {
    c.deferred = {layer.box, layer.colour, true};
  } else {
    raster::Rows rows;
    raster::fill_rect(canvas, box, box, layer.colour, rows);
  }
  c.laid(layer, in_frame);
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
  lock.touch(rows);
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
  if (to == 0) lock.touch(rows);
  return 0;
}
