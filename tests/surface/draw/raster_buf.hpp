#pragma once
// A plain pixel buffer to draw the primitives on, with the rows they report.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "surface/raster.hpp"

namespace raster_test {

struct Buf {
  std::vector<std::uint32_t> px;
  surf::Canvas c;
  surf::raster::Rows rows;
  Buf(int w, int h) : px(static_cast<std::size_t>(w) * h, 0) { c = surf::Canvas{px.data(), w, h, w}; }
  std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * c.width + x]; }
  surf::raster::Rect all() const { return surf::raster::Rect{0, 0, c.width - 1, c.height - 1}; }
  int count(std::uint32_t v) const { return static_cast<int>(std::count(px.begin(), px.end(), v)); }
  // The pixels inside r, zero elsewhere.
  std::vector<std::uint32_t> crop(const surf::raster::Rect& r) const {
    std::vector<std::uint32_t> out(px.size(), 0);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        if (r.contains(x, y)) out[static_cast<std::size_t>(y) * c.width + x] = at(x, y);
    return out;
  }
};

// The pixels of the line from (x1, y1) to (x2, y2), end points within ±2^62, whose major
// coordinate lies in lo..hi: at major step i the minor offset is the integer nearest to
// i·e/n (n, e: major and minor extent), a tie staying on the start's side.
inline std::vector<std::pair<std::int64_t, std::int64_t>> line_pixels(std::int64_t x1, std::int64_t y1,
                                                                      std::int64_t x2, std::int64_t y2,
                                                                      std::int64_t lo, std::int64_t hi) {
  __extension__ typedef unsigned __int128 u128;
  __extension__ typedef __int128 i128;
  const i128 dx = i128{x2} - x1, dy = i128{y2} - y1;
  const bool xm = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const i128 m0 = xm ? x1 : y1, s0 = xm ? y1 : x1, dm = xm ? dx : dy, ds = xm ? dy : dx;
  const u128 n = static_cast<u128>(dm < 0 ? -dm : dm), e = static_cast<u128>(ds < 0 ? -ds : ds);
  std::vector<std::pair<std::int64_t, std::int64_t>> out;
  for (std::int64_t m = lo; m <= hi; ++m) {
    const i128 i = dm < 0 ? m0 - m : m - m0;
    if (i < 0 || static_cast<u128>(i) > n) continue;
    u128 k = 0;
    if (n > 0) {
      const u128 q = static_cast<u128>(i) * e / n, r = static_cast<u128>(i) * e % n;
      k = q + (2 * r > n ? 1 : 0);
    }
    const auto s = static_cast<std::int64_t>(ds < 0 ? s0 - static_cast<i128>(k) : s0 + static_cast<i128>(k));
    out.emplace_back(xm ? m : s, xm ? s : m);
  }
  return out;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

}  // namespace raster_test
