// Elliptic arcs.
#include "surface/raster_arc.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "raster_buf.hpp"

namespace {

using namespace surf;
using namespace surf::raster;
using namespace raster_test;

TEST(RasterArc, ArcsAreBoundedAndNormaliseAngles) {
  Buf b(60, 60);
  // Quarter arc from 0 to π/2 on a circle of radius 20: from (50, 30) to (30, 10).
  arc(b.c, b.all(), {30, 30}, 20, 20, 0, std::numbers::pi / 2, 1, b.rows);
  EXPECT_EQ(b.at(50, 30), 1u);
  EXPECT_EQ(b.at(30, 10), 1u);
  EXPECT_EQ(b.at(10, 30), 0u);
  // Negative ends add the radius lines.
  Buf r(60, 60);
  arc(r.c, r.all(), {30, 30}, 20, 20, -1e-9, -std::numbers::pi, 1, r.rows);
  for (int x = 11; x < 50; ++x) EXPECT_EQ(r.at(x, 30), 1u) << x;
  // Huge angles terminate and draw on the circle.
  Buf h(60, 60);
  arc(h.c, h.all(), {30, 30}, 20, 20, 1e30f, -1e30f, 1, h.rows);
  arc(h.c, h.all(), {30, 30}, 20, 20, 3e38, 1, 1, h.rows);
}

TEST(RasterArc, HugeArcsDrawTheirVisiblePoints) {
  // Radius 1e20 around a visible centre: every point lies far outside, and the work stays bounded.
  Buf b(200, 100);
  arc(b.c, b.all(), {100, 50}, 1e20, 1e20, 0, 6.2, 4, b.rows);
  EXPECT_EQ(b.count(4), 0);
  Buf arcs(200, 100);
  arc(arcs.c, arcs.all(), {100, 50 + 1000000000}, 1e9, 1e9, 1.0, 2.0, 4, arcs.rows);
  EXPECT_EQ(arcs.at(100, 50), 4u);  // the arc passes π/2
  EXPECT_GT(arcs.count(4), 150);
  // Radius 1e21 touching the top row: the visible angles lie past the 2^63rd point (Δ ≈ 7e-22).
  // Only the top of the circle can be visible, since cy − round(b·sin t) is 0 or ≥ 10^5.
  Buf far(200, 100);
  arc(far.c, far.all(), {100, 1e21}, 1e21, 1e21, 1.0, 2.0, 4, far.rows);
  for (int y = 1; y < 100; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(far.at(x, y), 0u) << x << "," << y;
  // A short arc of radius 1e26: its last index lies about 6·10^10 indices below the estimate
  // (stop − start)/Δ, because start + i·Δ rounds to start's precision. Only the first point,
  // put on pixel (0, 0), is visible: the next distinct angle moves it by about 2.5·10^10 pixels.
  const double r = 1e26, t = 6.0;
  Buf tiny(20, 20);
  arc(tiny.c, tiny.all(), {-std::round(r * std::cos(t)), std::round(r * std::sin(t))}, r, r, t, t + 1e-11, 4, tiny.rows);
  EXPECT_EQ(tiny.at(0, 0), 4u);
  EXPECT_EQ(tiny.count(4), 1);
}

}  // namespace
