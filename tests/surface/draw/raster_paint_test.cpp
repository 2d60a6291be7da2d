// Flood fill against a plain search of the connected region.
#include "surface/raster_paint.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <queue>
#include <random>
#include <utility>
#include <vector>

#include "raster_buf.hpp"
#include "surface/raster_line.hpp"

namespace {

using namespace surf;
using namespace surf::raster;
using namespace raster_test;

TEST(RasterPaint, FloodFillStaysInsideItsBorder) {
  Buf b(30, 30);
  rect(b.c, b.all(), {5, 5}, {20, 20}, 9, false, 0xFFFF, b.rows);
  Rows rows;
  ASSERT_TRUE(paint(b.c, b.all(), {8, 8}, 4, 9, rows));
  EXPECT_EQ(b.count(4), 14 * 14);
  EXPECT_EQ(b.count(9), 15 * 4);
  EXPECT_EQ(rows.y0, 6);
  EXPECT_EQ(rows.y1, 19);
}

TEST(RasterPaint, FloodFillMatchesAConnectedRegionSearch) {
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

}  // namespace
