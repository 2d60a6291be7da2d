// The drawing state on an open headless surface: viewport, logical window, colours, text
// grid, clearing and page copies.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>

#include "draw_fixture.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace {

using draw_test::Draw;
using draw_test::Q;
using draw_test::query;

TEST_F(Draw, ViewportPlacementAndLogicalWindow) {
  SCREEN_SET_VIEW(500, 10, 990, 490, 0, 0, SCREEN_VIEW_NO_BORDER);
  EXPECT_EQ(query(11), (Q{500, 10, 990, 490}));
  SCREEN_PSET(nullptr, 0, 0, 0x123456);
  EXPECT_EQ(std::tuple(at(500, 10), SCREEN_POINT(nullptr, 0, 0), SCREEN_POINT(nullptr, -1, 0)),
            std::tuple(0x123456u, 0x123456, -1));

  SCREEN_SET_WINDOW(-1, -1, 1, 1, 0);
  SCREEN_PSET(nullptr, 0, 0, 0xABCDEF);
  EXPECT_EQ(at(746, 249), 0xABCDEFu);
  EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(0, 0), 245.5f);
  EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(0, 1), 480 - 240.5f);
  EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(245.5f, 2), 0);
  EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(480 - 240.5f, 3), 0);
  EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(1, 7), 0);
  // The radius scales with view_w / win_w: radius 1 spans half the viewport width.
  SCREEN_CIRCLE(nullptr, 0, 0, 1, 0xFF0000, 0, 0, SCREEN_FULL_CIRCLE, 1);
  EXPECT_EQ(at({{510, 249}, {498, 249}}), (Px{0xFF0000, 0}));  // the second lies outside the viewport

  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
  EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(2, 0), 2);
  EXPECT_FLOAT_EQ(SCREEN_MAP_COORD(16, 2), 16);
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  EXPECT_EQ(query(11), (Q{0, 0, 999, 499}));
  EXPECT_EQ(std::pair(query(4)[0], query(4)[1]), std::pair(1000, 500));
}

TEST_F(Draw, SetViewDrawsBorderAndFillAndClearsByMode) {
  SCREEN_SET_COLOR(0, 0xEEEEEE, 0);
  SCREEN_CLEAR(0);
  EXPECT_EQ(at(0, 0), 0xEEEEEEu);
  SCREEN_SET_VIEW(20, 30, 10, 10, 0x00FF00, 0x0000FF, 0);  // corners in either order
  // Border outside the corners, fill from corner to corner, untouched beyond.
  EXPECT_EQ(at({{9, 9}, {21, 31}, {10, 10}, {20, 30}, {22, 32}}), (Px{0xFF, 0xFF, 0xFF00, 0xFF00, 0xEEEEEE}));
  // The outline of a viewport at the surface edge is clipped to the surface only.
  SCREEN_SET_VIEW(0, 0, 5, 5, 0x00FF00, 0x0000FF, SCREEN_VIEW_NO_FILL);
  EXPECT_EQ(at(6, 6), 0x0000FFu);
  // An off-surface viewport changes nothing.
  SCREEN_SET_VIEW(2000, 0, 3000, 5, 1, 1, 0);
  EXPECT_EQ(query(11)[2], 5);
  // Mode left out clears the viewport that was set; mode 0 the whole page.
  SCREEN_SET_COLOR(0, 0x111111, 1);
  SCREEN_CLEAR();
  EXPECT_EQ(at({{3, 3}, {6, 6}}), (Px{0x111111, 0xFF}));
  SCREEN_CLEAR(0);
  EXPECT_EQ(at(6, 6), 0x111111u);
}

TEST_F(Draw, ColoursAndDefaultColourFlags) {
  EXPECT_EQ(SCREEN_SET_COLOR(0xFFFFFF, 0, 2), static_cast<Integer>(0xFFFFFFFFu));
  EXPECT_EQ(SCREEN_SET_COLOR(0, 0, 3), 0xFFFFFF);
  SCREEN_SET_COLOR(0x00AA00, 0x0000AA, 0);
  SCREEN_PSET(nullptr, 1, 1, 0, SCREEN_FLAG_FORE);
  SCREEN_PSET(nullptr, 2, 1, 0, SCREEN_FLAG_FORE, 1);
  EXPECT_EQ(at({{1, 1}, {2, 1}}), (Px{0x00AA00, 0x0000AA}));
  // Paint with bit 30: the border is the fill colour.
  SCREEN_LINE(nullptr, 10, 10, 20, 20, 0x00AA00, 1);
  SCREEN_PAINT(nullptr, 15, 15, 0, 0, {}, 0, SCREEN_FLAG_FORE | SCREEN_FLAG_FORE2);
  EXPECT_EQ(at({{15, 15}, {25, 15}}), (Px{0x00AA00, 0}));
}

TEST_F(Draw, TextGridChoosesTheFont) {
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(0, 0), (125) | (62 << 16));  // 8x8 after open
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(1000 / 8, 500 / 16), 0);
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(-1, -1), (125) | (31 << 16));
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(100, 0), 0);  // cell 10 wide: no change
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(0, 0), (125) | (31 << 16));
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(0, 35), 0);  // 8 x 14
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(0, 0), (125) | (35 << 16));
}

TEST_F(Draw, CopyPageSavesAndRestoresTheViewport) {
  SCREEN_LINE(nullptr, 0, 0, 99, 99, 0x445566, 2);
  EXPECT_EQ(SCREEN_COPY_PAGE(0, 1), 0);
  SCREEN_CLEAR(0);
  EXPECT_EQ(at(50, 50), 0u);
  EXPECT_EQ(SCREEN_COPY_PAGE(1, -1), 0);
  EXPECT_EQ(at(50, 50), 0x445566u);
  EXPECT_EQ(SCREEN_COPY_PAGE(0, 2), ERR_ILLEGAL_FUNCTION_CALL);
  EXPECT_EQ(SCREEN_COPY_PAGE(0, 0), 0);
}

}  // namespace
