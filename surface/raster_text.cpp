// Text: ink-only glyphs clipped pixel by pixel, opaque text cells, and scrolling.
#include "surface/raster_text.hpp"

#include <algorithm>
#include <cstring>

#include "surface/raster_span.hpp"

namespace surf::raster {

const std::uint8_t* font_for(int height) noexcept {
  switch (height) {
    case 14: return kFont8x14;
    case 16: return kFont8x16;
    default: return kFont8x8;
  }
}

void text(Canvas& c, const Rect& clip, Point p, const std::string& s, const std::uint8_t* font, int font_height,
          std::uint32_t colour, Rows& rows) noexcept {
  if (clip.empty() || s.empty() || !p.finite()) return;
  const double width = 8.0 * static_cast<double>(s.size());
  // The whole text outside the clip rectangle draws nothing.
  if (p.x > clip.x1 || p.x + width - 1 < clip.x0 || p.y > clip.y1 || p.y + font_height - 1 < clip.y0) return;
  const i64 x = static_cast<i64>(p.x), y = static_cast<i64>(p.y);
  // Characters whose cell lies wholly left of the clip (x + 8·i + 7 < x0) are skipped.
  const i64 first = clip.x0 > x ? (clip.x0 - x) / 8 : 0;
  const i64 last = std::min<i64>(static_cast<i64>(s.size()) - 1, (clip.x1 - x) / 8);
  const int gy0 = static_cast<int>(std::max<i64>(0, clip.y0 - y));
  const int gy1 = static_cast<int>(std::min<i64>(font_height - 1, clip.y1 - y));
  for (i64 i = first; i <= last; ++i) {
    const std::uint8_t* glyph = font + static_cast<std::size_t>(static_cast<unsigned char>(s[static_cast<std::size_t>(i)])) * font_height;
    const i64 cell = x + 8 * i;
    for (int gy = gy0; gy <= gy1; ++gy) {
      unsigned bits = glyph[gy];
      if (!bits) continue;
      std::uint32_t* row = row_ptr(c, static_cast<int>(y + gy));
      for (int bx = 0; bits; ++bx, bits >>= 1) {
        const i64 px = cell + bx;
        if ((bits & 1u) && px >= clip.x0 && px <= clip.x1) row[px] = colour;
      }
    }
  }
  rows.add(static_cast<int>(y + gy0), static_cast<int>(y + gy1), static_cast<int>(std::max<i64>(x + 8 * first, clip.x0)),
           static_cast<int>(std::min<i64>(x + 8 * last + 7, clip.x1)));
}

void text_cells(Canvas& c, const Rect& clip, int x, int y, const std::string& s, const std::uint8_t* font,
                int font_height, std::uint32_t fore, std::uint32_t back, Rows& rows) noexcept {
  if (clip.empty()) return;
  const i64 n = static_cast<i64>(s.size());
  const i64 first = clip.x0 > x ? (static_cast<i64>(clip.x0) - x) / 8 : 0;
  const i64 last = std::min<i64>(n - 1, (static_cast<i64>(clip.x1) - x) / 8);
  for (int gy = 0; gy < font_height; ++gy) {
    const i64 py = static_cast<i64>(y) + gy;
    if (py < clip.y0 || py > clip.y1) continue;
    std::uint32_t* row = row_ptr(c, static_cast<int>(py));
    for (i64 i = first; i <= last; ++i) {
      const unsigned bits = font[static_cast<std::size_t>(static_cast<unsigned char>(s[static_cast<std::size_t>(i)])) * font_height + gy];
      for (int bx = 0; bx < 8; ++bx) {
        const i64 px = x + 8 * i + bx;
        if (px >= clip.x0 && px <= clip.x1) row[px] = (bits >> bx) & 1u ? fore : back;
      }
    }
    rows.add(static_cast<int>(py), static_cast<int>(py), static_cast<int>(std::max<i64>(x + 8 * first, clip.x0)),
             static_cast<int>(std::min<i64>(x + 8 * last + 7, clip.x1)));
  }
}

void scroll_up(Canvas& c, int by, std::uint32_t colour, Rows& rows) noexcept {
  if (c.height <= 0 || by <= 0) return;
  by = std::min(by, c.height);
  const std::size_t row_bytes = static_cast<std::size_t>(c.width) * sizeof(std::uint32_t);
  for (int y = 0; y + by < c.height; ++y) std::memmove(row_ptr(c, y), row_ptr(c, y + by), row_bytes);
  for (int y = c.height - by; y < c.height; ++y) run(c, y, 0, c.width - 1, colour);
  rows.add(0, c.height - 1, 0, c.width - 1);
}

}  // namespace surf::raster
