// Pendel on the headless backend: its measured periods against the exact ones, and a session.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

#include "pendel.hpp"
#include "surface/headless.hpp"

namespace {

// Complete elliptic integral of the first kind, K(k) = pi / (2 AGM(1, sqrt(1 - k^2))).
double elliptic_k(double k) {
  double a = 1, b = std::sqrt(1 - k * k);
  for (int i = 0; i < 40 && std::abs(a - b) > 1e-15 * a; ++i) {
    const double m = (a + b) / 2;
    b = std::sqrt(a * b);
    a = m;
  }
  return std::numbers::pi / (2 * a);
}

// A click in the middle of the left edge of a record's rectangle, offset by dx pixels.
template <class Widget>
void click_on(const Widget& w, double at_ms, int dx) {
  headless::click(at_ms, w.X + dx, w.Y + w.H / 2, 30);
}

// Sets the start angle (degrees) and no damping, starts a run, closes the window at close_ms;
// returns the period label's text.
std::string period_label(int degrees, double close_ms) {
  headless::reset();
  headless::at(50, [degrees] {
    // The angle track runs from X + 5 (1 degree) one pixel per degree; damping 0 is at X + 5.
    click_on(pendel::TRACKBAR_WINKEL, 100, 5 + degrees - 1);
    click_on(pendel::TRACKBAR_DAEMPFUNG, 200, 5);
    click_on(pendel::BUTTON_START, 300, 20);
  });
  headless::close_request(close_ms);
  EXPECT_EQ(pendel::run(), 0);
  EXPECT_EQ(TRACKBAR_GETVALUE(pendel::TRACKBAR_WINKEL), degrees);
  EXPECT_EQ(pendel::DAEMPFUNG, 0);
  return pendel::LABEL_PERIODE.CAPTION;
}

}  // namespace

TEST(Pendel, MeasuredPeriodMatchesTheExactOneAtSmallAndLargeAngles) {
  for (const int degrees : {5, 60, 170}) {
    // T = 4 K(sin(theta0 / 2)) sqrt(l / g)
    const double theta0 = degrees * std::numbers::pi / 180;
    const double exact = 4 * elliptic_k(std::sin(theta0 / 2)) * std::sqrt(pendel::kLaenge / pendel::kG);
    const std::string label = period_label(degrees, 300 + 1000 * (1.3 * exact + 0.5));
    double measured = 0;
    ASSERT_EQ(std::sscanf(label.c_str(), "Periode T: %lf s", &measured), 1) << label;
    EXPECT_NEAR(measured, exact, 0.005 * exact) << degrees << " degrees";
  }
}

TEST(Pendel, StartStopButtonRunsTheModelAndDrawsTrailAndCurve) {
  headless::reset();
  String running_caption;
  double t_running = 0, t_stopped = 0;
  int trail = 0, curve = 0;
  headless::at(50, [] { click_on(pendel::BUTTON_START, 100, 20); });
  headless::at(1150, [&] {
    running_caption = pendel::BUTTON_START.CAPTION;
    t_running = pendel::ZEIT;
    // The trail's newest segments are bright orange on black; the curve is drawn in 0x0055AA.
    for (int y = 0; y < 500; ++y)
      for (int x = 0; x < 1000; ++x) {
        const std::uint32_t c = headless::pixel(x, y) & 0xFFFFFF;
        trail += x <= 330 && y >= 230 && (c >> 16) > 0xC0 && (c & 0xFF) == 0;
        curve += x >= 340 && c == 0x0055AA;
      }
    click_on(pendel::BUTTON_START, headless::now_ms() + 10, 20);
  });
  headless::at(1500, [&] { t_stopped = pendel::ZEIT; });
  headless::close_request(1800);
  EXPECT_EQ(pendel::run(), 0);
  EXPECT_EQ(running_caption, "Simulation Stop");
  EXPECT_EQ(pendel::BUTTON_START.CAPTION, "Simulation Start");
  // Model time keeps pace with the clock: the run starts when the click at 100 ends, its release
  // stretched to 200, and runs for 950 ms until 1150.
  EXPECT_NEAR(t_running, 0.95, 0.05);
  EXPECT_EQ(pendel::ZEIT, t_stopped);
  EXPECT_FALSE(pendel::LAEUFT);
  EXPECT_GT(trail, 20);
  EXPECT_GT(curve, 100);
}

TEST(Pendel, ModelTimeFollowsTheClockAndCatchesUpAQuarterSecondAtMostAfterAStall) {
  headless::reset();
  pendel::CREATEWINDOW_MAIN();
  const Double start = TIME_MS();
  pendel::BUTTON_START_EVENT();
  ASSERT_TRUE(pendel::LAEUFT);
  // Passes of any length (waiting for the presenter included): model time stays within one step
  // of the clock as the pass reads it, never ahead of it.
  for (const Integer ms : {10, 3, 17, 1, 0, 40, 10}) {
    TIME_SLEEP(ms);
    const Double clock = (TIME_MS() - start) / 1000;
    pendel::SCHRITT();
    EXPECT_LE(pendel::ZEIT, clock + 1e-9) << ms;
    EXPECT_GT(pendel::ZEIT, clock - pendel::kSchritt) << ms;
  }
  // A stall of three seconds: one pass catches up a quarter second, later ones keep pace again.
  const Double before = pendel::ZEIT;
  TIME_SLEEP(3000);
  pendel::SCHRITT();
  EXPECT_NEAR(pendel::ZEIT - before, pendel::kHoechstensJePass, 1e-9);
  const Double after = pendel::ZEIT;
  TIME_SLEEP(10);
  pendel::SCHRITT();
  EXPECT_NEAR(pendel::ZEIT - after, 0.010, pendel::kSchritt);
}

TEST(PendelDeathTest, ReportInsideTheDerivativeNamesIt) {
  // A state without omega: the first call, for theta' = omega, reads y[2] out of bounds.
  Array<Double> theta_only(0, 1), next(0, 1);
  Double t = 0;
  EXPECT_EXIT(DIFFSYSN(pendel::ABLEITUNG, 0, theta_only, 0.001, t, next), ::testing::ExitedWithCode(6),
              "runtime error 6 \\(out of bounds array access\\) at line [0-9]+ of Pendel::ABLEITUNG\\(\\)");
}
