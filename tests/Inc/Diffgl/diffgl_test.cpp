#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Inc/Diffgl.hpp"

namespace {

// Problems with closed-form solutions that depend on x, so that a wrong stage abscissa shows.
// y' = cos(x) y: y = exp(sin x). Rotation at angular speed x: (cos(x^2/2), sin(x^2/2)).
Double grow(Double x, Double y) { return std::cos(x) * y; }
Double rot1(Double x, Double, Double y2) { return -x * y2; }
Double rot2(Double x, Double y1, Double) { return x * y1; }
// y'' = -sin(x) y + cos(x) y' is solved by exp(sin x) as well.
Double second(Double x, Double y, Double dy) { return -std::sin(x) * y + std::cos(x) * dy; }
Double system3(Integer i, Double x, DoubleArrayRef y) {
  return i == 1 ? grow(x, y[1]) : i == 2 ? rot1(x, y[2], y[3]) : rot2(x, y[2], y[3]);
}
Double copies(Integer i, Double x, DoubleArrayRef y) { return grow(x, y[i]); }

// Error at x = 1 after `steps` steps of each procedure.
double error_of(int procedure, int steps) {
  const Double h = 1.0 / steps, e = std::exp(std::sin(1.0));
  Double x = 0, y = 1, y2 = 0, dy = 1;
  Array<Double> s(1, 3);
  s[1] = 1, s[2] = 1, s[3] = 0;
  for (int k = 0; k < steps; ++k) {
    if (procedure == 0) DIFFGL(grow, x, y, h, x, y);
    if (procedure == 1) DIFFSYS(rot1, rot2, x, y, y2, h, x, y, y2);
    if (procedure == 2) DIFFGL2(second, x, y, dy, h, x, y, dy);
    if (procedure == 3) DIFFSYSN(system3, x, s, h, x, s);
  }
  switch (procedure) {
    case 0: return std::fabs(y - e);
    case 1: return std::hypot(y - std::cos(0.5), y2 - std::sin(0.5));
    case 2: return std::hypot(y - e, dy - std::cos(1.0) * e);
    default: return std::fabs(s[1] - e) + std::hypot(s[2] - std::cos(0.5), s[3] - std::sin(0.5));
  }
}

std::vector<std::pair<Integer, Double>> calls;
Double logging(Integer i, Double x, DoubleArrayRef y) {
  calls.emplace_back(i, y[1] + x);
  return i;
}
Double reads_zero(Integer, Double, DoubleArrayRef y) { return y[0]; }

}  // namespace

TEST(Diffgl, OneStepOfExponentialIsTheDegreeFourTaylorPolynomial) {
  Double xneu = -1, yneu = -1;
  DIFFGL([](Double, Double y) { return y; }, 0, 1, 0.1, xneu, yneu);
  EXPECT_EQ(xneu, 0.1);
  EXPECT_EQ(yneu, 1.1051708333333334);
}

TEST(Diffgl, AllFourAreFourthOrder) {
  for (int procedure = 0; procedure < 4; ++procedure) {
    const double coarse = error_of(procedure, 10), fine = error_of(procedure, 20), finer = error_of(procedure, 40);
    EXPECT_LT(coarse, 1e-4) << procedure;
    EXPECT_NEAR(coarse / fine, 16, 2) << procedure;
    EXPECT_NEAR(fine / finer, 16, 1.5) << procedure;
  }
}

TEST(Diffsysn, StagesRunComponentByComponentAgainstOneState) {
  calls.clear();
  Array<Double> y(1, 2), yneu(1, 2);
  y[1] = 10, y[2] = 20;
  Double xneu = 0;
  DIFFSYSN(logging, 1, y, 0.5, xneu, yneu);
  // Component 1 has k = 0.5 in every stage, so it sees 10, 10.25, 10.25, 10.5 at x = 1, 1.25, 1.25, 1.5.
  const std::vector<std::pair<Integer, Double>> expected = {{1, 11},    {2, 11},    {1, 11.5}, {2, 11.5},
                                                            {1, 11.5},  {2, 11.5},  {1, 12},   {2, 12}};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(xneu, 1.5);
  EXPECT_EQ(yneu[1], 10.5);
  EXPECT_EQ(yneu[2], 21);
}

TEST(Diffsysn, InPlaceLargeSystemsAndElementZero) {
  // In place equals separate arrays; element 0 is never written.
  Array<Double> a(0, 3), b(0, 3), c(0, 3);
  for (Integer i = 1; i <= 3; ++i) a[i] = b[i] = 0.5 + i;
  a[0] = c[0] = 42;
  Double xa = 0, xc = 0;
  DIFFSYSN(system3, 0.1, a, 0.2, xa, a);
  DIFFSYSN(system3, 0.1, b, 0.2, xc, c);
  for (Integer i = 1; i <= 3; ++i) EXPECT_EQ(a[i], c[i]) << i;
  EXPECT_EQ(a[0], 42);
  EXPECT_EQ(c[0], 42);
  // A system too large for the stack storage gives, per component, exactly the scalar step.
  Array<Double> many(1, 40);
  for (Integer i = 1; i <= 40; ++i) many[i] = 0.1 * i;
  DIFFSYSN(copies, 0.2, many, 0.03, xa, many);
  for (Integer i = 1; i <= 40; ++i) {
    Double x1 = 0, y = 0;
    DIFFGL(grow, 0.2, 0.1 * i, 0.03, x1, y);
    EXPECT_EQ(many[i], y) << i;
  }
}

TEST(DiffglDeathTest, NullFunctionAndBadBoundsEndWithTheReport) {
  Double x = 0, y = 0;
  const std::string null_report = "Aborting due to runtime error 7 \\(null pointer access\\) at line [0-9]+ of Inc/Diffgl::";
  EXPECT_EXIT(DIFFGL(nullptr, 0, 1, 0.1, x, y), testing::ExitedWithCode(7), null_report + "DIFFGL\\(\\)");
  Array<Double> state(0, 2);
  EXPECT_EXIT(DIFFSYSN(nullptr, 0, state, 0.1, x, state), testing::ExitedWithCode(7), null_report + "DIFFSYSN\\(\\)");

  const char* bounds_report =
      "Aborting due to runtime error 6 \\(out of bounds array access\\) at line [0-9]+ of Inc/Diffgl::DIFFSYSN\\(\\)";
  // Index 0 exists in the caller's array (stage 1) but not in the work storage (stage 2).
  EXPECT_EXIT(DIFFSYSN(reads_zero, 0, state, 0.1, x, state), testing::ExitedWithCode(6), bounds_report);
  Array<Double> short_out(1, 1), from_two(2, 3);
  EXPECT_EXIT(DIFFSYSN(copies, 0, state, 0.1, x, short_out), testing::ExitedWithCode(6), bounds_report);
  EXPECT_EXIT(DIFFSYSN(copies, 0, from_two, 0.1, x, from_two), testing::ExitedWithCode(6), bounds_report);
}
