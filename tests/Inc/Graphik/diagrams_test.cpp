// Diagrams drawn on the headless surface, checked pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <vector>

#include "Inc/Graphik.hpp"
#include "surface/headless.hpp"

namespace {

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;
const Double kNaN = std::numeric_limits<Double>::quiet_NaN();

std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }

// Number of pixels of colour c in the inclusive rectangle.
int count(std::uint32_t c, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += rgb(x, y) == c;
  return n;
}

void open(std::uint32_t fore = kBlack, std::uint32_t back = kWhite) {
  headless::reset();
  INITGFX("test", 640, 480, static_cast<Integer>(fore), static_cast<Integer>(back));
}

// Surface pixel of a logical point in the current viewport and mapping.
std::pair<int, int> pixel_of(Double x, Double y) {
  Integer l = 0, t = 0, r = 0, b = 0;
  SCREEN_QUERY(11, l, t, r, b);
  return {l + static_cast<int>(std::lround(SCREEN_MAP_COORD(static_cast<Single>(x), 0))),
          t + static_cast<int>(std::lround(SCREEN_MAP_COORD(static_cast<Single>(y), 1)))};
}

std::vector<Double> g_calls;
Double record(Double x) {
  g_calls.push_back(x);
  return x;
}
Double plane(Double x, Double) { return x; }

// Names, values and colours of a chart with one entry per value.
struct Series {
  Array<String> names;
  Array<Double> values;
  Array<Integer> colours;
  Series(std::initializer_list<Double> v, std::initializer_list<Integer> c, const String& name = "n")
      : names(0, static_cast<Integer>(v.size()) - 1), values(0, names.upper()), colours(0, names.upper()) {
    for (Integer i = 0; i <= names.upper(); ++i) names[i] = name, values[i] = v.begin()[i], colours[i] = c.begin()[i];
  }
};
Double zero(Double, Double) { return 0; }

TEST(GraphikGrid, WorkedRangeSetsMarginViewportAndMapping) {
  open();
  KOORDINATEN(-10, -1, 10, 1, 4, 2, "x", "ab", "caption");
  Integer l = 0, t = 0, r = 0, b = 0;
  SCREEN_QUERY(11, l, t, r, b);
  EXPECT_EQ(std::vector<Integer>({l, t, r, b}), std::vector<Integer>({32, 16, 623, 415}));
  EXPECT_EQ(rgb(31, 200), kBlack);  // border one pixel outside
  EXPECT_EQ(rgb(624, 200), kBlack);
  EXPECT_GT(count(kBlack, 8, 0, 31, 24), 0);  // "1 " right-aligned at the top edge
  // the two-letter name "ab " is written horizontally in the margin at rows 207..223
  EXPECT_GT(count(kBlack, 0, 207, 31, 223), 0);
  EXPECT_EQ(count(kBlack, 0, 150, 30, 200), 0);  // column 31 is the border

  open();  // a longer y name is turned upright
  KOORDINATEN(-10, -1, 10, 1, 4, 2, "x", "abc", "");
  // rotated from (8, 232) upwards: 32 rows high, 16 columns wide
  EXPECT_GT(count(kBlack, 8, 200, 24, 215), 0);
  EXPECT_GT(count(kBlack, 8, 216, 24, 232), 0);
  EXPECT_EQ(count(kBlack, 25, 190, 30, 240), 0);
}

TEST(GraphikGrid, LinesStandAtEveryInterval) {
  open();
  SCREEN_SET_VIEW(50, 50, 449, 349, 0, 0, SCREEN_VIEW_NO_FILL | SCREEN_VIEW_NO_BORDER);
  KOORDINATEN(0, 0, 8, 1, 4, 1, "", "", "");
  const int row = pixel_of(0, 0.5).second;
  for (int v = 0; v <= 8; ++v) {
    const int x = pixel_of(v, 0.5).first;
    EXPECT_EQ(rgb(x, row), v % 2 == 0 ? kBlack : kWhite) << "x = " << v;
  }
}

TEST(GraphikGrid, DegenerateArgumentsDrawOnlyWhatIsDefined) {
  open();
  KOORDINATEN(0, 0, 8, 1, 0, -3, "", "", "");  // no grid lines, frame only
  const auto [x, y] = pixel_of(4, 0.5);
  EXPECT_EQ(rgb(x, y), kWhite);
  for (const Double bad : {kNaN, 5.0, 1e300}) {
    open();
    KOORDINATEN(5, 0, bad, 1, 4, 4, "x", "y", "");
    EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(7, 0), 7) << "mapping switched off for " << bad;
  }
  open();
  KOORDINATEN(0, 0, 1, 1, 1000000000, 0, "", "", "");  // more lines than columns: all filled
  Integer l = 0, t = 0, r = 0, b = 0;
  SCREEN_QUERY(11, l, t, r, b);
  EXPECT_EQ(count(kBlack, l, t, r, b), (r - l + 1) * (b - t + 1));
}

TEST(GraphikCurves, SegmentsAndSkippedPoints) {
  open();
  Array<Double> xs(0, 3), ys(0, 3);
  const Double px[] = {10, 100, kNaN, 300}, py[] = {10, 10, 50, 50};
  for (int i = 0; i < 4; ++i) xs[i] = px[i], ys[i] = py[i];
  ZEICHNEKURVE(xs, ys, 0xFF0000);
  EXPECT_EQ(count(0xFF0000, 0, 0, 639, 479), 91);  // only the first segment survives
  Array<Double> one(0, 0);
  one[0] = 5;
  ZEICHNEKURVE(one, one, 0x00FF00);
  EXPECT_EQ(count(0x00FF00, 0, 0, 639, 479), 0);
  EXPECT_EXIT(ZEICHNEKURVE(xs, one, 0), testing::ExitedWithCode(6), "out of bounds array access");  // short ys
}

TEST(GraphikFunction, SegmentStartsEvaluationOrderAndDegenerateSteps) {
  open();
  g_calls.clear();
  ZEICHNEFKT(record, 0, 3, 0);
  ASSERT_GE(g_calls.size(), 598u);
  ASSERT_LE(g_calls.size(), 600u);
  for (std::size_t k = 0; k + 1 < g_calls.size(); k += 2) {
    const Double start = 0.01 * static_cast<Double>(k / 2);
    EXPECT_NEAR(g_calls[k + 1], start, 1e-9);  // f at x after f at x + h
    EXPECT_NEAR(g_calls[k], start + 0.01, 1e-9);
  }
  g_calls.clear();
  ZEICHNEFKT(record, 2, 2, 0);
  ZEICHNEFKT(record, kNaN, 1, 0);
  ZEICHNEFKT(record, 0, std::numeric_limits<Double>::infinity(), 0);
  EXPECT_TRUE(g_calls.empty());
  ZEICHNEFKT(record, 1e17, 1e17 + 16, 0);  // x + h == x
  EXPECT_LE(g_calls.size(), 2u);
  EXPECT_EXIT(ZEICHNEFKT(nullptr, 2, 2, 0), testing::ExitedWithCode(7), "null pointer access");
}

TEST(GraphikBars, CentredBarsAndANegativeBar) {
  open();
  Series s({1, -1, 2}, {0xFF0000, 0x00FF00, 0x0000FF});
  BALKENDIAGRAMM(s.names, s.values, -2, 3, 5, "x", "Menge", "cap", s.colours);
  EXPECT_NEAR(SCREEN_MAP_COORD(-0.5f, 0), 0, 1e-3);  // window -0.5..2.5
  for (int i = 0; i < 3; ++i) {
    const Double v = s.values[i];
    const auto c = static_cast<std::uint32_t>(s.colours[i]);
    const auto [x, y] = pixel_of(i, v / 2);
    EXPECT_EQ(rgb(x, y), c) << i;
    const auto [xo, yo] = pixel_of(i, -v / 2);  // the other side of 0 stays empty
    EXPECT_NE(rgb(xo, yo), c) << i;
    const auto [xg, yg] = pixel_of(i + 0.5, v / 2);  // the gap between bars
    EXPECT_NE(rgb(xg, yg), c) << i;
  }
}

TEST(GraphikBars, UnboundedValuesAndEmptyScale) {
  open();
  Series s({std::numeric_limits<Double>::infinity(), kNaN, -1e300}, {0xFF0000, 0x00FF00, 0x0000FF}, "");
  BALKENDIAGRAMM(s.names, s.values, -2, 3, 5, "", "", "", s.colours);
  const auto top = pixel_of(0, 2.9), bottom = pixel_of(2, -1.9);
  EXPECT_EQ(rgb(top.first, top.second), 0xFF0000u);  // cut off at the top of the scale
  EXPECT_EQ(rgb(bottom.first, bottom.second), 0x0000FFu);
  EXPECT_EQ(count(0x00FF00, 0, 0, 639, 479), 0);  // NaN: no bar
  open();
  BALKENDIAGRAMM(s.names, s.values, 1, 1, 5, "", "", "", s.colours);  // ymin = ymax: labels and frame only
  EXPECT_EQ(count(0xFF0000, 0, 0, 639, 479), 0);
}

// Pie with values 1, 1, 2 on the whole 640 x 480 window: centre (320, 216), radius 168.
class GraphikPie : public testing::TestWithParam<std::uint32_t> {};

TEST_P(GraphikPie, SlicesFillInsideTheirSpans) {
  const std::uint32_t fore = GetParam(), back = fore ^ 0xFFFFFFu;
  open(fore, back);
  const std::uint32_t fills[] = {0xFF0000, 0x00AA00, 0x0000FF};
  Series s({1, 1, 2}, {0xFF0000, 0x00AA00, 0x0000FF}, "Slice");
  KREISDIAGRAMM(s.names, s.values, s.colours, "");

  const Double cx = 320, cy = 216, r = 168, pi = std::numbers::pi;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const Double dx = x - cx, dy = cy - y, d = std::hypot(dx, dy);
      const std::uint32_t p = rgb(x, y);
      if (d > r + 1.5) {
        ASSERT_TRUE(p == fore || p == back) << "fill leaked to " << x << "," << y;
        continue;
      }
      Double a = std::atan2(dy, dx);
      if (a < 0) a += 2 * pi;
      const bool near_line = d < 3 || std::fabs(dy) < 2 || (a < pi && std::fabs(dx) < 2);
      if (d > r - 2 || near_line) continue;
      const int slice = a < pi / 2 ? 0 : a < pi ? 1 : 2;
      ASSERT_EQ(p, fills[slice]) << x << "," << y;
    }
  }
  // labels: slice 0 starts at its label point, slice 1 ends at its label point
  const int l0 = static_cast<int>(std::lround(cx + 1.1 * r * std::cos(pi / 4)));
  const int l1 = static_cast<int>(std::lround(cx + 1.1 * r * std::cos(3 * pi / 4)));
  const int ly = static_cast<int>(std::lround(cy - 1.1 * r * std::sin(pi / 4)));
  EXPECT_GT(count(fore, l0, ly - 8, l0 + 40, ly + 8), 0);
  EXPECT_EQ(count(fore, l0 - 8, ly - 8, l0 - 1, ly + 8), 0);
  EXPECT_GT(count(fore, l1 - 40, ly - 8, l1, ly + 8), 0);
  EXPECT_EQ(count(fore, l1 + 1, ly - 8, l1 + 8, ly + 8), 0);
}

INSTANTIATE_TEST_SUITE_P(Foregrounds, GraphikPie, testing::Values(kBlack, kWhite));

TEST(GraphikPieDegenerate, ZeroOrInvalidTotalDrawsOnlyTheCircle) {
  for (const Double second : {-1.0, kNaN}) {
    open();
    Series s({1, second}, {0xFF0000, 0x00FF00}, "");
    KREISDIAGRAMM(s.names, s.values, s.colours, "");
    EXPECT_EQ(rgb(320, 216), kWhite);         // no radius lines meet at the centre
    EXPECT_EQ(rgb(320 + 168, 216), kBlack);   // the outline is there
    EXPECT_EQ(count(0xFF0000, 0, 0, 639, 479), 0);
  }
}

TEST(GraphikColourMap, BlueOnTheLeftRedOnTheRight) {
  open();
  SCREEN_SET_VIEW(100, 50, 299, 149, 0, 0, SCREEN_VIEW_NO_FILL | SCREEN_VIEW_NO_BORDER);
  PLOTFKT(plane, 0, 0, 10, 10, 0);
  for (int y = 50; y <= 149; ++y) {
    EXPECT_EQ(headless::pixel(100, y), 0xFF0000FAu) << y;
    EXPECT_EQ(headless::pixel(299, y) & 0xFFFF00FFu, 0xFFFA0000u) << y;
  }
  EXPECT_EQ(count(kWhite, 100, 50, 299, 149), 0);  // every pixel painted
  // a reversed x range gives the same picture
  std::vector<std::uint32_t> forward;
  for (int x = 100; x <= 299; ++x) forward.push_back(headless::pixel(x, 100));
  SCREEN_CLEAR(1);
  PLOTFKT(plane, 10, 0, 0, 10, 0);
  for (int x = 100; x <= 299; ++x) EXPECT_EQ(headless::pixel(x, 100), forward[x - 100]) << x;
}

Double wave(Double x, Double) { return std::sin(x); }
Double spike(Double x, Double) { return x == 1234567 ? 1 : 0; }

TEST(GraphikColourMap, RangeIsScannedOnTheUnitGrid) {
  open();
  // 600 x 100 pixels over 0..3000 x 0..1: column c shows x = 5c.
  SCREEN_SET_VIEW(20, 50, 619, 149, 0, 0, SCREEN_VIEW_NO_FILL | SCREEN_VIEW_NO_BORDER);
  PLOTFKT(wave, 0, 0, 3000, 1, 0);
  Double fmin = 0, fmax = 0;
  for (int x = 0; x <= 3000; ++x) fmin = std::min(fmin, std::sin(x)), fmax = std::max(fmax, std::sin(x));
  int wrong = 0;
  for (int c = 0; c < 600; ++c) {
    const auto expected = static_cast<std::uint32_t>(RGBWERT((std::sin(5.0 * c) - fmin) / (fmax - fmin), 0));
    for (int y = 50; y <= 149; ++y) wrong += headless::pixel(20 + c, y) != expected;
  }
  EXPECT_EQ(wrong, 0);

  // 4,000,000 grid points are still scanned one by one: f is 0 on all but one of them.
  SCREEN_CLEAR(1);
  PLOTFKT(spike, 0, 0, 3999999, 0.5, 0);
  EXPECT_EQ(count(0x0000FA, 20, 50, 619, 149), 600 * 100);
}

TEST(GraphikColourMap, DegenerateArgumentsPaintNothing) {
  open();
  SCREEN_SET_VIEW(100, 50, 299, 149, 0, 0, SCREEN_VIEW_NO_FILL | SCREEN_VIEW_NO_BORDER);
  PLOTFKT(plane, 3, 0, 3, 10, 0);            // x1 = x2
  PLOTFKT(plane, 0, kNaN, 10, 1, 0);         // NaN coordinate
  PLOTFKT(zero, 0, 0, 10, 10, 0);            // fmax = fmin = 0
  PLOTFKT(plane, 1e16, 0, 1e16 + 4, 1, 0);  // no room for one step
  EXPECT_EQ(count(kWhite, 100, 50, 299, 149), 200 * 100);
  PLOTFKT(plane, 0, 0, 1e30, 1e30, 0);  // huge range: bounded scan, then a full paint
  EXPECT_EQ(count(kWhite, 100, 50, 299, 149), 0);
}

TEST(GraphikRotatedText, ZeroAndNinetyDegreesMatchPlainText) {
  open();
  const String text = "Ab9";
  ASSERT_EQ(SCREEN_DRAW_TEXT(nullptr, 300, 300, 4, text, 0x112233), 0);
  DRAWROTATEDSTRING(100, 100, text, 0x112233, 0);
  DRAWROTATEDSTRING(100, 250, text, 0x112233, 90);
  for (int i = 0; i < 24; ++i) {
    for (int j = 0; j < 16; ++j) {
      const bool ink = rgb(300 + i, 300 + j) == 0x112233;
      EXPECT_EQ(rgb(100 + i, 100 + j) == 0x112233, ink) << i << "," << j;
      EXPECT_EQ(rgb(100 + j, 250 - i) == 0x112233, ink) << i << "," << j;  // reads upwards
    }
  }
  DRAWROTATEDSTRING(400, 100, text, 0x445566, kNaN);
  EXPECT_EQ(count(0x445566, 0, 0, 639, 479), 0);
}

}  // namespace
