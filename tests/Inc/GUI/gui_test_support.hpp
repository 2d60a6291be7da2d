#pragma once
// Helpers shared by the toolkit tests: a fresh headless window, key codes and pixel probes.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "Inc/GUI.hpp"
#include "surface/headless.hpp"

namespace guitest {

// Key codes as the key queue holds them.
constexpr Integer extended(char scan) { return 255 + 256 * scan; }
constexpr Integer kLeft = extended('K');
constexpr Integer kRight = extended('M');
constexpr Integer kUp = extended('H');
constexpr Integer kDown = extended('P');
constexpr Integer kHome = extended('G');
constexpr Integer kEnd = extended('O');
constexpr Integer kDelete = extended('S');
constexpr Integer kBackspace = 8;
constexpr Integer kEnter = 13;

// Visible colour of a surface pixel (the top byte has no effect).
inline std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }

// Pixels of colour `colour` in (x0, y0)-(x1, y1), as offsets from (ox, oy).
inline std::vector<std::pair<int, int>> points_of(int x0, int y0, int x1, int y1, std::uint32_t colour, int ox,
                                                  int oy) {
  std::vector<std::pair<int, int>> pts;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (rgb(x, y) == colour) pts.emplace_back(x - ox, y - oy);
  return pts;
}

// Number of pixels of colour `colour` in (x0, y0)-(x1, y1).
inline int count_of(int x0, int y0, int x1, int y1, std::uint32_t colour) {
  return static_cast<int>(points_of(x0, y0, x1, y1, colour, 0, 0).size());
}

// True when the w x h blocks at (ax, ay) and (bx, by) hold the same colours.
inline bool same_block(int ax, int ay, int bx, int by, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (rgb(ax + x, ay + y) != rgb(bx + x, by + y)) return false;
  return true;
}

// A fresh headless surface opened through the toolkit, with the pointer not yet in the window.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    LASTWHEEL = 0;
    OPENWINDOW(640, 480, "test");
  }
  // Runs the scripted clock forward so that events due up to `ms` have arrived.
  static void settle() {
    Integer x, y, w, b, c;
    INPUT_MOUSE(x, y, w, b, c);
  }
};

}  // namespace guitest
