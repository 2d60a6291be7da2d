// The drawing primitives on an open headless surface: pixels, lines, text, images and the
// rows they mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include "draw_fixture.hpp"
#include "raster_buf.hpp"
#include "surface/core.hpp"
#include "surface/headless.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace {

using draw_test::Draw;
using draw_test::Q;
using draw_test::query;

TEST_F(Draw, PrintUsesOpaqueCellsAndScrolls) {
  SCREEN_SET_COLOR(0xFFFFFF, 0x000080, 0);
  SCREEN_PRINT("\xDB ");  // full block, blank
  // The blank's cell is opaque; the next row is untouched until printed.
  EXPECT_EQ(at({{0, 0}, {7, 7}, {8, 0}, {0, 8}}), (Px{0xFFFFFF, 0xFFFFFF, 0x80, 0}));
  for (int i = 1; i < 62; ++i) SCREEN_PRINT(" ");
  EXPECT_EQ(at(0, 0), 0xFFFFFFu);  // 62 rows fill the surface exactly
  SCREEN_PRINT(" ");               // the 63rd scrolls by one text row
  EXPECT_EQ(at({{0, 0}, {0, 488}}), (Px{0x80, 0x80}));
}

TEST_F(Draw, ImagesAreTargetsAndSources) {
  Image* img = SCREEN_IMAGE_CREATE(20, 16, 0x0000FF);
  ASSERT_NE(img, nullptr);
  // Image pixels ignore the surface's viewport and logical window.
  SCREEN_SET_VIEW(500, 10, 990, 490, 0, 0, SCREEN_VIEW_NO_BORDER);
  SCREEN_SET_WINDOW(-1, -1, 1, 1, 0);
  SCREEN_SET_TEXT_GRID(125, 31);
  EXPECT_EQ(SCREEN_DRAW_TEXT(img, 0, 0, 0, "\xDB", 0xFF0000), 0);
  EXPECT_EQ(std::tuple(SCREEN_POINT(img, 0, 0), SCREEN_POINT(img, 8, 0), SCREEN_POINT(img, 20, 0)),
            std::tuple(0xFF0000, 0xFF, -1));
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
  // Put clips to the target's viewport: here only its top-left quarter lies inside.
  EXPECT_EQ(SCREEN_PUT(nullptr, -10, -8, img), 0);
  EXPECT_EQ(at({{500, 10}, {509, 17}, {510, 10}, {499, 10}}), (Px{0xFF, 0xFF, 0, 0}));
  EXPECT_EQ(SCREEN_PUT(nullptr, 0, 0, nullptr), ERR_ILLEGAL_FUNCTION_CALL);
  SCREEN_IMAGE_DESTROY(img);
  SCREEN_IMAGE_DESTROY(nullptr);
  EXPECT_EQ(SCREEN_IMAGE_CREATE(0, 5, 0), nullptr);
  EXPECT_EQ(RUNTIME_LAST_ERROR(), ERR_ILLEGAL_FUNCTION_CALL);
  EXPECT_EQ(SCREEN_IMAGE_CREATE(5, 5, 0, 8), nullptr);
  EXPECT_EQ(SCREEN_IMAGE_CREATE(2000000000, 2000000000, 0), nullptr);
  EXPECT_EQ(RUNTIME_LAST_ERROR(), ERR_OUT_OF_MEMORY);
}

// Rows of page 0 flagged as changed, cleared afterwards.
std::vector<int> take_changed() {
  surf::DrawLock lock(surf::core());
  surf::Surface& c = lock.surface();
  std::vector<int> rows;
  for (std::size_t y = 0; y < c.changed.size(); ++y)
    if (c.changed[y]) rows.push_back(static_cast<int>(y));
  std::fill(c.changed.begin(), c.changed.end(), std::uint8_t{0});
  return rows;
}

TEST_F(Draw, PixelsFlagOnlyTheRowTheyWrite) {
  take_changed();
  SCREEN_SET_VIEW(500, 10, 990, 490, 0, 0, SCREEN_VIEW_NO_BORDER | SCREEN_VIEW_NO_FILL);
  SCREEN_SET_WINDOW(-1, -1, 1, 1, 0);
  SCREEN_PSET(nullptr, 0, 0, 0x111111);
  EXPECT_EQ(take_changed(), std::vector<int>{249});
  // Outside the viewport, NaN, infinite and huge points write and flag nothing.
  const float nan = std::nanf(""), inf = HUGE_VALF;
  for (auto [x, y] : {std::pair{-1.5f, 0.0f}, {0.0f, 1.01f}, {nan, 0.0f}, {0.0f, nan}, {inf, 0.0f},
                      {-inf, -inf}, {3e38f, 0.0f}, {0.0f, -3e38f}})
    SCREEN_PSET(nullptr, x, y, 0x222222);
  EXPECT_TRUE(take_changed().empty());
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  for (int x = 0; x < 1000; ++x)
    for (int y = 0; y < 500; ++y) ASSERT_EQ(at(x, y), x == 746 && y == 249 ? 0x111111u : 0u) << x << "," << y;

  // Into an image: its own coordinates, the default colour, and no row of page 0 flagged.
  Image* img = SCREEN_IMAGE_CREATE(4, 3, 0);
  ASSERT_NE(img, nullptr);
  SCREEN_SET_COLOR(0x00AA00, 0x0000AA, 0);
  SCREEN_PSET(img, 3, 2, 0, SCREEN_FLAG_FORE);
  SCREEN_PSET(img, 4, 0, 0x333333);  // one past the right edge
  EXPECT_EQ(SCREEN_POINT(img, 3, 2), 0x00AA00);
  EXPECT_EQ(SCREEN_POINT(img, 3, 0), 0);
  EXPECT_TRUE(take_changed().empty());
  SCREEN_IMAGE_DESTROY(img);

  SCREEN_CIRCLE(nullptr, 500, 250, 240, 0x444444, 0, 0, SCREEN_FULL_CIRCLE, 1);
  const std::vector<int> rows = take_changed();
  ASSERT_EQ(rows.size(), 481u);
  EXPECT_EQ(std::pair(rows.front(), rows.back()), std::pair(10, 490));
}

TEST_F(Draw, FarLinesSetTheWholeLinesPixelsWithAndWithoutAViewport) {
  // One end some 10^12 pixels away; each viewport shows its own part of the same line.
  const Single x1 = 1.27390279e12f, y1 = -3.67280423e11f, x2 = 83, y2 = 29;
  const struct {
    Integer left, top, right, bottom, flags;
  } views[] = {{0, 0, 999, 499, 0}, {500, 10, 990, 490, 0}, {120, 0, 150, 40, SCREEN_VIEW_SCREEN}};
  for (const auto& v : views) {
    SCREEN_CLEAR(0);
    SCREEN_SET_VIEW(v.left, v.top, v.right, v.bottom, 0, 0, SCREEN_VIEW_NO_BORDER | v.flags);
    SCREEN_LINE(nullptr, x1, y1, x2, y2, 0xFFFFFF);
    const std::int64_t ox = v.flags ? 0 : v.left, oy = v.flags ? 0 : v.top;
    std::vector<std::uint32_t> want(1000 * 500, 0), got(1000 * 500);
    int inside = 0;
    for (auto [x, y] : raster_test::line_pixels(std::int64_t(x1) + ox, std::int64_t(y1) + oy, 83 + ox, 29 + oy,
                                                v.left, v.right))
      if (y >= v.top && y <= v.bottom) want[static_cast<std::size_t>(y * 1000 + x)] = 0xFFFFFF, ++inside;
    for (int y = 0; y < 500; ++y)
      for (int x = 0; x < 1000; ++x) got[static_cast<std::size_t>(y * 1000 + x)] = at(x, y);
    EXPECT_GT(inside, 20);
    EXPECT_EQ(got, want) << v.left << "," << v.top;
  }
}

TEST(DrawClosed, OperationsWithoutASurfaceFailCleanly) {
  headless::reset();
  for (Integer r :
       {SCREEN_DRAW_TEXT(nullptr, 0, 0, 0, "x", 1), SCREEN_PUT(nullptr, 0, 0, nullptr), SCREEN_SET_TEXT_GRID(10, 10)})
    EXPECT_EQ(r, ERR_ILLEGAL_FUNCTION_CALL);
  EXPECT_EQ(SCREEN_POINT(nullptr, 0, 0), -1);
  EXPECT_EQ(query(4), (Q{0, 0, 0, 0}));
  SCREEN_PSET(nullptr, 0, 0, 1), SCREEN_CIRCLE(nullptr, 0, 0, 5, 1), SCREEN_PRINT("x"), SCREEN_CLEAR(0);
}

// Filled rectangles whose corners lie beyond the Integer range: one wholly off the surface
// draws nothing, one that spans the surface fills exactly the viewport.
int count(std::uint32_t colour, int w, int h) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += (headless::pixel(x, y) & 0xFFFFFFu) == colour;
  return n;
}

TEST(RegressFarRectangles, CornersPastTheIntegerRange) {
  headless::reset();
  ASSERT_EQ(SCREEN_OPEN(40, 30, 32, 1, 4, 0), 0);
  const struct {
    Single x1, y1, x2, y2;
  } off[] = {{3e9f, 0, 4e9f, 10}, {0, 3e9f, 10, 4e9f}, {-4e9f, 0, -3e9f, 10}, {0, -4e9f, 10, -3e9f}};
  for (const auto& r : off) SCREEN_LINE(nullptr, r.x1, r.y1, r.x2, r.y2, 0x00FF00, 2);
  EXPECT_EQ(count(0x00FF00, 40, 30), 0);

  SCREEN_SET_VIEW(5, 6, 14, 16, 0, 0, SCREEN_VIEW_NO_BORDER);
  SCREEN_LINE(nullptr, -3e9f, -3e9f, 3e9f, 3e9f, 0x0000FF, 2);
  EXPECT_EQ(count(0x0000FF, 40, 30), 10 * 11);
  EXPECT_EQ(headless::pixel(5, 6) & 0xFFFFFFu, 0x0000FFu);
  EXPECT_EQ(headless::pixel(14, 16) & 0xFFFFFFu, 0x0000FFu);
}

}  // namespace
