// Lines and rectangles, pixel for pixel against the classic error-term walk.
#include "surface/raster_line.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// Draws a → b (each coordinate first made a double) into a 120 x 90 buffer within clip; the
// pixels must be exactly those of the whole line that lie inside.
void expect_exact_line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, const Rect& clip) {
  for (std::int64_t* v : {&x1, &y1, &x2, &y2}) *v = static_cast<std::int64_t>(static_cast<double>(*v));
  Buf got(120, 90), want(120, 90);
  line(got.c, clip, {double(x1), double(y1)}, {double(x2), double(y2)}, 1, 0xFFFF, got.rows);
  const bool xm = std::llabs(x2 - x1) >= std::llabs(y2 - y1);  // no overflow: both ends within ±2^62
  for (auto [x, y] : line_pixels(x1, y1, x2, y2, xm ? clip.x0 : clip.y0, xm ? clip.x1 : clip.y1))
    if (clip.contains(double(x), double(y))) want.px[static_cast<std::size_t>(y * 120 + x)] = 1;
  ASSERT_EQ(got.px, want.px) << x1 << "," << y1 << " " << x2 << "," << y2;
}

TEST(RasterLine, FarEndPointsSetExactlyTheWholeLinesPixels) {
  // One end far out (up to 2^62), or both on either side of a point near the buffer.
  std::mt19937_64 rng(12);
  std::uniform_int_distribution<int> bits(31, 62), corner(0, 119), kind(0, 3);
  std::uniform_int_distribution<std::int64_t> near(-30, 150);
  for (int n = 0; n < 3000; ++n) {
    const std::int64_t range = std::int64_t{1} << bits(rng);
    std::uniform_int_distribution<std::int64_t> far(-range, range);
    const std::int64_t nx = near(rng), ny = near(rng), fx = far(rng) / 2, fy = far(rng) / 2;
    int cx0 = corner(rng), cx1 = corner(rng), cy0 = corner(rng) * 3 / 4, cy1 = corner(rng) * 3 / 4;
    const Rect clip = n % 2 ? Rect{0, 0, 119, 89}
                            : Rect{std::min(cx0, cx1), std::min(cy0, cy1), std::max(cx0, cx1), std::max(cy0, cy1)};
    switch (kind(rng)) {
      case 0: expect_exact_line(fx, fy, nx, ny, clip); break;
      case 1: expect_exact_line(nx, ny, fx, fy, clip); break;
      case 2: expect_exact_line(2 * fx, 2 * fy, nx, ny, clip); break;
      default: expect_exact_line(fx, fy, 2 * nx - fx, 2 * ny - fy, clip); break;  // through (nx, ny)
    }
  }
}

TEST(RasterLine, LinesBeyondTheExactRangeClipLikeTheCropOfTheWholeLine) {
  // End points up to 1e300, drawn whole and within random clips: the clip never changes a pixel.
  std::mt19937_64 rng(13);
  std::uniform_int_distribution<int> exponent(40, 1000), corner(0, 99), kind(0, 4);
  std::uniform_real_distribution<double> unit(-1, 1), near(-20, 120);
  for (int n = 0; n < 3000; ++n) {
    const auto far = [&] { return std::ldexp(unit(rng), exponent(rng)); };
    // One end near, or both far: on opposite sides of the origin, or anywhere.
    Point a{far(), far()}, b{std::round(near(rng)), std::round(near(rng))};
    switch (kind(rng)) {
      case 0: std::swap(a, b); break;
      case 1: b = {-a.x, -a.y}; break;
      case 2: b = {far(), far()}; break;
      default: break;
    }
    int cx0 = corner(rng), cx1 = corner(rng), cy0 = corner(rng) * 4 / 5, cy1 = corner(rng) * 4 / 5;
    const Rect clip{std::min(cx0, cx1), std::min(cy0, cy1), std::max(cx0, cx1), std::max(cy0, cy1)};
    Buf whole(100, 80), part(100, 80);
    line(whole.c, whole.all(), a, b, 1, 0xFFFF, whole.rows);
    line(part.c, clip, a, b, 1, 0xFFFF, part.rows);
    ASSERT_EQ(part.px, whole.crop(clip)) << a.x << "," << a.y << " " << b.x << "," << b.y;
  }
  // A line through the origin between far end points keeps its place: where its position is
  // no closer than 1/(2·p) to a half pixel (p odd), the pixel is the nearest one.
  std::uniform_int_distribution<std::int64_t> odd(0, 1 << 19);
  for (int n = 0; n < 200; ++n) {
    const double p = 2.0 * double(odd(rng)) + 1, q = double(odd(rng) % (std::int64_t(p) + 1));
    const int k = 62 + n * 4;  // up to 2^858
    Buf b(100, 80);
    line(b.c, b.all(), {-std::ldexp(p, k), -std::ldexp(q, k)}, {std::ldexp(p, k), std::ldexp(q, k)}, 1, 0xFFFF, b.rows);
    int visible = 0;
    for (int x = 0; x < 100; ++x) {
      const long y = std::lround(x * q / p);
      if (y < 80) { ASSERT_EQ(b.at(x, static_cast<int>(y)), 1u) << p << " " << q << " " << k << " at " << x; }
      visible += y < 80;
    }
    EXPECT_EQ(b.count(1), visible);
  }
}

}  // namespace
