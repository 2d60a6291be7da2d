#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <random>

#include "Inc/Komplex.hpp"

namespace {
using C = std::complex<double>;
constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();

C to_std(const KOMPLEX& z) { return {z.RE, z.IM}; }

// The argument convention of the module, [0, 2 pi).
double arg0(C z) {
  double a = std::arg(z);
  return a < 0 ? a + 2 * kPi : a;
}

// |got - want| within tol relative to the modulus of want (the polar form rounds through
// sine and cosine, so a tiny component may carry an absolute error of the modulus' order).
::testing::AssertionResult close(const KOMPLEX& got, C want, double tol) {
  const double err = std::abs(to_std(got) - want);
  if (err <= tol * std::max(1.0, std::abs(want))) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.RE << ", " << got.IM << ") want " << want
                                       << " err " << err;
}

TEST(Komplex, ArgumentOnTheAxesLiesInZeroToTwoPi) {
  EXPECT_EQ(CARG({1, 0}), 0.0);
  EXPECT_EQ(CARG({0, 1}), kPi / 2);
  EXPECT_EQ(CARG({-1, 0}), kPi);
  EXPECT_EQ(CARG({0, -1}), 3 * kPi / 2);
  EXPECT_EQ(CARG({0, 0}), 0.0);
}

TEST(Komplex, ProductsAndRootsCarryThePolarRounding) {
  // i * i is formed at angle pi: cos pi = -1, sin pi = 1.2e-16
  const KOMPLEX ii = CMULT({0, 1}, {0, 1});
  EXPECT_EQ(ii.RE, -1.0);
  EXPECT_EQ(ii.IM, std::sin(kPi));

  KOMPLEX w1, w2;
  CSQR({-4, 0}, w1, w2);
  EXPECT_EQ(w1.RE, 2 * std::cos(kPi / 2));
  EXPECT_EQ(w1.IM, 2.0);
  EXPECT_EQ(w2.RE, std::cos(kPi / 2 + kPi) * 2);
  EXPECT_EQ(w2.IM, -2.0);

  CSQR({4, 0}, w1, w2);
  EXPECT_EQ(w1.RE, 2.0);
  EXPECT_EQ(w1.IM, 0.0);
  EXPECT_EQ(w2.RE, -2.0);
  EXPECT_EQ(w2.IM, 2 * std::sin(kPi));

  // z may be one of the outputs
  KOMPLEX z{-4, 0};
  CSQR(z, z, w2);
  EXPECT_EQ(z.IM, 2.0);
  EXPECT_EQ(w2.IM, -2.0);
}

TEST(Komplex, PowerHasItsCutOnThePositiveRealAxis) {
  const KOMPLEX sq = CPOTENZ({1, 1}, 2);
  EXPECT_NEAR(sq.RE, 1.2e-16, 1e-17);
  EXPECT_EQ(sq.IM, 2.0000000000000004);
  const KOMPLEX one = CPOTENZ({1, 1}, 0);
  EXPECT_EQ(one.RE, 1.0);
  EXPECT_EQ(one.IM, 0.0);
  // 1 - i has argument 7 pi / 4, so its square root lies at 7 pi / 8
  const KOMPLEX r = CPOTENZ({1, -1}, 0.5);
  EXPECT_TRUE(close(r, std::polar(std::pow(2.0, 0.25), 7 * kPi / 8), 1e-15));
  EXPECT_LT(r.RE, 0);
  EXPECT_GT(r.IM, 0);
}

TEST(Komplex, ModulusNeitherOverflowsNorUnderflows) {
  EXPECT_DOUBLE_EQ(CABS({3e200, 4e200}), 5e200);
  EXPECT_DOUBLE_EQ(CABS({-3e-200, 4e-200}), 5e-200);
  const double big = std::numeric_limits<double>::max();
  EXPECT_EQ(CABS({big, 0}), big);
  EXPECT_EQ(CABS({0, -big}), big);
  EXPECT_EQ(CABS({3, 4}), 5.0);
}

TEST(Komplex, DivisionByZeroGivesSpecialValues) {
  const KOMPLEX q = CDIV({1, 0}, {0, 0});
  EXPECT_EQ(q.RE, kInf);
  EXPECT_TRUE(std::isnan(q.IM));
  const KOMPLEX n = CDIV({0, 0}, {0, 0});
  EXPECT_TRUE(std::isnan(n.RE));
  EXPECT_TRUE(std::isnan(n.IM));
  const KOMPLEX p = CPOTENZ({0, 0}, -1);
  EXPECT_EQ(p.RE, kInf);
}

TEST(Komplex, RandomOperandsAgreeWithRectangularArithmetic) {
  std::mt19937 gen(20240611);
  std::uniform_real_distribution<double> part(-50.0, 50.0);
  std::uniform_real_distribution<double> expo(-3.0, 3.0);
  for (int n = 0; n < 2000; ++n) {
    const KOMPLEX a{part(gen), part(gen)};
    const KOMPLEX b{part(gen), part(gen)};
    const C ca = to_std(a), cb = to_std(b);

    const KOMPLEX sum = CADD(a, b), diff = CSUB(a, b);
    EXPECT_EQ(sum.RE, a.RE + b.RE);
    EXPECT_EQ(sum.IM, a.IM + b.IM);
    EXPECT_EQ(diff.RE, a.RE - b.RE);
    EXPECT_EQ(diff.IM, a.IM - b.IM);

    EXPECT_TRUE(close(CMULT(a, b), ca * cb, 1e-14));
    EXPECT_TRUE(close(CDIV(a, b), ca / cb, 1e-14));
    EXPECT_NEAR(CABS(a), std::abs(ca), 1e-15 * std::abs(ca));

    const double x = expo(gen);
    EXPECT_TRUE(close(CPOTENZ(a, x), std::polar(std::pow(std::abs(ca), x), arg0(ca) * x), 1e-13));

    KOMPLEX w1, w2;
    CSQR(a, w1, w2);
    EXPECT_TRUE(close(w1, std::polar(std::sqrt(std::abs(ca)), arg0(ca) / 2), 1e-14));
    EXPECT_TRUE(close(w2, -to_std(w1), 1e-14));
    EXPECT_GE(CARG(w1), 0.0);
    EXPECT_LT(CARG(w1), kPi + 1e-15);
    EXPECT_TRUE(close(CMULT(w1, w1), ca, 1e-14));
  }
}

}  // namespace
