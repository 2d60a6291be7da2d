// The fonts and text drawing.
#include "surface/raster_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "raster_buf.hpp"

namespace {

using namespace surf;
using namespace surf::raster;
using namespace raster_test;

TEST(RasterText, GlyphsComeFromCodePage437) {
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

TEST(RasterText, TextDrawsInkOnlyAndClipsPixelByPixel) {
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

}  // namespace
