// Flood fill: the region is found span by span, then filled all at once.
#include "surface/raster_paint.hpp"

#include <new>
#include <vector>

#include "surface/raster_span.hpp"

namespace surf::raster {

bool paint(Canvas& c, const Rect& clip, Point p, std::uint32_t colour, std::uint32_t border, Rows& rows) noexcept {
  if (clip.empty() || !clip.contains(p.x, p.y)) return true;
  const int sx = static_cast<int>(p.x), sy = static_cast<int>(p.y);
  if (row_ptr(c, sy)[sx] == border) return true;
  const int w = clip.x1 - clip.x0 + 1, h = clip.y1 - clip.y0 + 1;
  struct Span {
    int y, x0, x1;
  };
  struct Seed {
    int x, y;
  };
  try {
    // One bit per clip pixel: part of a span already found.
    std::vector<std::uint64_t> seen((static_cast<std::size_t>(w) * static_cast<std::size_t>(h) + 63) / 64, 0);
    const auto bit = [&](int x, int y) {
      return static_cast<std::size_t>(y - clip.y0) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x - clip.x0);
    };
    const auto is_seen = [&](int x, int y) {
      const std::size_t i = bit(x, y);
      return (seen[i >> 6] >> (i & 63)) & 1u;
    };
    std::vector<Span> found;
    std::vector<Seed> stack{{sx, sy}};
    while (!stack.empty()) {
      const Seed s = stack.back();
      stack.pop_back();
      const std::uint32_t* row = row_ptr(c, s.y);
      if (row[s.x] == border || is_seen(s.x, s.y)) continue;
      // A span reaches left and right until the border colour or the clip edge.
      int x0 = s.x, x1 = s.x;
      while (x0 > clip.x0 && row[x0 - 1] != border) --x0;
      while (x1 < clip.x1 && row[x1 + 1] != border) ++x1;
      for (int x = x0; x <= x1; ++x) {
        const std::size_t i = bit(x, s.y);
        seen[i >> 6] |= std::uint64_t{1} << (i & 63);
      }
      found.push_back({s.y, x0, x1});
      // Queue one seed per run of open pixels in the rows above and below, over this span.
      for (int ny : {s.y - 1, s.y + 1}) {
        if (ny < clip.y0 || ny > clip.y1) continue;
        const std::uint32_t* nrow = row_ptr(c, ny);
        bool in_run = false;
        for (int x = x0; x <= x1; ++x) {
          const bool open = nrow[x] != border && !is_seen(x, ny);
          if (open && !in_run) stack.push_back({x, ny});
          in_run = open;
        }
      }
    }
    for (const Span& s : found) {
      run(c, s.y, s.x0, s.x1, colour);
      rows.add(s.y, s.y, s.x0, s.x1);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace surf::raster
