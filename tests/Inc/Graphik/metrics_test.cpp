// Output metrics and the colour scale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "Inc/Graphik/detail.hpp"
#include "surface/headless.hpp"

namespace {

std::uint32_t colour(Double t, Integer steps = 0) { return static_cast<std::uint32_t>(RGBWERT(t, steps)); }

TEST(GraphikMetrics, WholeWindowThenViewportAndMapping) {
  headless::reset();
  INITGFX("metrics", 640, 480, 0x000000, 0xFFFFFF);
  EXPECT_EQ(OUTPUTWIDTH(), 639);
  EXPECT_EQ(OUTPUTHEIGHT(), 479);
  EXPECT_DOUBLE_EQ(TEXTWIDTH("abcde"), 40);
  EXPECT_DOUBLE_EQ(TEXTHEIGHT("ignored"), 16);
  EXPECT_EQ(headless::pixel(639, 479) & 0xFFFFFFu, 0xFFFFFFu);  // cleared to the background
  SCREEN_SET_VIEW(100, 100, 299, 199, 0, 0, SCREEN_VIEW_NO_FILL | SCREEN_VIEW_NO_BORDER);
  EXPECT_EQ(OUTPUTWIDTH(), 199);
  EXPECT_EQ(OUTPUTHEIGHT(), 99);
  SCREEN_SET_WINDOW(0, 0, 20, 10, 0);  // 10 pixels per x unit, 10 per y unit
  EXPECT_NEAR(TEXTWIDTH("ab"), 1.6, 1e-5);
  EXPECT_NEAR(TEXTHEIGHT(), 1.6, 1e-5);
  // The window opens as the toolkit's does: too small for one 8 x 16 cell is an illegal call.
  EXPECT_EXIT((headless::reset(), INITGFX("x", 7, 15, 0, 0)), ::testing::ExitedWithCode(1),
              "error 1 \\(illegal function call\\) at line [0-9]+ of Inc/Graphik::INITGFX\\(\\)");
}

TEST(GraphikColourScale, ValuesClampedQuantisedAndNonFinite) {
  const Double nan = std::numeric_limits<Double>::quiet_NaN(), inf = std::numeric_limits<Double>::infinity();
  const struct {
    Double t;
    Integer steps;
    std::uint32_t c;
  } cases[] = {{0, 0, 0xFF0000FAu},   {0.1, 0, 0xFF0064FAu},  {0.3, 0, 0xFF00FAC8u},  {0.6, 0, 0xFF64FA00u},
               {0.9, 0, 0xFFFA6400u}, {-0.1, 0, 0xFF0000FAu}, {7, 0, 0xFFFA0000u},    {nan, 0, 0xFF0000FAu},
               {-inf, 0, 0xFF0000FAu}, {0.3, 4, 0xFF00FAFAu}, {nan, 4, 0xFF0000FAu},  {inf, 4, 0xFFFA0000u},
               {0.125, 4, 0xFF0000FAu},  // half to even: 0.5 -> 0
               {0.375, 4, 0xFF00FA00u},  // 1.5 -> 2
               // the inner boundaries meet from both sides
               {0.25, 0, 0xFF00FAFAu}, {0.5, 0, 0xFF00FA00u}, {0.75, 0, 0xFFFAFA00u}, {1.0, 0, 0xFFFA0000u},
               {std::nextafter(0.25, 0.0), 0, 0xFF00FAFAu}, {std::nextafter(0.5, 0.0), 0, 0xFF00FA00u},
               {std::nextafter(0.75, 0.0), 0, 0xFFFAFA00u}, {std::nextafter(1.0, 0.0), 0, 0xFFFA0000u}};
  for (const auto& c : cases) EXPECT_EQ(colour(c.t, c.steps), c.c) << c.t << " in " << c.steps << " steps";
}

TEST(GraphikLayout, MarginRoundsHalfCharacterToEven) {
  graphik::Metrics mt;
  mt.ow = 639, mt.oh = 479, mt.cw = 8, mt.th = 16;
  mt.tw = [](const String& s) { return 8.0 * static_cast<Double>(s.size()); };
  // m = 1 + max(len sy1, len sy2, round(len sx1 / 2)): 1.5 -> 2, but 2.5 -> 2
  EXPECT_EQ(graphik::axes_area(mt, "-10", "10", "-1 ", "1 ").m, 4);
  EXPECT_EQ(graphik::axes_area(mt, "-1000", "1", "", "").m, 3);
}

}  // namespace
