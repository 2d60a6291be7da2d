#pragma once
// A plain pixel buffer to draw the primitives on, with the rows they report.
#include <algorithm>
#include <cstdint>
#include <limits>
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
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

}  // namespace raster_test
