#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "Inc/Mathe.hpp"

namespace {
using C = std::complex<double>;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr Integer kIntMin = std::numeric_limits<Integer>::min();

TEST(Mathe, FactorialBinomialAndLogarithm) {
  EXPECT_EQ(FAK(0) + FAK(-3), 2.0);
  EXPECT_EQ(FAK(5), 120.0);
  EXPECT_EQ(FAK(171), kInf);
  EXPECT_EQ(FAK(std::numeric_limits<Integer>::max()), kInf);  // returns at once

  EXPECT_EQ(BINKOEFF(3, 5) + BINKOEFF(3, -1), 0);
  EXPECT_EQ(BINKOEFF(33, 16), 1166803110);
  EXPECT_EQ(BINKOEFF(34, 17), kIntMin);  // 2333606220 does not fit
  EXPECT_EQ(BINKOEFF(171, 3), kIntMin);  // inf / inf
  EXPECT_EQ(BINKOEFF(std::numeric_limits<Integer>::max(), -5), kIntMin);  // n - k beyond Integer
  for (Integer n = 1; n <= 33; ++n)  // every row that fits is exact (Pascal's rule)
    for (Integer k = 1; k < n; ++k)
      ASSERT_EQ(0LL + BINKOEFF(n, k), 0LL + BINKOEFF(n - 1, k - 1) + BINKOEFF(n - 1, k)) << n << " " << k;

  EXPECT_DOUBLE_EQ(LOGX(8, 2), 3.0);
  EXPECT_EQ(LOGX(0, 10), -kInf);
  EXPECT_TRUE(std::isnan(LOGX(-1, 10)));
}

// Bit for bit, so that the sign of a zero counts.
void expect_root(const KOMPLEX& z, double re, double im) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(z.RE), std::bit_cast<std::uint64_t>(re)) << z.RE << " vs " << re;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(z.IM), std::bit_cast<std::uint64_t>(im)) << z.IM << " vs " << im;
}

TEST(Mathe, QuadraticAndCubicKnownRoots) {
  // Exact values and signs of zero: -b / 2a with b = +0 is a negative zero.
  const struct { Double a, b, c; double r2, i2, r3, i3; } quadratics[] = {
      {1, -3, 2, 2, 0, 1, 0}, {1, 0, 1, -0.0, 1, -0.0, -1}, {1, 2, 1, -1, 0, -1, 0}};
  for (const auto& q : quadratics) {
    KOMPLEX x2, x3;
    QUADGL(q.a, q.b, q.c, x2, x3);
    expect_root(x2, q.r2, q.i2);
    expect_root(x3, q.r3, q.i3);
  }
  const double s3 = 0.8660254037844386;
  const struct { Double a, b, c, d, x1; double r2, i2, r3, i3; } cubics[] = {
      {1, -6, 11, -6, 3, 1, 0, 1.9999999999999998, 0},  // three real roots
      {1, 0, 0, 1, -1, 0.5, s3, 0.5, -s3},              // one real root and a conjugate pair
      {1, 0, 0, -8, 2, -1, 2 * s3, -1, -2 * s3},
      {1, -3, 3, -1, 1, 1, 0, 1, -0.0}};  // triple root
  for (const auto& k : cubics) {
    Double x1;
    KOMPLEX x2, x3;
    KUBGL(k.a, k.b, k.c, k.d, x1, x2, x3);
    EXPECT_EQ(x1, k.x1);
    expect_root(x2, k.r2, k.i2);
    expect_root(x3, k.r3, k.i3);
  }
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
}

// |p(z)| relative to the sum of the magnitudes of its terms; coefficients highest power first.
C to_c(const KOMPLEX& z) { return {z.RE, z.IM}; }
double relative_residual(const std::vector<double>& coeff, C z) {
  C value = 0;
  double scale = 0;
  for (double c : coeff) value = value * z + c, scale = scale * std::abs(z) + std::abs(c);
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
    EXPECT_LT(std::max(relative_residual({a, b, c}, to_c(q1)), relative_residual({a, b, c}, to_c(q2))), 1e-13);

    Double x1;
    KOMPLEX x2, x3;
    KUBGL(a, b, c, d, x1, x2, x3);
    const std::vector<double> p{a, b, c, d};
    const double worst = std::max({relative_residual(p, x1), relative_residual(p, to_c(x2)), relative_residual(p, to_c(x3))});
    EXPECT_LT(worst, 1e-6) << a << " " << b << " " << c << " " << d;
    loose_cubics += worst > 1e-12;
    EXPECT_EQ(x2.IM, -x3.IM);
    if (x2.IM == 0.0) {
      EXPECT_GE(x1, std::max(x2.RE, x3.RE) - 1e-9);  // x1 is the largest real root
    }
  }
  EXPECT_LT(loose_cubics, kCases / 100);
}

}  // namespace
