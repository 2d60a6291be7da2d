// Block copies, also within one buffer.
#include "surface/raster_blit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "raster_buf.hpp"

namespace {

using namespace surf;
using namespace surf::raster;
using namespace raster_test;

TEST(RasterBlit, OverlappingCopiesWithinOneBufferReadTheOriginal) {
  // The whole buffer onto itself, moved by each of the eight neighbouring offsets and clipped.
  for (auto [dx, dy] : {std::pair{0, 1}, {0, -1}, {1, 0}, {-1, 0}, {2, 3}, {-3, 2}, {3, -2}, {-2, -3}}) {
    Buf b(12, 9);
    for (std::size_t i = 0; i < b.px.size(); ++i) b.px[i] = static_cast<std::uint32_t>(i + 1);
    const std::vector<std::uint32_t> before = b.px;
    const Rect clip{1, 1, 10, 7};
    blit(b.c, clip, {double(dx), double(dy)}, b.c, b.rows);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 12; ++x) {
        const bool moved = clip.contains(x, y) && x - dx >= 0 && x - dx < 12 && y - dy >= 0 && y - dy < 9;
        const std::uint32_t want = moved ? before[static_cast<std::size_t>((y - dy) * 12 + (x - dx))]
                                         : before[static_cast<std::size_t>(y * 12 + x)];
        ASSERT_EQ(b.at(x, y), want) << dx << "," << dy << " at " << x << "," << y;
      }
    EXPECT_EQ(std::pair(b.rows.y0, b.rows.y1), std::pair(std::max(1, dy), std::min(7, 8 + dy)));
  }
}

}  // namespace
