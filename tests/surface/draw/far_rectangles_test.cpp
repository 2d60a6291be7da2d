// Filled rectangles whose corners lie beyond the Integer range: one wholly off the surface
// draws nothing, one that spans the surface fills exactly the viewport.
#include <gtest/gtest.h>

#include "surface/headless.hpp"
#include "surface/surface.hpp"

namespace {

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
