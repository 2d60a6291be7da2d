// Frames drawn through the animation's own state, without the polling loop.
#include <cmath>
#include <numbers>

#include "helpers.hpp"

using namespace planet_test;

namespace {

class Animation : public ::testing::Test {
 protected:
  void SetUp() override {
    fresh_session();
    planets::setup_tables(RADIUS, UMLAUFZEIT, FARBE);
    OPENWINDOW_MAIN();
  }
  // Draws `frames` frames of `view` and gives the screen back; the last frame stays.
  void run_frames(planets::Run& run, Integer view, int frames) {
    ASSERT_TRUE(planets::prepare(run, RADIUS, UMLAUFZEIT, view));
    for (int f = 0; f < frames; ++f) planets::draw_frame(run, RADIUS, FARBE);
    planets::finish(run);
  }
};

TEST_F(Animation, AllPlanetsFirstFrame) {
  const long first = draws_used();
  planets::Run run;
  run_frames(run, 1, 1);
  const auto stars = star_field(first);
  expect_star_field(stars);

  // The field stops one column and two rows short of the area's edge.
  for (int y = 10; y <= 510; ++y) EXPECT_EQ(rgb(890, y), 0xEEEEEEu) << y;
  for (int x = 390; x <= 890; ++x) {
    EXPECT_EQ(rgb(x, 509), 0xEEEEEEu) << x;
    EXPECT_EQ(rgb(x, 510), 0xEEEEEEu) << x;
  }
  // Left end of every ring on the centre row: field x = trunc(250 - 250 r / 7000).
  for (int i = 0; i < 9; ++i) {
    const int x = 390 + static_cast<int>(250 - static_cast<float>(250 * RADIUS[i] / 7000));
    EXPECT_EQ(rgb(x, 259), 0xAAAAAAu) << "ring " << i;
  }
  // Earth starts on the positive x axis: logical (150, 0) is pixel (646, 259).
  EXPECT_EQ(rgb(646, 259), 0x5555FFu);
  EXPECT_TRUE(shows_text(408, 492, "0 Jahre", 0xFFFFFF, [&](int x, int y) { return is_star(stars, x, y); }));
}

TEST_F(Animation, InnerPlanetsYearAndSun) {
  const long first = draws_used();
  planets::Run run;
  ASSERT_TRUE(planets::prepare(run, RADIUS, UMLAUFZEIT, 0));
  for (int f = 0; f < 500; ++f) planets::draw_frame(run, RADIUS, FARBE);
  // 500 steps of 2pi / 500 bring Earth back to the positive x axis.
  EXPECT_NEAR(std::cos(run.angle[2]), 1.0, 1e-12);
  EXPECT_NEAR(std::sin(run.angle[2]), 0.0, 1e-12);
  EXPECT_NEAR(run.angle[0] / (2 * std::numbers::pi), 4.16, 0.01);
  planets::draw_frame(run, RADIUS, FARBE);
  planets::finish(run);

  const auto stars = star_field(first);
  expect_star_field(stars);
  const auto lit = [&](int x, int y) { return is_star(stars, x, y); };
  EXPECT_TRUE(shows_text(408, 492, "1 Jahre", 0xFFFFFF, lit));
  // Earth again at logical (150, 0): pixel (787, 270).
  EXPECT_EQ(rgb(787, 270), 0x5555FFu);

  // The Sun: a filled disc of radius 10 around pixel (640, 259), rings at 58 .. 228 pixels.
  for (int dy = -12; dy <= 12; ++dy)
    for (int dx = -12; dx <= 12; ++dx) {
      const int d2 = dx * dx + dy * dy;
      const bool sun = rgb(640 + dx, 259 + dy) == 0xFFFF55u;
      if (d2 <= 81 || d2 >= 132) {
        EXPECT_EQ(sun, d2 <= 81) << dx << "," << dy;
      }
    }
  for (const int r : {58, 108, 150, 228}) EXPECT_EQ(rgb(640 - r, 259), 0xAAAAAAu) << r;
}

TEST_F(Animation, UnknownViewDrawsNothing) {
  const long first = draws_used();
  planets::Run run;
  EXPECT_FALSE(planets::prepare(run, RADIUS, UMLAUFZEIT, -1));
  EXPECT_FALSE(planets::prepare(run, RADIUS, UMLAUFZEIT, 2));
  EXPECT_EQ(draws_used(), first);
  for (int y = 16; y <= 510; y += 7)
    for (int x = 390; x <= 890; x += 7) ASSERT_EQ(rgb(x, y), 0xEEEEEEu);
}

}  // namespace
