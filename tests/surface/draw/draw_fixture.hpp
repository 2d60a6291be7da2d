#pragma once
// An open 1000 x 500 headless surface to draw on, and readers of its pixels and state.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "surface/headless.hpp"
#include "surface/surface.hpp"

namespace draw_test {

class Draw : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    ASSERT_EQ(SCREEN_OPEN(1000, 500, 32, 2, 4, 0), 0);
  }
  static std::uint32_t at(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }
  // The colours at the listed points, in order.
  static std::vector<std::uint32_t> at(std::initializer_list<std::pair<int, int>> points) {
    std::vector<std::uint32_t> v;
    for (auto [x, y] : points) v.push_back(at(x, y));
    return v;
  }
  using Px = std::vector<std::uint32_t>;
};

// The four values SCREEN_QUERY reports for `what`.
inline std::array<Integer, 4> query(Integer what) {
  std::array<Integer, 4> v{9, 9, 9, 9};
  SCREEN_QUERY(what, v[0], v[1], v[2], v[3]);
  return v;
}
using Q = std::array<Integer, 4>;

}  // namespace draw_test
