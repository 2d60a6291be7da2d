// Lines and rectangles, pixel for pixel against the classic error-term walk.
#include "surface/raster_line.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "raster_buf.hpp"

namespace {

using namespace surf;
using namespace surf::raster;
using namespace raster_test;

// Classic error-term walk over the whole line, as a reference.
std::vector<std::pair<long, long>> reference_line(long x1, long y1, long x2, long y2) {
  std::vector<std::pair<long, long>> out;
  const long dx = std::labs(x2 - x1), dy = std::labs(y2 - y1);
  const long sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
  const bool xm = dx >= dy;
  const long n = xm ? dx : dy, e = xm ? dy : dx;
  long x = x1, y = y1, err = 2 * e - n;
  for (long i = 0; i <= n; ++i) {
    out.emplace_back(x, y);
    if (err > 0) {
      (xm ? y : x) += (xm ? sy : sx);
      err -= 2 * n;
    }
    err += 2 * e;
    (xm ? x : y) += (xm ? sx : sy);
  }
  return out;
}

TEST(RasterLine, RectanglesCoverBothCornersInEitherOrder) {
  Buf b(40, 40);
  rect(b.c, b.all(), {10, 10}, {20, 15}, 7, true, 0xFFFF, b.rows);
  EXPECT_EQ(b.count(7), 11 * 6);
  EXPECT_EQ(b.at(10, 10), 7u);
  EXPECT_EQ(b.at(20, 15), 7u);
  EXPECT_EQ(b.at(21, 15), 0u);
  EXPECT_EQ(b.rows.y0, 10);
  EXPECT_EQ(b.rows.y1, 15);
  Buf o(40, 40);
  rect(o.c, o.all(), {20, 15}, {10, 10}, 7, true, 0xFFFF, o.rows);
  EXPECT_EQ(o.px, b.px);
  Buf outline(40, 40);
  rect(outline.c, outline.all(), {20, 15}, {10, 10}, 7, false, 0xFFFF, outline.rows);
  EXPECT_EQ(outline.count(7), 2 * 11 + 2 * 4);
  EXPECT_EQ(outline.at(15, 12), 0u);
}

TEST(RasterLine, LineStyleStartsWithBit15) {
  Buf s(40, 4);
  line(s.c, s.all(), {0, 1}, {31, 1}, 3, 0xF0F0, s.rows);  // bit 15 first
  for (int x = 0; x < 32; ++x) EXPECT_EQ(s.at(x, 1), (x % 8) < 4 ? 3u : 0u) << x;
}

TEST(RasterLine, LinesMatchTheWholeLineInsideAnyClip) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<long> coord(-60, 160);
  std::uniform_int_distribution<int> corner(0, 99);
  for (int n = 0; n < 3000; ++n) {
    const long x1 = coord(rng), y1 = coord(rng);
    const long x2 = n % 50 ? coord(rng) : x1, y2 = n % 50 ? coord(rng) : y1;  // now and then a single point
    int cx0 = corner(rng), cx1 = corner(rng), cy0 = corner(rng), cy1 = corner(rng);
    const Rect clip{std::min(cx0, cx1), std::min(cy0, cy1), std::max(cx0, cx1), std::max(cy0, cy1)};
    Buf got(100, 100), want(100, 100);
    line(got.c, clip, {double(x1), double(y1)}, {double(x2), double(y2)}, 1, 0xFFFF, got.rows);
    for (auto [x, y] : reference_line(x1, y1, x2, y2))
      if (clip.contains(double(x), double(y))) want.px[static_cast<std::size_t>(y * 100 + x)] = 1;
    ASSERT_EQ(got.px, want.px) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

}  // namespace
