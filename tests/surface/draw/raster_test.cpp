// Rules every primitive shares: the rounding of the transform, bad coordinates, and clipping
// as the crop of the whole figure.
#include "surface/raster.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "raster_buf.hpp"
#include "surface/raster_arc.hpp"
#include "surface/raster_ellipse.hpp"
#include "surface/raster_line.hpp"
#include "surface/raster_text.hpp"

namespace {

using namespace surf;
using namespace surf::raster;
using namespace raster_test;

TEST(Raster, HugeAndInvalidCoordinatesDrawOnlyTheVisiblePart) {
  Buf b(100, 50);
  line(b.c, b.all(), {-1e30, 20}, {1e30, 20}, 5, 0xFFFF, b.rows);
  line(b.c, b.all(), {30, -1e30}, {30, 1e30}, 6, 0xFFFF, b.rows);
  line(b.c, b.all(), {-1e15, -1e15}, {1e15, 1e15}, 8, 0xFFFF, b.rows);
  rect(b.c, b.all(), {-1e30, -1e30}, {1e30, 1e30}, 9, false, 0xFFFF, b.rows);
  for (int i = 0; i < 100; ++i) {
    if (i != 30 && i != 20) { EXPECT_EQ(b.at(i, 20), 5u) << i; }
    if (i < 50 && i != 20 && i != 30) { EXPECT_EQ(b.at(30, i), 6u) << i; }
  }
  // The diagonal stays within a pixel of y = x.
  for (int x = 35; x < 50; ++x) EXPECT_EQ(b.at(x, x) == 8u || b.at(x, x - 1) == 8u || b.at(x, x + 1) == 8u, true);
  EXPECT_EQ(b.count(9), 0);  // the outline lies far outside

  Buf n(20, 20);
  pset(n.c, n.all(), {kNaN, 3}, 1, n.rows);
  line(n.c, n.all(), {kNaN, 3}, {5, 5}, 1, 0xFFFF, n.rows);
  line(n.c, n.all(), {-kInf, 3}, {kInf, 3}, 1, 0xFFFF, n.rows);
  rect(n.c, n.all(), {kNaN, 0}, {5, 5}, 1, true, 0xFFFF, n.rows);
  ellipse(n.c, n.all(), {10, 10}, kNaN, 3, 1, true, n.rows);
  ellipse(n.c, n.all(), {1e30, 10}, 5, 5, 1, true, n.rows);
  arc(n.c, n.all(), {10, 10}, 5, 5, kNaN, 1, 1, n.rows);
  text(n.c, n.all(), {kInf, 0}, "AB", kFont8x8, 8, 1, n.rows);
  EXPECT_EQ(n.count(1), 0);
  EXPECT_FALSE(n.rows.any());
}

TEST(Raster, FiguresClipLikeTheCropOfTheWholeFigure) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> pos(20, 140), rad(1, 60), ang(-7, 7);
  std::uniform_int_distribution<int> corner(0, 159), kind(0, 5), ch(0, 255);
  for (int n = 0; n < 1500; ++n) {
    int cx0 = corner(rng), cx1 = corner(rng), cy0 = corner(rng), cy1 = corner(rng);
    const Rect clip{std::min(cx0, cx1), std::min(cy0, cy1), std::max(cx0, cx1), std::max(cy0, cy1)};
    const Point p{std::round(pos(rng)), std::round(pos(rng))}, q{std::round(pos(rng)), std::round(pos(rng))};
    const double a = rad(rng), b = rad(rng), s = ang(rng), e = ang(rng);
    std::string str;
    for (int i = 0; i < 12; ++i) str += static_cast<char>(ch(rng));
    const int k = kind(rng);
    const auto draw = [&](Buf& buf, const Rect& r) {
      switch (k) {
        case 0: line(buf.c, r, p, q, 1, 0xFFFF, buf.rows); break;
        case 1: rect(buf.c, r, p, q, 1, false, 0xFFFF, buf.rows); break;
        case 2: ellipse(buf.c, r, p, a, b, 1, false, buf.rows); break;
        case 3: ellipse(buf.c, r, p, a, b, 1, true, buf.rows); break;
        case 4: arc(buf.c, r, p, a, b, s, e, 1, buf.rows); break;
        default: text(buf.c, r, {p.x - 60, p.y}, str, kFont8x16, 16, 1, buf.rows); break;
      }
    };
    Buf whole(160, 160), part(160, 160);
    draw(whole, whole.all());
    draw(part, clip);
    ASSERT_EQ(part.px, whole.crop(clip)) << "kind " << k;
    // The band a figure reports holds every pixel it wrote, and for all but text (whole glyph
    // cells) is exactly their bounding box: the presenter copies no more and no less.
    Rect ink{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 160; ++x)
        if (part.at(x, y)) ink = {std::min(ink.x0, x), std::min(ink.y0, y), std::max(ink.x1, x), std::max(ink.y1, y)};
    const Rows& r = part.rows;
    if (ink.empty()) continue;
    if (k == 5) {
      ASSERT_TRUE(r.x0 <= ink.x0 && r.x1 >= ink.x1 && r.y0 <= ink.y0 && r.y1 >= ink.y1) << n;
      ASSERT_TRUE(r.x0 >= clip.x0 && r.x1 <= clip.x1 && r.y0 >= clip.y0 && r.y1 <= clip.y1) << n;
    } else {
      ASSERT_EQ(std::tuple(r.x0, r.y0, r.x1, r.y1), std::tuple(ink.x0, ink.y0, ink.x1, ink.y1)) << "kind " << k << ", " << n;
    }
  }
}

TEST(Raster, RoundingIsHalfAwayFromZero) {
  const double below_half = std::nextafter(0.5, 0.0);
  std::vector<double> vs = {0.0, -0.0, 0.5, -0.5, 1.5, -1.5, 2.5, -2.5, below_half, -below_half,
                            std::nextafter(1.5, 1.0), std::nextafter(-2.5, -2.0), 4503599627370495.5,
                            -4503599627370495.5, 2251799813685248.5, 4503599627370497.0, 1e15 + 0.5, 3e18};
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> wide(-1e6, 1e6);
  for (int i = 0; i < 20000; ++i) {
    vs.push_back(wide(rng));
    vs.push_back(std::floor(wide(rng)) + 0.5);  // exact halves
  }
  for (double v : vs) EXPECT_EQ(round_half_away(v), std::round(v)) << v;
  EXPECT_TRUE(std::isnan(round_half_away(kNaN)));
  EXPECT_EQ(round_half_away(-kInf), -kInf);
  EXPECT_EQ(round_half_away(1e300), 1e300);
}

TEST(Raster, TheOnePixelPathAgreesWithTheTransform) {
  // pixel_in is to_pixel plus the clip test in integers: any disagreement puts a step of the
  // orbit on another pixel than a primitive would.
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> near(-700, 700), any(-1, 1);
  std::uniform_int_distribution<int> pick(0, 9);
  const double below_half = std::nextafter(0.5, 0.0);
  const double odd[] = {kNaN, kInf, -kInf, 1e300, -4503599627370496.0, 2147483648.0, below_half, -below_half, 0.5, -0.5};
  for (int n = 0; n < 200000; ++n) {
    DrawState s;
    s.view = Viewport{pick(rng) * 37, pick(rng) * 11, 100 + pick(rng) * 50, 80 + pick(rng) * 40, pick(rng) < 5, true};
    const auto f = [&](double d) { return static_cast<float>(near(rng) / d); };
    if (pick(rng) < 6) s.win = LogicalWindow{f(1), f(1), f(7), f(3), true, pick(rng) < 3};
    const auto coord = [&] {
      const int k = pick(rng);
      return k == 0 ? odd[static_cast<std::size_t>(pick(rng))] : k == 1 ? any(rng) * 1e12 : std::round(near(rng) * 2) / 2;
    };
    const double x = coord(), y = coord();
    const Rect clip = viewport_rect(s, 640, 480);
    const Point p = to_pixel(s, x, y);
    int px = -1, py = -1;
    const bool in = pixel_in(s, clip, x, y, px, py);
    ASSERT_EQ(in, clip.contains(p)) << x << "," << y;
    if (in) {
      ASSERT_EQ(std::pair(double(px), double(py)), std::pair(p.x, p.y)) << x << "," << y;
    }
  }
}

}  // namespace
