// Whole ellipses against the recurrence transcribed step by step.
#include "surface/raster_ellipse.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

#include "raster_buf.hpp"

namespace {

using namespace surf;
using namespace surf::raster;
using namespace raster_test;

// The ellipse recurrence transcribed step by step, drawing into `b` within `clip`.
void reference_ellipse(Buf& buf, const Rect& clip, long cx, long cy, double a, double b, bool fill) {
  std::vector<bool> done(static_cast<std::size_t>(buf.c.height), false);
  const auto put = [&](long x, long y) {
    if (clip.contains(double(x), double(y))) buf.px[static_cast<std::size_t>(y * buf.c.width + x)] = 1;
  };
  const auto span = [&](long y, long x1, long x2) {
    for (long x = std::max<long>(x1, clip.x0); x <= std::min<long>(x2, clip.x1); ++x) put(x, y);
  };
  const auto row = [&](long y, long x1, long x2) {
    if (!fill) return put(x1, y), put(x2, y);
    if (y < clip.y0 || y > clip.y1 || done[static_cast<std::size_t>(y)]) return;
    done[static_cast<std::size_t>(y)] = x1 <= clip.x1 && x2 >= clip.x0;  // only rows that drew count
    span(y, x1, x2);
  };
  long x1 = static_cast<long>(std::trunc(cx - a)), x2 = static_cast<long>(std::trunc(cx + a));
  long y1 = cy, y2 = cy;
  if (b == 0) return span(cy, x1, x2);
  row(cy, x1, x2);
  const std::int64_t A = static_cast<std::int64_t>(a * a), B = static_cast<std::int64_t>(b * b);
  std::int64_t r = static_cast<std::int64_t>(a * static_cast<double>(B)), rx = 2 * r, ry = 0;
  long x = static_cast<long>(a);
  while (x > 0) {
    if (r > 0) {
      ++y1, --y2, ry += 2 * A, r -= ry;
    }
    if (r <= 0) {
      --x, ++x1, --x2, rx -= 2 * B, r += rx;
    }
    row(y1, x1, x2);
    row(y2, x1, x2);
  }
}

// Draws the ellipse on a w x h buffer within `clip` and compares it with the reference; the
// reported rows must be exactly those that received pixels.
void expect_reference_ellipse(int w, int h, const Rect& clip, long cx, long cy, double a, double b, bool fill) {
  SCOPED_TRACE(::testing::Message() << a << " " << b << " " << fill << " " << cx << "," << cy);
  Buf got(w, h), want(w, h);
  ellipse(got.c, clip, {double(cx), double(cy)}, a, b, 1, fill, got.rows);
  reference_ellipse(want, clip, cx, cy, a, b, fill);
  ASSERT_EQ(got.px, want.px);
  int first = -1, last = -1;
  for (int y = 0; y < h; ++y)
    if (std::any_of(got.px.begin() + y * w, got.px.begin() + (y + 1) * w, [](auto v) { return v != 0; }))
      last = y, first = first < 0 ? y : first;
  ASSERT_EQ(got.rows.any(), first >= 0);
  if (first >= 0) { EXPECT_EQ(std::pair(got.rows.y0, got.rows.y1), std::pair(first, last)); }
}

TEST(RasterEllipse, EllipseFollowsTheRecurrence) {
  const Rect clip{3, 2, 56, 47};  // cuts through several of the figures below
  for (double a = 0; a <= 30; a += 0.75)
    for (double aspect : {1.0, 0.5, 0.1, 1.6, 3.0})
      for (bool fill : {false, true})
        expect_reference_ellipse(60, 50, clip, 30, 25, aspect <= 1 ? a : a / aspect, std::min(a, a * aspect), fill);
}

TEST(RasterEllipse, LargeEllipsesMatchTheRecurrenceWhereItFitsAndStayFast) {
  // Radius 1e5 keeps the 64-bit recurrence exact; compare a window near its edge.
  // Then near the top of a radius that still fits it.
  for (bool fill : {false, true})
    for (auto [cx, cy, a, b] : {std::tuple{-99950L, 40L, 1e5, 7e4}, {50L, 1500030L, 1.5e6, 1.5e6}}) {
      expect_reference_ellipse(100, 80, Rect{0, 0, 99, 79}, cx, cy, a, b, fill);
      Buf got(100, 80);
      ellipse(got.c, got.all(), {double(cx), double(cy)}, a, b, 1, fill, got.rows);
      EXPECT_GT(got.count(1), 0);
    }
  Buf b(200, 100);
  ellipse(b.c, b.all(), {100, 50}, 1e9, 1e9, 1, false, b.rows);
  ellipse(b.c, b.all(), {100, 50}, 1e12, 1e12, 3, true, b.rows);
  for (int x = 0; x < 200; ++x) EXPECT_EQ(b.at(x, 50), 3u);  // the huge disc covers everything
  EXPECT_EQ(b.at(100, 0), 3u);
  Buf top(200, 100);
  ellipse(top.c, top.all(), {100, 50 + 1000000000}, 1e9, 1e9, 2, false, top.rows);
  EXPECT_EQ(top.at(100, 49) + top.at(100, 50) + top.at(100, 51), 2u);  // the topmost point
}

TEST(RasterEllipse, EllipsesAroundTheStepwiseLimitMatchTheRecurrence) {
  // Radii on both sides of the switch between the stepwise walk and the row search, seen
  // through windows on the edge, on the far side and across the centre row.
  for (double a : {4095.5, 4096.0, 4096.25, 4200.0})
    for (double b : {4096.0, 4097.0, 300.0, 0.75})
      for (bool fill : {false, true})
        for (long cx : {40L, -4050L, 4100L})
          for (long cy : {30L, 4120L, -4080L}) expect_reference_ellipse(80, 60, {0, 0, 79, 59}, cx, cy, a, b, fill);
}

}  // namespace
