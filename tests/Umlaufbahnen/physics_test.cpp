// The orbit model against closed-form physics: periods, energy and angular momentum.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Umlaufbahnen/Umlaufbahnen.hpp"

namespace {

struct Body {
  Double vx, vy, x, y;
};

// Advances `b` from t = 0 to t = T with the program's step, the last step shortened to land on T.
Body advance(Integer potential, Body b, Double T) {
  POTENTIAL = potential;
  Array<Double> s(0, 4);
  s[1] = b.vx, s[2] = b.vy, s[3] = b.x, s[4] = b.y;
  Double t = 0;
  const long steps = static_cast<long>(T / orbit::kStep);
  for (long k = 0; k < steps; ++k) DIFFSYSN(FKT, t, s, orbit::kStep, t, s);
  if (T > t) DIFFSYSN(FKT, t, s, T - t, t, s);
  POTENTIAL = 0;
  return {s[1], s[2], s[3], s[4]};
}

Double kepler_energy(const Body& b) { return (b.vx * b.vx + b.vy * b.vy) / 2 - 1 / std::hypot(b.x, b.y); }
Double angular_momentum(const Body& b) { return b.x * b.vy - b.y * b.vx; }

}  // namespace

TEST(Physics, KeplerOrbitClosesAfterOnePeriodAndKeepsItsEnergy) {
  const Body start{0.4, 0, 0, 2};
  const Double E = 0.4 * 0.4 / 2 - 1 / 2.0;  // E = vx0^2/2 - 1/y0
  const Double a = 1 / (2 * std::fabs(E));    // semi-major axis
  const Double T = 2 * std::numbers::pi * std::pow(a, 1.5);
  const Body end = advance(0, start, T);
  EXPECT_NEAR(end.x, 0, 1e-8);
  EXPECT_NEAR(end.y, 2, 1e-8);
  EXPECT_NEAR(end.vx, 0.4, 1e-8);
  EXPECT_NEAR(end.vy, 0, 1e-8);
  EXPECT_LE(std::fabs((kepler_energy(end) - E) / E), 1e-11);
  // Half a period later the body is at the other end of the major axis, r = 2a - 2.
  const Body half = advance(0, start, T / 2);
  EXPECT_NEAR(half.x, 0, 1e-8);
  EXPECT_NEAR(half.y, -(2 * a - 2), 1e-8);
}

TEST(Physics, OscillatorSwingsAlongTheAxisWithPeriodTwoPiRootTwo) {
  const Body start{0, 0, 0, 2};
  const Double T = 2 * std::numbers::pi * std::sqrt(2.0);  // F = -r/2: omega = 1/sqrt(2)
  for (const Double fraction : {0.25, 0.5, 1.0}) {
    const Body b = advance(3, start, fraction * T);
    EXPECT_EQ(b.x, 0);
    EXPECT_NEAR(b.y, 2 * std::cos(fraction * 2 * std::numbers::pi), 1e-9) << fraction;
  }
}

TEST(Physics, EveryForceLawKeepsAngularMomentum) {
  const Body start{0.4, 0.1, 0.3, 2};
  for (Integer potential = 0; potential <= 3; ++potential) {
    const Body end = advance(potential, start, 3.0);
    EXPECT_NEAR(angular_momentum(end), angular_momentum(start), 1e-10) << potential;
  }
}

TEST(Physics, ForceLawsAsComputedAndTheCentre) {
  // The perturbation uses 0.01 / r^4 itself and the oscillator -r/2.
  EXPECT_EQ(orbit::force(0, 2), -0.25);
  EXPECT_EQ(orbit::force(1, 2), -0.25 - 0.01 / 16);
  EXPECT_EQ(orbit::force(2, 2), -0.5);
  EXPECT_EQ(orbit::force(3, 2), -1);
  EXPECT_EQ(orbit::force(4, 2), 0);
  EXPECT_EQ(orbit::force(-1, 2), 0);
  // At the centre the accelerations are F * 0 / 1e-6 = 0 and the body stays put.
  Array<Double> s(0, 4);
  for (Integer potential = 0; potential <= 3; ++potential) {
    POTENTIAL = potential;
    EXPECT_EQ(FKT(1, 0, s), 0) << potential;
    EXPECT_EQ(FKT(2, 0, s), 0) << potential;
  }
  s[1] = 5, s[2] = 6, s[3] = 1, s[4] = 0;
  EXPECT_EQ(FKT(3, 0, s), 5);
  EXPECT_EQ(FKT(4, 0, s), 6);
  EXPECT_EQ(FKT(0, 0, s), 0);
  EXPECT_EQ(FKT(5, 0, s), 0);
  POTENTIAL = 0;
}
