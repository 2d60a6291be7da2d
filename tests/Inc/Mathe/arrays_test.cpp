#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>
#include <vector>

#include "Inc/Mathe.hpp"

namespace {
using V = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr Integer kIntMax = std::numeric_limits<Integer>::max();
constexpr Integer kIntMin = std::numeric_limits<Integer>::min();

template <class T>
Array<T> arr(std::initializer_list<T> values, Integer lower = 0) {
  Array<T> a(lower, lower + static_cast<Integer>(values.size()) - 1);
  Integer i = lower;
  for (T v : values) a[i++] = v;
  return a;
}

TEST(MatheArrays, SumsAndExtremes) {
  EXPECT_EQ(SUMDBL(arr<Double>({1, 2, 3.5})), 6.5);
  EXPECT_EQ(SUMDBL(Array<Double>()), 0.0);
  EXPECT_EQ(SUMINT(arr<Integer>({kIntMax, 1})), kIntMin);  // wraps around
  EXPECT_EQ(SUMINT(arr<Integer>({kIntMin, -1})), kIntMax);

  EXPECT_EQ(MAXDBL(arr<Double>({3, 7, 7, -1})), 7.0);
  EXPECT_EQ(MININT(arr<Integer>({4})), 4);
  EXPECT_EQ(MAXINT(arr<Integer>({kIntMin, kIntMax})), kIntMax);
  EXPECT_TRUE(std::signbit(MAXDBL(arr<Double>({-0.0, 0.0}))));  // the first of equal extremes
  EXPECT_FALSE(std::signbit(MINDBL(arr<Double>({0.0, -0.0}))));
  EXPECT_EQ(MINDBL(arr<Double>({1, kNaN, -2})), -2.0);  // NaN is never taken...
  EXPECT_TRUE(std::isnan(MAXDBL(arr<Double>({kNaN, 1}))));  // ...unless it comes first
}

TEST(MatheArrays, SimpsonIsExactForCubicsAndDropsAnOddLastInterval) {
  EXPECT_DOUBLE_EQ(INTEGRAL(arr<Double>({0, 0.5, 1}), arr<Double>({0, 0.25, 1})), 1.0 / 3.0);
  EXPECT_EQ(INTEGRAL(arr<Double>({0, 1}), arr<Double>({5, 5})), 0.0);

  auto p = [](double t) { return ((2 * t - 1) * t + 3) * t - 1; };  // and its antiderivative:
  auto P = [](double t) { return ((0.5 * t - 1.0 / 3.0) * t + 1.5) * t * t - t; };
  for (Integer n : {8, 7}) {
    Array<Double> x(0, n), y(0, n);
    for (Integer i = 0; i <= n; ++i) x[i] = -1 + 0.25 * i, y[i] = p(x[i]);
    EXPECT_NEAR(INTEGRAL(x, y), P(x[n - n % 2]) - P(x[0]), 1e-13) << n;
  }
}

TEST(MatheArrays, PolynomialAndDerivative) {
  EXPECT_EQ(POLYNOM(arr<Double>({1, 2, 3}), 2), 17.0);
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int n = 0; n < 200; ++n) {
    Array<Double> cr(0, 5), dr(0, 4);
    for (Integer i = 0; i <= 5; ++i) cr[i] = u(gen);
    POLYABL(cr, dr);
    const double t = u(gen), fd = (POLYNOM(cr, t + 1e-5) - POLYNOM(cr, t - 1e-5)) / 2e-5;
    EXPECT_NEAR(POLYNOM(dr, t), fd, 1e-6 * (1 + std::abs(fd)));
  }
}

TEST(MatheArrays, LinearSystems) {
  Array2<Double> A(1, 2, 1, 2);
  A(1, 1) = 0, A(1, 2) = 1, A(2, 1) = 1, A(2, 2) = 3;  // no row exchange: the zero pivot divides by zero
  Array<Double> x(1, 2);
  LINGLSYS(A, x, arr<Double>({3, 5}, 1));
  EXPECT_FALSE(std::isfinite(x[1]) && std::isfinite(x[2]));
  Array<Double> x0 = arr<Double>({7});  // no unknowns: nothing is written
  LINGLSYS(Array2<Double>(0, 0, 0, 0), x0, arr<Double>({1}));
  EXPECT_EQ(x0[0], 7.0);

  std::mt19937 gen(5);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int round = 0; round < 100; ++round) {  // diagonally dominant, up to 8 x 8
    const Integer n = 1 + round % 8;
    Array2<Double> M(1, n, 1, n);
    Array<Double> b(1, n), s(1, n);
    for (Integer i = 1; i <= n; ++i) {
      for (Integer j = 1; j <= n; ++j) M(i, j) = u(gen);
      M(i, i) += (u(gen) < 0 ? -1 : 1) * (n + 1), b[i] = 10 * u(gen);
    }
    const Array2<Double> M0 = M;
    const Array<Double> b0 = b;
    LINGLSYS(M, s, b);
    for (Integer i = 1; i <= n; ++i) {
      double r = -b[i];
      for (Integer j = 1; j <= n; ++j) r += M(i, j) * s[j];
      EXPECT_NEAR(r, 0.0, 1e-11);
      EXPECT_EQ(b[i], b0[i]);
      for (Integer j = 1; j <= n; ++j) EXPECT_EQ(M(i, j), M0(i, j));
    }
  }
}

TEST(MatheArrays, InterpolationReproducesItsSamples) {
  std::mt19937 gen(3);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int round = 0; round < 100; ++round) {
    const Integer n = round % 7;
    Array<Double> x(0, n), y(0, n), cr(0, n);
    for (Integer i = 0; i <= n; ++i) x[i] = -2 + 4.0 * (i + 0.3 * u(gen)) / (n + 1), y[i] = 5 * u(gen);
    INTERPOL(x, y, cr);
    for (Integer i = 0; i <= n; ++i) EXPECT_NEAR(POLYNOM(cr, x[i]), y[i], 1e-9);
  }
}

// Roots over the samples x = 0, 1, 2, ...; none_found is appended as the last entry.
V search(std::initializer_list<Double> ys) {
  Array<Double> x(0, static_cast<Integer>(ys.size()) - 1);
  for (Integer i = 0; i <= x.upper(); ++i) x[i] = i;
  Array<Double> roots = arr<Double>({9, 9, 9}, 3);  // stale contents and bounds
  Integer none_found = -1;
  REGULAFALSI(x, arr<Double>(ys), roots, none_found);
  EXPECT_EQ(roots.lower(), 0);
  V r;
  for (Integer k = 0; k <= roots.upper(); ++k) r.push_back(roots[k]);
  r.push_back(none_found);
  return r;
}

TEST(MatheArrays, RegulaFalsiReportsEachZeroOnce) {
  EXPECT_EQ(search({-1, 1, 3}), V({0.5, 0}));
  EXPECT_EQ(search({1, 2, 3}), V({0, 1}));
  EXPECT_EQ(search({1, 0, -1}), V({1, 0}));
  EXPECT_EQ(search({0, 0, 0}), V({0, 1, 2, 0}));
  EXPECT_EQ(search({0, 5, -5, 0}), V({0, 1.5, 3, 0}));
  EXPECT_EQ(search({1, 2, 0}), V({2, 0}));  // a zero on the last sample counts
  EXPECT_EQ(search({0}), V({0, 0}));
}

TEST(MatheArraysDeathTest, OutOfBoundsEndsWithTheReport) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(SUMDBL(arr<Double>({1, 2}, 1)), ::testing::ExitedWithCode(6),
              "Aborting due to runtime error 6 \\(out of bounds array access\\) at line [0-9]+ of "
              "Inc/Mathe::SUMDBL\\(\\)");
}

}  // namespace
