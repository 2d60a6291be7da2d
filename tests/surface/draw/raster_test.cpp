// Pixel-exact tests of the primitives on plain buffers.
#include "surface/raster.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <queue>
#include <random>
#include <tuple>
#include <vector>

namespace {

using namespace surf;
using namespace surf::raster;

struct Buf {
  std::vector<std::uint32_t> px;
  Canvas c;
  Rows rows;
  Buf(int w, int h) : px(static_cast<std::size_t>(w) * h, 0) { c = Canvas{px.data(), w, h, w}; }
  std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * c.width + x]; }
  Rect all() const { return Rect{0, 0, c.width - 1, c.height - 1}; }
  int count(std::uint32_t v) const { return static_cast<int>(std::count(px.begin(), px.end(), v)); }
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

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

TEST(Raster, RectanglesCoverBothCornersInEitherOrder) {
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

TEST(Raster, LineStyleStartsWithBit15) {
  Buf s(40, 4);
  line(s.c, s.all(), {0, 1}, {31, 1}, 3, 0xF0F0, s.rows);  // bit 15 first
  for (int x = 0; x < 32; ++x) EXPECT_EQ(s.at(x, 1), (x % 8) < 4 ? 3u : 0u) << x;
}

TEST(Raster, LinesMatchTheWholeLineInsideAnyClip) {
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

TEST(Raster, EllipseFollowsTheRecurrence) {
  const Rect clip{3, 2, 56, 47};  // cuts through several of the figures below
  for (double a = 0; a <= 30; a += 0.75)
    for (double aspect : {1.0, 0.5, 0.1, 1.6, 3.0})
      for (bool fill : {false, true})
        expect_reference_ellipse(60, 50, clip, 30, 25, aspect <= 1 ? a : a / aspect, std::min(a, a * aspect), fill);
}

TEST(Raster, LargeEllipsesMatchTheRecurrenceWhereItFitsAndStayFast) {
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
  arc(b.c, b.all(), {100, 50}, 1e20, 1e20, 0, 6.2, 4, b.rows);
  ellipse(b.c, b.all(), {100, 50}, 1e12, 1e12, 3, true, b.rows);
  for (int x = 0; x < 200; ++x) EXPECT_EQ(b.at(x, 50), 3u);  // the huge disc covers everything
  EXPECT_EQ(b.at(100, 0), 3u);
  Buf top(200, 100);
  ellipse(top.c, top.all(), {100, 50 + 1000000000}, 1e9, 1e9, 2, false, top.rows);
  EXPECT_EQ(top.at(100, 49) + top.at(100, 50) + top.at(100, 51), 2u);  // the topmost point
  Buf arcs(200, 100);
  arc(arcs.c, arcs.all(), {100, 50 + 1000000000}, 1e9, 1e9, 1.0, 2.0, 4, arcs.rows);
  EXPECT_EQ(arcs.at(100, 50), 4u);  // the arc passes π/2
  EXPECT_GT(arcs.count(4), 150);
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
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 160; ++x)
        ASSERT_EQ(part.at(x, y), clip.contains(x, y) ? whole.at(x, y) : 0u) << "kind " << k << " at " << x << "," << y;
  }
}

TEST(Raster, ArcsAreBoundedAndNormaliseAngles) {
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

TEST(Raster, FloodFillStaysInsideItsBorder) {
  Buf b(30, 30);
  rect(b.c, b.all(), {5, 5}, {20, 20}, 9, false, 0xFFFF, b.rows);
  Rows rows;
  ASSERT_TRUE(paint(b.c, b.all(), {8, 8}, 4, 9, rows));
  EXPECT_EQ(b.count(4), 14 * 14);
  EXPECT_EQ(b.count(9), 15 * 4);
  EXPECT_EQ(rows.y0, 6);
  EXPECT_EQ(rows.y1, 19);
}

TEST(Raster, FloodFillMatchesAConnectedRegionSearch) {
  std::mt19937 rng(3);
  // Besides border (9) and background, pixels of the fill colour (5) and of another (7), which
  // stop nothing; every fourth start lies anywhere, on the border or outside the clip included.
  std::discrete_distribution<int> colour({42, 40, 9, 9});
  std::uniform_int_distribution<int> sxd(0, 47), syd(0, 39);
  for (int n = 0; n < 200; ++n) {
    Buf b(48, 40);
    for (auto& v : b.px) v = std::array<std::uint32_t, 4>{9, 0, 5, 7}[static_cast<std::size_t>(colour(rng))];
    const Rect clip{4, 3, 43, 36};
    const int sx = n % 4 ? 20 : sxd(rng), sy = n % 4 ? 20 : syd(rng);
    if (n % 4) b.px[sy * 48 + sx] = 0;
    std::vector<std::uint32_t> want = b.px;
    std::queue<std::pair<int, int>> q;
    if (clip.contains(sx, sy) && b.at(sx, sy) != 9) q.push({sx, sy});
    std::vector<bool> seen(b.px.size());
    seen[static_cast<std::size_t>(sy * 48 + sx)] = true;
    while (!q.empty()) {
      auto [x, y] = q.front();
      q.pop();
      want[static_cast<std::size_t>(y * 48 + x)] = 5;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const int nx = x + dx, ny = y + dy;
        if (!clip.contains(nx, ny) || b.at(nx, ny) == 9 || seen[static_cast<std::size_t>(ny * 48 + nx)]) continue;
        seen[static_cast<std::size_t>(ny * 48 + nx)] = true;
        q.push({nx, ny});
      }
    }
    Rows rows;
    ASSERT_TRUE(paint(b.c, clip, {double(sx), double(sy)}, 5, 9, rows));
    ASSERT_EQ(b.px, want);
  }
}

TEST(Raster, GlyphsComeFromCodePage437) {
  // 254: a filled square in mid-cell: at least four inked rows, all alike, in every font.
  for (auto [font, h] : {std::pair{kFont8x8, 8}, {kFont8x14, 14}, {kFont8x16, 16}}) {
    const std::uint8_t* sq = font + 254 * h;
    EXPECT_NE(sq[h / 2], 0);
    EXPECT_EQ(std::count(sq, sq + h, 0) + std::count(sq, sq + h, sq[h / 2]), h) << h;
    EXPECT_LE(std::count(sq, sq + h, 0), h - 4);
    // 0xC4 (─): one full-width row and nothing else.
    const std::uint8_t* dash = font + 0xC4 * h;
    EXPECT_EQ(std::count(dash, dash + h, 0xFF), 1);
    EXPECT_EQ(std::count(dash, dash + h, 0), h - 1);
    // Bit 0 is the leftmost pixel, so 'A' leans to the low bits.
    const std::uint8_t* a = font + 'A' * h;
    int left = 0, right = 0;
    for (int r = 0; r < h; ++r) left += (a[r] & 0x01) != 0, right += (a[r] & 0x80) != 0;
    EXPECT_GT(left, 3);
    EXPECT_EQ(right, 0);
    EXPECT_EQ(std::count(font + ' ' * h, font + ' ' * h + h, 0), h);
  }
}

TEST(Raster, TextDrawsInkOnlyAndClipsPixelByPixel) {
  Buf b(40, 20);
  std::fill(b.px.begin(), b.px.end(), 2u);
  text(b.c, b.all(), {4, 2}, "A\xFE", kFont8x16, 16, 7, b.rows);
  const std::uint8_t* glyph = kFont8x16 + 'A' * 16;
  for (int r = 0; r < 16; ++r)
    for (int bx = 0; bx < 8; ++bx) EXPECT_EQ(b.at(4 + bx, 2 + r), (glyph[r] >> bx) & 1 ? 7u : 2u);
  // Left of the clip: skipped cells, the partly covered one clipped.
  Buf c(40, 20);
  text(c.c, Rect{10, 0, 39, 19}, {-10, 0}, "\xDB\xDB\xDB\xDB", kFont8x8, 8, 1, c.rows);  // full blocks
  for (int x = 0; x < 40; ++x) EXPECT_EQ(c.at(x, 3), x >= 10 && x < 22 ? 1u : 0u) << x;
}

TEST(Raster, RoundingIsHalfAwayFromZeroAndRejectsWhatNoCanvasHolds) {
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
  for (double v : vs) {
    std::int64_t i = 0;
    ASSERT_TRUE(round_to_int(v, i)) << v;
    EXPECT_EQ(static_cast<double>(i), std::round(v)) << v;
    EXPECT_EQ(round_half_away(v), std::round(v)) << v;
  }
  std::int64_t i = 0;
  for (double v : {kNaN, kInf, -kInf, 1e19, -1e300}) EXPECT_FALSE(round_to_int(v, i)) << v;
  EXPECT_TRUE(std::isnan(round_half_away(kNaN)));
  EXPECT_EQ(round_half_away(-kInf), -kInf);
  EXPECT_EQ(round_half_away(1e300), 1e300);
}

TEST(Raster, IntegerPixelTransformAgreesWithTheGeneralOne) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> side(1, 300), pos(-50, 300), flag(0, 1);
  std::uniform_real_distribution<double> logical(-4, 4), coord(-400, 700);
  const double odd[] = {kNaN, kInf, -kInf, 1e30, -1e30, 4.6e18};
  for (int n = 0; n < 20000; ++n) {
    DrawState s;
    s.view = Viewport{pos(rng), pos(rng), side(rng), side(rng), flag(rng) == 1, true};
    if (flag(rng)) {
      const double x1 = logical(rng), y1 = logical(rng);
      s.win = LogicalWindow{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(logical(rng) + 4.5),
                            static_cast<float>(logical(rng) + 4.5), true, flag(rng) == 1};
    }
    const Rect clip = viewport_rect(s, 256, 256);
    double x = s.win.active ? s.win.x + s.win.w * (logical(rng) + 4) / 8 : std::round(coord(rng) * 2) / 2;
    double y = s.win.active ? s.win.y + s.win.h * (logical(rng) + 4) / 8 : std::round(coord(rng) * 2) / 2;
    if (n % 10 == 0) (n % 20 == 0 ? x : y) = odd[(n / 10) % 6];
    const Point p = to_pixel(s, x, y);
    int px = -1, py = -1;
    const bool in = pixel_in(s, clip, x, y, px, py);
    ASSERT_EQ(in, clip.contains(p.x, p.y)) << x << "," << y;
    if (in) {
      EXPECT_EQ(px, p.x);
      EXPECT_EQ(py, p.y);
    }
  }
}

TEST(Raster, EllipsesAroundTheStepwiseLimitMatchTheRecurrence) {
  // Radii on both sides of the switch between the stepwise walk and the row search, seen
  // through windows on the edge, on the far side and across the centre row.
  for (double a : {4095.5, 4096.0, 4096.25, 4200.0})
    for (double b : {4096.0, 4097.0, 300.0, 0.75})
      for (bool fill : {false, true})
        for (long cx : {40L, -4050L, 4100L})
          for (long cy : {30L, 4120L, -4080L}) expect_reference_ellipse(80, 60, {0, 0, 79, 59}, cx, cy, a, b, fill);
}

}  // namespace
