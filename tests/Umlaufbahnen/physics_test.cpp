// The orbit model against closed-form physics.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Umlaufbahnen/Umlaufbahnen.hpp"

namespace {

// State (vx, vy, x, y) after advancing from t = 0 to T with the program's step, the last one shortened.
Array<Double> advance(Integer potential, Double vx, Double y0, Double T) {
  POTENTIAL = potential;
  Array<Double> s(0, 4);
  s[1] = vx, s[4] = y0;
  Double t = 0;
  for (long k = static_cast<long>(T / orbit::kStep); k > 0; --k) DIFFSYSN(FKT, t, s, orbit::kStep, t, s);
  DIFFSYSN(FKT, t, s, T - t, t, s);
  POTENTIAL = 0;
  return s;
}

}  // namespace

TEST(Physics, KeplerOrbitClosesAfterOnePeriodAndKeepsItsEnergy) {
  const Double E = 0.4 * 0.4 / 2 - 1 / 2.0;  // E = vx0^2/2 - 1/y0
  const Double a = 1 / (2 * std::fabs(E));    // semi-major axis
  const Double T = 2 * std::numbers::pi * std::pow(a, 1.5);
  Array<Double> s = advance(0, 0.4, 2, T);
  EXPECT_NEAR(s[1], 0.4, 1e-8);
  EXPECT_NEAR(s[2], 0, 1e-8);
  EXPECT_NEAR(s[3], 0, 1e-8);
  EXPECT_NEAR(s[4], 2, 1e-8);
  const Double energy = (s[1] * s[1] + s[2] * s[2]) / 2 - 1 / std::hypot(s[3], s[4]);
  EXPECT_LE(std::fabs((energy - E) / E), 1e-11);
  // Half a period on, the body is at the near end of the major axis, r = 2a - 2.
  s = advance(0, 0.4, 2, T / 2);
  EXPECT_NEAR(s[3], 0, 1e-8);
  EXPECT_NEAR(s[4], -(2 * a - 2), 1e-8);
}

TEST(Physics, OscillatorSwingsAlongTheAxisWithPeriodTwoPiRootTwo) {
  const Double T = 2 * std::numbers::pi * std::sqrt(2.0);  // F = -r/2: omega = 1/sqrt(2)
  for (const Double fraction : {0.25, 0.5, 1.0}) {
    Array<Double> s = advance(3, 0, 2, fraction * T);
    EXPECT_EQ(s[3], 0);
    EXPECT_NEAR(s[4], 2 * std::cos(fraction * 2 * std::numbers::pi), 1e-9) << fraction;
  }
}

TEST(Physics, PerturbationCoefficientIsOneHundredthAndTheCentreIsAtRest) {
  EXPECT_EQ(orbit::force(1, 2), -0.25 - 0.01 / 16);
  EXPECT_EQ(orbit::force(4, 2), 0);
  // y0 = 0, vx0 = 0: F * 0 / 1e-6 = 0 for every law, so the body stays at the origin.
  for (Integer potential = 0; potential <= 3; ++potential) {
    Array<Double> s = advance(potential, 0, 0, 0.01);
    EXPECT_EQ(std::hypot(s[3], s[4]), 0) << potential;
  }
}
