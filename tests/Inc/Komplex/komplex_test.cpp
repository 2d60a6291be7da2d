#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>

#include "Inc/Komplex.hpp"

namespace {
using C = std::complex<double>;
constexpr double kPi = 3.141592653589793;

C to_std(const KOMPLEX& z) { return {z.RE, z.IM}; }
// Error relative to |want|: the polar form rounds through sine and cosine, so a tiny
// component may carry an error of the order of the modulus times the rounding.
double rel_err(const KOMPLEX& got, C want) { return std::abs(to_std(got) - want) / std::max(1.0, std::abs(want)); }

TEST(Komplex, ArgumentOnTheAxes) {
  EXPECT_EQ(CARG({1, 0}), 0.0);
  EXPECT_EQ(CARG({0, 1}), kPi / 2);
  EXPECT_EQ(CARG({-1, 0}), kPi);
  EXPECT_EQ(CARG({0, -1}), 3 * kPi / 2);
  EXPECT_EQ(CARG({0, 0}), 0.0);
}

TEST(Komplex, ProductsPowersAndRootsCarryThePolarRounding) {
  EXPECT_EQ(to_std(CMULT({0, 1}, {0, 1})), C(-1.0, 1.2246467991473532e-16));  // at angle pi, not rectangular

  KOMPLEX w1, w2;
  CSQR({-4, 0}, w1, w2);
  EXPECT_EQ(to_std(w1), C(1.2246467991473532e-16, 2.0));
  EXPECT_EQ(to_std(w2), C(-3.6739403974420594e-16, -2.0));
  CSQR({4, 0}, w1, w2);
  EXPECT_EQ(to_std(w1), C(2.0, 0.0));
  EXPECT_EQ(to_std(w2), C(-2.0, 2.4492935982947064e-16));

  const KOMPLEX sq = CPOTENZ({1, 1}, 2);
  EXPECT_NEAR(sq.RE, 1.2e-16, 1e-17);
  EXPECT_EQ(sq.IM, 2.0000000000000004);
  EXPECT_EQ(CPOTENZ({1, 1}, 0).RE, 1.0);
  // 1 - i has argument 7 pi / 4, so its square root lies at 7 pi / 8, not at -pi / 8
  EXPECT_LT(rel_err(CPOTENZ({1, -1}, 0.5), std::polar(std::pow(2.0, 0.25), 7 * kPi / 8)), 1e-15);
}

TEST(Komplex, ExtremeModuliAndDivisionByZero) {
  EXPECT_DOUBLE_EQ(CABS({3e200, 4e200}), 5e200);
  EXPECT_DOUBLE_EQ(CABS({-3e-200, 4e-200}), 5e-200);
  EXPECT_EQ(CABS({0, -std::numeric_limits<double>::max()}), std::numeric_limits<double>::max());

  const KOMPLEX q = CDIV({1, 0}, {0, 0});
  EXPECT_EQ(q.RE, std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(q.IM));
  const KOMPLEX n = CDIV({0, 0}, {0, 0});
  EXPECT_TRUE(std::isnan(n.RE) && std::isnan(n.IM));
}

TEST(Komplex, RandomOperandsAgreeWithRectangularArithmetic) {
  std::mt19937 gen(20240611);
  std::uniform_real_distribution<double> part(-50.0, 50.0), expo(-3.0, 3.0);
  for (int n = 0; n < 2000; ++n) {
    const KOMPLEX a{part(gen), part(gen)}, b{part(gen), part(gen)};
    const C ca = to_std(a), cb = to_std(b);
    EXPECT_EQ(to_std(CADD(a, b)), ca + cb);
    EXPECT_EQ(to_std(CSUB(a, b)), ca - cb);
    EXPECT_LT(rel_err(CMULT(a, b), ca * cb), 1e-14);
    EXPECT_LT(rel_err(CDIV(a, b), ca / cb), 1e-14);

    const double x = expo(gen);
    const double arg = std::arg(ca) < 0 ? std::arg(ca) + 2 * kPi : std::arg(ca);
    EXPECT_LT(rel_err(CPOTENZ(a, x), std::polar(std::pow(std::abs(ca), x), arg * x)), 1e-13);

    KOMPLEX w1, w2;
    CSQR(a, w1, w2);
    EXPECT_LT(rel_err(w1, std::polar(std::sqrt(std::abs(ca)), arg / 2)), 1e-14);
    EXPECT_LT(rel_err(w2, -to_std(w1)), 1e-14);
    EXPECT_GE(w1.IM, 0.0);
  }
}

}  // namespace
