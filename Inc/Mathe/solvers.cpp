// Factorial, binomial coefficient, logarithm and the closed-form quadratic and cubic solvers.
//
// Every expression is evaluated in long double (64-bit mantissa) and rounded to Double
// where its value is stored or handed to a library function, so the roots come out
// the same on every build.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "Inc/Mathe.hpp"

namespace {
using Ext = long double;
constexpr const char* kModule = "Inc/Mathe";

constexpr Double kThird = 0.3333333333333333;
constexpr Double kSqrt3 = 1.7320508075688772;
constexpr Double kTwoPiThirds = 2.0943951023931953;
constexpr Double kFourPiThirds = 4.1887902047863905;

Double dbl(Ext v) { return static_cast<Double>(v); }

// n! with a rounding after each step; 1 for n <= 0. Once f is infinite it stays so,
// which ends the loop early for any larger n.
Double factorial(std::int64_t n) {
  Double f = 1.0;
  for (std::int64_t i = 1; i <= n && std::isfinite(f); ++i) f = dbl(static_cast<Ext>(f) * i);
  return f;
}
}  // namespace

Double FAK(Integer n) {
  const ErrorContext ctx{kModule, "FAK"};
  return factorial(n);
}

Integer BINKOEFF(Integer n, Integer k) {
  const ErrorContext ctx{kModule, "BINKOEFF"};
  // n! / (k! (n-k)!); n - k is formed in 64 bits so that no Integer pair overflows.
  const Ext q = static_cast<Ext>(factorial(n)) /
                (static_cast<Ext>(factorial(k)) * factorial(static_cast<std::int64_t>(n) - k));
  const Ext rounded = rt::round_half_even(q);
  if (!(rounded >= std::numeric_limits<Integer>::min() && rounded <= std::numeric_limits<Integer>::max()))
    return std::numeric_limits<Integer>::min();
  return static_cast<Integer>(rounded);
}

Double LOGX(Double x, Double base) {
  const ErrorContext ctx{kModule, "LOGX"};
  // ln x / ln base, rounded once
  return dbl(std::log(static_cast<Ext>(x)) / std::log(static_cast<Ext>(base)));
}

void QUADGL(Double a, Double b, Double c, KOMPLEX& x1, KOMPLEX& x2) {
  const ErrorContext ctx{kModule, "QUADGL"};
  // D = b^2 - 4ac
  const Double D = dbl(static_cast<Ext>(b) * b - static_cast<Ext>(c) * a * 4);
  const Ext twoA = static_cast<Ext>(2) * a;
  if (D >= 0.0) {
    // x = (-b +- sqrt D) / 2a
    const Ext root = std::sqrt(static_cast<Ext>(D));
    x1 = KOMPLEX{dbl((-static_cast<Ext>(b) + root) / twoA), 0.0};
    x2 = KOMPLEX{dbl((-static_cast<Ext>(b) - root) / twoA), 0.0};
  } else {
    // x = -b/2a +- i sqrt(-D)/2a; also taken for a NaN discriminant
    const Ext re = -static_cast<Ext>(b) / twoA;
    const Ext im = std::sqrt(-static_cast<Ext>(D)) / twoA;
    x1 = KOMPLEX{dbl(re), dbl(im)};
    x2 = KOMPLEX{dbl(re), dbl(-im)};
  }
}

void KUBGL(Double a, Double b, Double c, Double d, Double& x1, KOMPLEX& x2, KOMPLEX& x3) {
  const ErrorContext ctx{kModule, "KUBGL"};
  // x^3 + r x^2 + s x + t = 0
  const Double r = dbl(static_cast<Ext>(b) / a);
  const Double s = dbl(static_cast<Ext>(c) / a);
  const Double t = dbl(static_cast<Ext>(d) / a);
  // x = y - r/3 gives y^3 + p y + q = 0 with p = s - r^2/3, q = 2 r^3/27 - s r/3 + t
  const Double p = dbl(s - static_cast<Ext>(r) * r / 3);
  const Double q = dbl(static_cast<Ext>(2) * std::pow(r, 3.0) / 27 - static_cast<Ext>(s) * r / 3 + t);
  // D = (q/2)^2 + (p/3)^3
  const Double D = dbl(static_cast<Ext>(std::pow(dbl(static_cast<Ext>(q) / 2), 2.0)) +
                       std::pow(dbl(static_cast<Ext>(p) / 3), 3.0));

  Double y1 = 0.0;
  KOMPLEX y2;
  KOMPLEX y3;
  if (D >= 0.0) {
    // Cardano: y1 = u + v with u = cbrt(-q/2 + sqrt D), v = cbrt(-q/2 - sqrt D)
    const Ext root = std::sqrt(static_cast<Ext>(D));
    const Double A = dbl(-static_cast<Ext>(q) / 2 + root);
    const Double B = dbl(-static_cast<Ext>(q) / 2 - root);
    const Double u = A >= 0.0 ? std::pow(A, kThird) : -std::pow(-A, kThird);
    const Double v = B >= 0.0 ? std::pow(B, kThird) : -std::pow(-B, kThird);
    // y2,3 = -(u+v)/2 +- i (u-v) sqrt3/2
    y1 = dbl(static_cast<Ext>(u) + v);
    const Double re = dbl(-(static_cast<Ext>(u) + v) / 2);
    y2 = KOMPLEX{re, dbl((static_cast<Ext>(u) - v) * kSqrt3 / 2)};
    y3 = KOMPLEX{re, dbl(-(static_cast<Ext>(u) - v) * kSqrt3 / 2)};
  } else {
    // Three real roots: rho = sqrt(-p^3/27), cos phi = -q/(2 rho),
    // y_k = 2 rho^(1/3) cos(phi/3 + 2 pi k/3)
    const Double rho = dbl(std::sqrt(-static_cast<Ext>(std::pow(p, 3.0)) / 27));
    Double cphi = dbl(-static_cast<Ext>(q) / (static_cast<Ext>(2) * rho));
    // Rounding can push |cos phi| a hair above 1 for a valid cubic; the true value lies
    // in [-1, 1], and outside it the root below would turn all three roots into NaN.
    // An infinite or NaN value is no rounding artefact and is left to flow on.
    if (std::isfinite(cphi)) cphi = std::clamp(cphi, -1.0, 1.0);
    const Double phi = std::atan2(dbl(std::sqrt(1 - static_cast<Ext>(cphi) * cphi)), cphi);
    const Double m = std::pow(rho, kThird);
    const Double third = dbl(static_cast<Ext>(phi) / 3);
    y1 = dbl(static_cast<Ext>(2) * m * std::cos(third));
    y2 = KOMPLEX{dbl(static_cast<Ext>(2) * m * std::cos(dbl(static_cast<Ext>(phi) / 3 + kTwoPiThirds))), 0.0};
    y3 = KOMPLEX{dbl(static_cast<Ext>(2) * m * std::cos(dbl(static_cast<Ext>(phi) / 3 + kFourPiThirds))), 0.0};
  }
  // x = y - r/3
  const Ext shift = static_cast<Ext>(r) / 3;
  x1 = dbl(y1 - shift);
  x2 = KOMPLEX{dbl(y2.RE - shift), y2.IM};
  x3 = KOMPLEX{dbl(y3.RE - shift), y3.IM};
}
