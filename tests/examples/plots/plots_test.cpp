// The plot example on the headless backend: the whole program draws its panels and ends on
// the close request with status 0.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "plots_drawing.hpp"
#include "surface/headless.hpp"

namespace {

std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }

TEST(PlotsExample, DrawsEveryPanelAndEndsOnTheCloseRequest) {
  headless::reset();
  headless::key(50, 'x');  // an ordinary key is read and ignored
  headless::close_request(100);
  EXPECT_EQ(plots_example::run(), 0);
  EXPECT_GE(headless::now_ms(), 100.0);

  // The colour scale strip runs from blue on its left to red on its right.
  const std::uint32_t left = rgb(672, 410), right = rgb(925, 410);
  EXPECT_GT(left & 0xFF, left >> 16) << std::hex << left;
  EXPECT_GT(right >> 16, right & 0xFF) << std::hex << right;

  // Six panels of diagrams: far more colours than the window's black and white.
  std::set<std::uint32_t> colours;
  for (int y = 0; y < plots_example::kHeight; y += 3)
    for (int x = 0; x < plots_example::kWidth; x += 3) colours.insert(rgb(x, y));
  EXPECT_GT(colours.size(), 50u);
}

}  // namespace
