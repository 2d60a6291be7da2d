// Frames drawn through the animation's own state, without the polling loop.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <vector>

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
  // Earth again at logical (150, 0): pixel (790, 259).
  EXPECT_EQ(rgb(790, 259), 0x5555FFu);

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

struct Blob {
  std::uint32_t colour;
  double x, y;  // centroid
  bool operator==(const Blob&) const = default;
};

// The 8-connected blobs of the drawing area in one of `colours`, each found from a sample every
// `step` pixels.
std::vector<Blob> blobs(const std::vector<std::uint32_t>& colours, int step) {
  std::vector<char> seen(501 * 501);
  std::vector<Blob> found;
  for (int y0 = 10; y0 <= 510; y0 += step)
    for (int x0 = 390; x0 <= 890; x0 += step) {
      const std::uint32_t colour = rgb(x0, y0);
      if (seen[(y0 - 10) * 501 + (x0 - 390)] || std::find(colours.begin(), colours.end(), colour) == colours.end())
        continue;
      double sx = 0, sy = 0, n = 0;
      std::vector<Pixel> todo{{x0, y0}};
      while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 390 || x > 890 || y < 10 || y > 510) continue;
        char& mark = seen[(y - 10) * 501 + (x - 390)];
        if (mark || rgb(x, y) != colour) continue;
        mark = 1;
        sx += x, sy += y, ++n;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) todo.push_back({x + dx, y + dy});
      }
      found.push_back({colour, sx / n, sy / n});
    }
  return found;
}

// Read from the pixels alone: the Sun's centre (the one yellow blob that stays put), the ring
// radii as the mean distance of the ring pixels from it, each disc's centre as its blob's centroid.
TEST_F(Animation, InnerPlanetsStayOnTheirRings) {
  planets::Run run;
  ASSERT_TRUE(planets::prepare(run, RADIUS, UMLAUFZEIT, 0));
  planets::draw_frame(run, RADIUS, FARBE);
  auto sun = blobs({0xFFFF55}, 1);
  planets::draw_frame(run, RADIUS, FARBE);
  const auto next = blobs({0xFFFF55}, 1);
  std::erase_if(sun, [&](const Blob& b) { return std::find(next.begin(), next.end(), b) == next.end(); });
  ASSERT_EQ(sun.size(), 1u);
  const double sx = sun[0].x, sy = sun[0].y;
  std::vector<double> radii;
  for (int y = 10; y <= 510; ++y)
    for (int x = 390; x <= 890; ++x)
      if (rgb(x, y) == 0xAAAAAA) radii.push_back(std::hypot(x - sx, y - sy));
  std::sort(radii.begin(), radii.end());
  std::vector<double> rings;  // split where the radii jump
  for (std::size_t i = 0, first = 0; i < radii.size(); ++i)
    if (i + 1 == radii.size() || radii[i + 1] - radii[i] > 5) {
      rings.push_back(std::accumulate(radii.begin() + first, radii.begin() + i + 1, 0.0) / (i + 1 - first));
      first = i + 1;
    }
  ASSERT_EQ(rings.size(), 4u);

  // Planets 0 and 1 are yellow like the Sun, 2 blue, 3 red.
  const std::vector<std::uint32_t> colour_of = {0xFFFF55, 0xFFFF55, 0x5555FF, 0xAA0000};
  for (int frame = 2; frame < 1002; ++frame) {
    planets::draw_frame(run, RADIUS, FARBE);
    std::vector<int> on_ring;
    // Every disc is at least three pixels wide on three rows: a sample every third pixel meets it.
    for (const Blob& b : blobs(colour_of, 3)) {
      const double d = std::hypot(b.x - sx, b.y - sy);
      if (d < 1) continue;  // the Sun
      int ring = 0;
      for (int i = 1; i < 4; ++i)
        if (std::fabs(d - rings[i]) < std::fabs(d - rings[ring])) ring = i;
      ASSERT_LE(std::fabs(d - rings[ring]), 1.0) << "frame " << frame << " at " << b.x << "," << b.y;
      ASSERT_EQ(b.colour, colour_of[ring]) << "frame " << frame << " ring " << ring;
      on_ring.push_back(ring);
    }
    std::sort(on_ring.begin(), on_ring.end());
    ASSERT_EQ(on_ring, (std::vector<int>{0, 1, 2, 3})) << "frame " << frame;
  }
  planets::finish(run);
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
