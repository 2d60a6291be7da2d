#pragma once
// Shared test helpers: a fresh session, an independent copy of the random sequence,
// the star field it implies, and pixel checks of the drawing area and of drawn text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "Planetensystem/Planetensystem.hpp"
#include "surface/headless.hpp"

namespace planet_test {

using Pixel = std::pair<int, int>;

inline std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }

// Empty module state and a new headless surface with its clock at 0.
inline void fresh_session() { headless::reset(); }

// An independent copy of the generator (its own test checks it against a transcription):
// MT19937 whose state is s[0] = 0, s[i] = s[i-1] * 1664525 + 1013904223; output / 2^32.
class Reference {
 public:
  Reference() {
    std::stringstream state;
    for (std::uint32_t i = 0, s = 0; i < 624; ++i, s = s * 1664525u + 1013904223u) state << s << ' ';
    state >> gen_;  // the first draw twists the whole block
  }
  double next() { return gen_() / 4294967296.0; }

 private:
  std::mt19937 gen_;
};

// How many numbers this session has drawn so far, found from the last one
// (MATH_RANDOM(0) gives 0 before the first draw).
inline long draws_used() {
  const double last = MATH_RANDOM(0);
  if (last == 0) return 0;
  Reference r;
  for (long n = 1; n <= 1000000; ++n)
    if (r.next() == last) return n;
  ADD_FAILURE() << "last random number not found in the sequence";
  return -1;
}

// Star pixels of the field drawn from numbers first .. first + 999: y first, then x,
// each 500 * r as Single, rounded half away from zero; pixels off the 500 x 500 field dropped.
inline std::set<Pixel> star_field(long first) {
  Reference r;
  for (long n = 0; n < first; ++n) r.next();
  std::set<Pixel> stars;
  for (int k = 0; k < 500; ++k) {
    const long y = std::lround(static_cast<double>(static_cast<float>(500 * r.next())));
    const long x = std::lround(static_cast<double>(static_cast<float>(500 * r.next())));
    if (x >= 0 && x < 500 && y >= 0 && y < 500) stars.insert({static_cast<int>(x), static_cast<int>(y)});
  }
  return stars;
}

// The field is shown with its pixel (0, 0) on surface pixel (390, 9); row 9 is clipped.
inline bool is_star(const std::set<Pixel>& stars, int x, int y) { return stars.count({x - 390, y - 9}) != 0; }

// Checks that the drawing area shows `stars`: every star pixel is lit (white, or covered by
// something drawn over it), every white pixel outside the counter's cells is a star, and the
// field stops one column and two rows short of the area's edge.
inline void expect_star_field(const std::set<Pixel>& stars) {
  for (int y = 10; y <= 510; ++y) EXPECT_EQ(rgb(890, y), 0xEEEEEEu) << y;
  for (int x = 390; x <= 890; ++x) {
    EXPECT_EQ(rgb(x, 509), 0xEEEEEEu) << x;
    EXPECT_EQ(rgb(x, 510), 0xEEEEEEu) << x;
  }
  int white_stars = 0, visible = 0, dark = 0, stray = 0;
  for (int y = 10; y <= 508; ++y)
    for (int x = 390; x <= 889; ++x) {
      const std::uint32_t p = rgb(x, y);
      const bool in_counter = x >= 408 && x < 408 + 8 * 24 && y >= 492 && y < 508;
      if (is_star(stars, x, y)) {
        ++visible;
        white_stars += p == 0xFFFFFF;
        dark += p == 0;
      } else if (p == 0xFFFFFF && !in_counter) {
        ++stray;
      }
    }
  EXPECT_EQ(dark, 0);
  EXPECT_EQ(stray, 0);
  EXPECT_GT(white_stars, visible * 9 / 10);
}

// Ink pixels of `text` in the current font, drawn into a scratch image (no logical window).
inline std::vector<std::vector<bool>> glyphs(const String& text) {
  const int w = 8 * static_cast<int>(text.size());
  Image* img = SCREEN_IMAGE_CREATE(w, 16, 0);
  EXPECT_EQ(SCREEN_DRAW_TEXT(img, 0, 0, 4, text, 0xFFFFFF), 0);
  std::vector<std::vector<bool>> ink(16, std::vector<bool>(w));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < w; ++x) ink[y][x] = (SCREEN_POINT(img, x, y) & 0xFFFFFF) == 0xFFFFFF;
  SCREEN_IMAGE_DESTROY(img);
  return ink;
}

// True when the cells from (x0, y0) show exactly `text` in `ink_colour`; elsewhere in the
// cells a pixel may have that colour only where `lit(x, y)` says something else put it.
template <class Lit>
bool shows_text(int x0, int y0, const String& text, std::uint32_t ink_colour, Lit lit) {
  const auto ink = glyphs(text);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8 * static_cast<int>(text.size()); ++x) {
      const bool coloured = rgb(x0 + x, y0 + y) == ink_colour;
      if (ink[y][x] ? !coloured : coloured && !lit(x0 + x, y0 + y)) return false;
    }
  return true;
}

}  // namespace planet_test
