#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "Inc/Mathe.hpp"

namespace {
using C = std::complex<double>;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr Integer kIntMin = std::numeric_limits<Integer>::min();

TEST(Mathe, FactorialAndBinomial) {
  EXPECT_EQ(FAK(0), 1.0);
  EXPECT_EQ(FAK(-3), 1.0);
  EXPECT_EQ(FAK(5), 120.0);
  EXPECT_EQ(FAK(20), 2432902008176640000.0);
  EXPECT_TRUE(std::isfinite(FAK(170)));
  EXPECT_EQ(FAK(171), kInf);
  EXPECT_EQ(FAK(std::numeric_limits<Integer>::max()), kInf);  // returns at once

  EXPECT_EQ(BINKOEFF(5, 2), 10);
  EXPECT_EQ(BINKOEFF(5, 0), 1);
  EXPECT_EQ(BINKOEFF(5, 5), 1);
  EXPECT_EQ(BINKOEFF(3, 5), 0);
  EXPECT_EQ(BINKOEFF(3, -1), 0);
  EXPECT_EQ(BINKOEFF(33, 16), 1166803110);  // largest row that still fits
  EXPECT_EQ(BINKOEFF(34, 17), kIntMin);     // 2333606220 does not fit
  EXPECT_EQ(BINKOEFF(171, 3), kIntMin);     // inf / inf
  // n - k outside the Integer range must not overflow
  EXPECT_EQ(BINKOEFF(std::numeric_limits<Integer>::max(), -5), kIntMin);
  EXPECT_EQ(BINKOEFF(kIntMin, 5), 0);
  // Pascal's rule over every row that is exact
  for (Integer n = 1; n <= 33; ++n)
    for (Integer k = 1; k < n; ++k)
      ASSERT_EQ(static_cast<long long>(BINKOEFF(n, k)),
                static_cast<long long>(BINKOEFF(n - 1, k - 1)) + BINKOEFF(n - 1, k))
          << n << " " << k;
}

TEST(Mathe, LogarithmToAnyBase) {
  EXPECT_DOUBLE_EQ(LOGX(8, 2), 3.0);
  EXPECT_EQ(LOGX(1, 10), 0.0);
  EXPECT_DOUBLE_EQ(LOGX(1e-300, 10), -300.0);
  EXPECT_EQ(LOGX(0, 10), -kInf);
  EXPECT_TRUE(std::isnan(LOGX(-1, 10)));
  EXPECT_EQ(LOGX(2, 1), kInf);
  EXPECT_TRUE(std::isnan(LOGX(1, 1)));
}

TEST(Mathe, QuadraticKnownRoots) {
  KOMPLEX x1, x2;
  QUADGL(1, -3, 2, x1, x2);
  EXPECT_EQ(x1.RE, 2.0);
  EXPECT_EQ(x2.RE, 1.0);
  EXPECT_EQ(x1.IM, 0.0);
  EXPECT_EQ(x2.IM, 0.0);

  QUADGL(1, 0, 1, x1, x2);
  EXPECT_EQ(x1.RE, 0.0);
  EXPECT_TRUE(std::signbit(x1.RE));  // -b / 2a with b = +0
  EXPECT_EQ(x1.IM, 1.0);
  EXPECT_TRUE(std::signbit(x2.RE));
  EXPECT_EQ(x2.IM, -1.0);

  QUADGL(1, 2, 1, x1, x2);
  EXPECT_EQ(x1.RE, -1.0);
  EXPECT_EQ(x2.RE, -1.0);

  QUADGL(0, 1, 1, x1, x2);  // a = 0 divides by zero
  EXPECT_FALSE(std::isfinite(x1.RE) && std::isfinite(x2.RE));
}

TEST(Mathe, CubicKnownRoots) {
  Double x1;
  KOMPLEX x2, x3;
  KUBGL(1, -6, 11, -6, x1, x2, x3);  // three real roots
  EXPECT_EQ(x1, 3.0);
  EXPECT_EQ(x2.RE, 1.0);
  EXPECT_EQ(x3.RE, 1.9999999999999998);
  EXPECT_EQ(x2.IM, 0.0);
  EXPECT_EQ(x3.IM, 0.0);

  KUBGL(1, 0, 0, 1, x1, x2, x3);  // one real root, a conjugate pair
  EXPECT_EQ(x1, -1.0);
  EXPECT_EQ(x2.RE, 0.5);
  EXPECT_EQ(x2.IM, 0.8660254037844386);
  EXPECT_EQ(x3.RE, 0.5);
  EXPECT_EQ(x3.IM, -0.8660254037844386);

  KUBGL(1, 0, 0, -8, x1, x2, x3);
  EXPECT_EQ(x1, 2.0);
  EXPECT_EQ(x2.RE, -1.0);
  EXPECT_EQ(x2.IM, 1.7320508075688772);
  EXPECT_EQ(x3.IM, -1.7320508075688772);

  KUBGL(1, -3, 3, -1, x1, x2, x3);  // triple root
  EXPECT_EQ(x1, 1.0);
  EXPECT_EQ(x2.RE, 1.0);
  EXPECT_EQ(x3.RE, 1.0);
  EXPECT_EQ(x2.IM, 0.0);
  EXPECT_EQ(x3.IM, 0.0);
  EXPECT_TRUE(std::signbit(x3.IM));
}

TEST(Mathe, CubicWithDoubleRootSurvivesRoundingAboveOne) {
  // (x - 0.2543...)^2 (x - 7.0684...): rounding puts the cosine of the trigonometric form
  // at 1.0000000000000002; the roots must still come out.
  Double x1;
  KOMPLEX x2, x3;
  KUBGL(1, -7.5771779062565834, 3.6604803532137979, -0.45730071688986834, x1, x2, x3);
  EXPECT_NEAR(x1, 7.0684703161665539, 1e-9);
  EXPECT_NEAR(x2.RE, 0.25435379504501476, 1e-6);
  EXPECT_NEAR(x3.RE, 0.25435379504501476, 1e-6);
  EXPECT_EQ(x2.IM, 0.0);
  EXPECT_EQ(x3.IM, 0.0);
}

// |p(z)| relative to the sum of the magnitudes of its terms.
double relative_residual(const std::vector<double>& coeff, C z) {
  C value = 0;
  double scale = 0;
  for (double c : coeff) {  // highest power first
    value = value * z + c;
    scale = scale * std::abs(z) + std::abs(c);
  }
  return std::abs(value) / scale;
}

TEST(Mathe, RandomPolynomialRootsSatisfyTheirEquation) {
  // Cardano's sum u + v cancels when the real root is small against the coefficients,
  // so a few cubics lose digits; the bulk must be at rounding level and none may be lost.
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> coef(-10.0, 10.0);
  constexpr int kCases = 3000;
  int loose_cubics = 0;
  for (int n = 0; n < kCases; ++n) {
    double a = coef(gen), b = coef(gen), c = coef(gen), d = coef(gen);
    if (std::abs(a) < 1e-3) a = 1.0;

    KOMPLEX q1, q2;
    QUADGL(a, b, c, q1, q2);
    EXPECT_LT(relative_residual({a, b, c}, {q1.RE, q1.IM}), 1e-13);
    EXPECT_LT(relative_residual({a, b, c}, {q2.RE, q2.IM}), 1e-13);

    Double x1;
    KOMPLEX x2, x3;
    KUBGL(a, b, c, d, x1, x2, x3);
    const double worst = std::max({relative_residual({a, b, c, d}, x1),
                                   relative_residual({a, b, c, d}, {x2.RE, x2.IM}),
                                   relative_residual({a, b, c, d}, {x3.RE, x3.IM})});
    EXPECT_LT(worst, 1e-6) << a << " " << b << " " << c << " " << d;
    if (worst > 1e-12) ++loose_cubics;
    EXPECT_EQ(x2.IM, -x3.IM);
    if (x2.IM == 0.0) {  // three real roots: x1 is the largest
      EXPECT_GE(x1, x2.RE - 1e-9);
      EXPECT_GE(x1, x3.RE - 1e-9);
    }
  }
  EXPECT_LT(loose_cubics, kCases / 100);
}

}  // namespace
