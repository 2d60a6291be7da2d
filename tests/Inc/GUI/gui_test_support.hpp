#pragma once
// Helpers shared by the toolkit tests: a fresh headless window and pixel probes.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "Inc/GUI/detail.hpp"
#include "surface/headless.hpp"

namespace guitest {

inline std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }

// Pixels of `colour` in (x0, y0)-(x1, y1), as offsets from (ox, oy).
inline std::vector<std::pair<int, int>> points_of(int x0, int y0, int x1, int y1, std::uint32_t colour, int ox = 0,
                                                  int oy = 0) {
  std::vector<std::pair<int, int>> pts;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (rgb(x, y) == colour) pts.emplace_back(x - ox, y - oy);
  return pts;
}
inline int count_of(int x0, int y0, int x1, int y1, std::uint32_t colour) {
  return static_cast<int>(points_of(x0, y0, x1, y1, colour).size());
}

// True when the w x h blocks at (ax, ay) and (bx, by) hold the same colours.
inline bool same_block(int ax, int ay, int bx, int by, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (rgb(ax + x, ay + y) != rgb(bx + x, by + y)) return false;
  return true;
}

// The whole report of runtime error `number_and_message` at some line of Inc/GUI::`proc`.
inline std::string report(const std::string& number_and_message, const std::string& proc) {
  return "^\nAborting due to runtime error " + number_and_message + " at line [0-9]+ of Inc/GUI::" + proc +
         "\\(\\)\n\n$";
}

// A fresh 640 x 480 window opened through the toolkit; the pointer is not in it yet.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    OPENWINDOW(640, 480, "test");
  }
  // One mouse poll: moves the scripted clock on a step so that events due now arrive.
  static void settle() {
    Integer x, y, w, b, c;
    INPUT_MOUSE(x, y, w, b, c);
  }
};

}  // namespace guitest
