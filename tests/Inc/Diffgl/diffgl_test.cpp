#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "Inc/Diffgl.hpp"

namespace {

// ---- Problems with closed-form solutions, each depending on x so that wrong stage abscissae show.

// y' = cos(x) y, y(0) = 1: y = exp(sin x).
Double grow(Double x, Double y) { return std::cos(x) * y; }
Double grow_exact(Double x) { return std::exp(std::sin(x)); }

// A rotation at angular speed x: y1 = cos(x^2/2), y2 = sin(x^2/2).
Double rot1(Double x, Double, Double y2) { return -x * y2; }
Double rot2(Double x, Double y1, Double) { return x * y1; }

// y'' = -sin(x) y + cos(x) y' has the solution exp(sin x) with y'(0) = 1.
Double second(Double x, Double y, Double dy) { return -std::sin(x) * y + std::cos(x) * dy; }

// Components 1..3: exp(sin x) and the rotation above.
Double system3(Integer i, Double x, DoubleArrayRef y) {
  switch (i) {
    case 1: return grow(x, y[1]);
    case 2: return rot1(x, y[2], y[3]);
    case 3: return rot2(x, y[2], y[3]);
    default: return 0;
  }
}

// Every component follows y' = cos(x) y on its own.
Double copies(Integer i, Double x, DoubleArrayRef y) { return grow(x, y[i]); }

Double identity(Double, Double y) { return y; }

// Largest error at x = 1 after `steps` steps for each procedure.
double error_diffgl(int steps) {
  Double x = 0, y = 1, h = 1.0 / steps;
  for (int s = 0; s < steps; ++s) DIFFGL(grow, x, y, h, x, y);
  return std::fabs(y - grow_exact(1));
}
double error_diffsys(int steps) {
  Double x = 0, y1 = 1, y2 = 0, h = 1.0 / steps;
  for (int s = 0; s < steps; ++s) DIFFSYS(rot1, rot2, x, y1, y2, h, x, y1, y2);
  return std::hypot(y1 - std::cos(0.5), y2 - std::sin(0.5));
}
double error_diffgl2(int steps) {
  Double x = 0, y = 1, dy = 1, h = 1.0 / steps;
  for (int s = 0; s < steps; ++s) DIFFGL2(second, x, y, dy, h, x, y, dy);
  return std::hypot(y - grow_exact(1), dy - std::cos(1.0) * grow_exact(1));
}
double error_diffsysn(int steps) {
  Array<Double> y(0, 3);
  y[1] = 1, y[2] = 1, y[3] = 0;
  Double x = 0, h = 1.0 / steps;
  for (int s = 0; s < steps; ++s) DIFFSYSN(system3, x, y, h, x, y);
  return std::fabs(y[1] - grow_exact(1)) + std::hypot(y[2] - std::cos(0.5), y[3] - std::sin(0.5));
}

}  // namespace

TEST(Diffgl, OneStepOfExponentialIsTheDegreeFourTaylorPolynomial) {
  Double xneu = -1, yneu = -1;
  DIFFGL(identity, 0, 1, 0.1, xneu, yneu);
  EXPECT_EQ(xneu, 0.1);
  EXPECT_EQ(yneu, 1.1051708333333334);
}

TEST(Diffgl, AllFourAreFourthOrder) {
  const std::pair<const char*, double (*)(int)> cases[] = {
      {"DIFFGL", error_diffgl}, {"DIFFSYS", error_diffsys}, {"DIFFGL2", error_diffgl2}, {"DIFFSYSN", error_diffsysn}};
  for (const auto& [name, error] : cases) {
    const double coarse = error(10), fine = error(20), finer = error(40);
    EXPECT_LT(coarse, 1e-4) << name;
    EXPECT_NEAR(coarse / fine, 16, 2) << name;
    EXPECT_NEAR(fine / finer, 16, 1.5) << name;
  }
}

TEST(Diffgl, ZeroAndNegativeStep) {
  Double x = 0.7, y = 2.5, y1 = 0, y2 = 0, dy = 0;
  DIFFGL(grow, 0.7, 2.5, 0, x, y);
  EXPECT_EQ(x, 0.7);
  EXPECT_EQ(y, 2.5);
  DIFFGL2(second, 0.7, 2.5, -1, 0, x, y, dy);
  EXPECT_EQ(y, 2.5);
  EXPECT_EQ(dy, -1);
  // One step forward and one back return to the start up to the method's error.
  DIFFSYS(rot1, rot2, 0, 1, 0, 0.01, x, y1, y2);
  DIFFSYS(rot1, rot2, x, y1, y2, -0.01, x, y1, y2);
  EXPECT_EQ(x, 0);
  EXPECT_NEAR(y1, 1, 1e-12);
  EXPECT_NEAR(y2, 0, 1e-12);
}

TEST(Diffsysn, MatchesTheScalarProceduresExactly) {
  // Same sums in the same order: the n-dimensional step equals DIFFSYS and DIFFGL bit for bit,
  // both with the work arrays on the stack (n = 2) and on the heap (n = 40).
  Array<Double> pair(1, 2);
  pair[1] = 0.3, pair[2] = -0.8;
  Double xn = 0, y1 = 0, y2 = 0;
  DIFFSYS(rot1, rot2, 0.4, 0.3, -0.8, 0.05, xn, y1, y2);
  Double xs = 0;
  DIFFSYSN([](Integer i, Double x, DoubleArrayRef y) { return i == 1 ? rot1(x, y[1], y[2]) : rot2(x, y[1], y[2]); },
           0.4, pair, 0.05, xs, pair);
  EXPECT_EQ(xs, xn);
  EXPECT_EQ(pair[1], y1);
  EXPECT_EQ(pair[2], y2);

  Array<Double> many(1, 40), out(1, 40);
  for (Integer i = 1; i <= 40; ++i) many[i] = 0.1 * i;
  DIFFSYSN(copies, 0.2, many, 0.03, xs, out);
  for (Integer i = 1; i <= 40; ++i) {
    Double x1 = 0, y = 0;
    DIFFGL(grow, 0.2, 0.1 * i, 0.03, x1, y);
    EXPECT_EQ(out[i], y) << i;
    EXPECT_EQ(many[i], 0.1 * i) << "input untouched";
  }
}

TEST(Diffsysn, InPlaceEqualsSeparateArraysAndElementZeroIsLeftAlone) {
  Array<Double> a(0, 3), b(0, 3), c(0, 3);
  for (Integer i = 1; i <= 3; ++i) a[i] = b[i] = 0.5 + i;
  a[0] = b[0] = c[0] = 42;
  Double xa = 0, xc = 0;
  DIFFSYSN(system3, 0.1, a, 0.2, xa, a);
  DIFFSYSN(system3, 0.1, b, 0.2, xc, c);
  EXPECT_EQ(xa, xc);
  for (Integer i = 1; i <= 3; ++i) EXPECT_EQ(a[i], c[i]) << i;
  EXPECT_EQ(a[0], 42);
  EXPECT_EQ(c[0], 42);
}

namespace {
std::vector<std::pair<Integer, Double>> calls;
std::vector<Double> seen;
Double logging(Integer i, Double x, DoubleArrayRef y) {
  calls.emplace_back(i, x);
  seen.push_back(y[1]);
  return i;  // derivative of component i is i
}
}  // namespace

TEST(Diffsysn, StagesRunComponentByComponentAgainstOneState) {
  calls.clear();
  seen.clear();
  Array<Double> y(1, 2), yneu(1, 2);
  y[1] = 10, y[2] = 20;
  Double xneu = 0;
  DIFFSYSN(logging, 1, y, 0.5, xneu, yneu);
  const std::vector<std::pair<Integer, Double>> expected = {{1, 1},    {2, 1},    {1, 1.25}, {2, 1.25},
                                                            {1, 1.25}, {2, 1.25}, {1, 1.5},  {2, 1.5}};
  EXPECT_EQ(calls, expected);
  // Component 1 has k = 0.5 in every stage: w(1) is y + k/2 twice, then y + k.
  EXPECT_EQ(seen, (std::vector<Double>{10, 10, 10.25, 10.25, 10.25, 10.25, 10.5, 10.5}));
  EXPECT_EQ(yneu[1], 10.5);
  EXPECT_EQ(yneu[2], 21);
}

namespace {
Double reads_zero(Integer, Double, DoubleArrayRef y) { return y[0]; }
}  // namespace

TEST(DiffglDeathTest, NullFunctionAndBadBoundsEndWithTheReport) {
  Double x = 0, y = 0, z = 0;
  const char* null_report = "Aborting due to runtime error 7 \\(null pointer access\\) at line [0-9]+ of Inc/Diffgl::";
  EXPECT_EXIT(DIFFGL(nullptr, 0, 1, 0.1, x, y), testing::ExitedWithCode(7), std::string(null_report) + "DIFFGL\\(\\)");
  EXPECT_EXIT(DIFFSYS(rot1, nullptr, 0, 1, 0, 0.1, x, y, z), testing::ExitedWithCode(7),
              std::string(null_report) + "DIFFSYS\\(\\)");
  EXPECT_EXIT(DIFFGL2(nullptr, 0, 1, 0, 0.1, x, y, z), testing::ExitedWithCode(7),
              std::string(null_report) + "DIFFGL2\\(\\)");
  Array<Double> state(0, 2);
  EXPECT_EXIT(DIFFSYSN(nullptr, 0, state, 0.1, x, state), testing::ExitedWithCode(7),
              std::string(null_report) + "DIFFSYSN\\(\\)");

  const char* bounds_report =
      "Aborting due to runtime error 6 \\(out of bounds array access\\) at line [0-9]+ of Inc/Diffgl::DIFFSYSN\\(\\)";
  // Index 0 exists in the caller's array (stage 1) but not in the work array (stage 2).
  EXPECT_EXIT(DIFFSYSN(reads_zero, 0, state, 0.1, x, state), testing::ExitedWithCode(6), bounds_report);
  Array<Double> short_out(1, 1);
  EXPECT_EXIT(DIFFSYSN(copies, 0, state, 0.1, x, short_out), testing::ExitedWithCode(6), bounds_report);
  Array<Double> from_two(2, 3);
  EXPECT_EXIT(DIFFSYSN(copies, 0, from_two, 0.1, x, from_two), testing::ExitedWithCode(6), bounds_report);
}

TEST(DiffglDeathTest, ShortOutputFailsOnlyAfterAllEvaluations) {
  calls.clear();
  Array<Double> y(1, 2), yneu(1, 1);
  Double x = 0;
  EXPECT_EXIT(
      {
        DIFFSYSN(
            [](Integer i, Double x, DoubleArrayRef y) {
              if (i == 2 && x == 0.5) std::fputs("all evaluations done\n", stderr);
              return y[i];
            },
            0, y, 0.5, x, yneu);
      },
      testing::ExitedWithCode(6), "all evaluations done");
}
