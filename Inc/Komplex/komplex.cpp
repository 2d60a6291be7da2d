// Complex arithmetic in polar form.
#include "Inc/Komplex.hpp"

#include <cmath>

#include "surface/runtime.hpp"

namespace {
constexpr const char* kModule = "Inc/Komplex";
constexpr Double kPi = 3.141592653589793;
constexpr Double kTwoPi = 6.283185307179586;
}  // namespace

Double CABS(const KOMPLEX& z) {
  const ErrorContext ctx{kModule, "CABS"};
  // sqrt(re^2 + im^2): the 15-bit exponent of long double holds the squares of any
  // finite Double, and the root is rounded once to Double.
  const long double re = z.RE;
  const long double im = z.IM;
  return static_cast<Double>(std::sqrt(re * re + im * im));
}

Double CARG(const KOMPLEX& z) {
  const ErrorContext ctx{kModule, "CARG"};
  // phi = atan2(im, re) in (-pi, pi]; shifted into [0, 2*pi).
  Double phi = std::atan2(z.IM, z.RE);
  if (phi < 0.0 || std::isnan(phi)) phi = phi + kTwoPi;
  return phi;
}

KOMPLEX CTRANSFORM(Double r, Double phi) {
  const ErrorContext ctx{kModule, "CTRANSFORM"};
  return KOMPLEX{std::cos(phi) * r, r * std::sin(phi)};
}

KOMPLEX CADD(const KOMPLEX& a, const KOMPLEX& b) {
  const ErrorContext ctx{kModule, "CADD"};
  return KOMPLEX{a.RE + b.RE, a.IM + b.IM};
}

KOMPLEX CSUB(const KOMPLEX& a, const KOMPLEX& b) {
  const ErrorContext ctx{kModule, "CSUB"};
  return KOMPLEX{a.RE - b.RE, a.IM - b.IM};
}

KOMPLEX CMULT(const KOMPLEX& a, const KOMPLEX& b) {
  const ErrorContext ctx{kModule, "CMULT"};
  // |a|*|b| at angle arg a + arg b, in [0, 4*pi)
  return CTRANSFORM(CABS(a) * CABS(b), CARG(a) + CARG(b));
}

KOMPLEX CDIV(const KOMPLEX& a, const KOMPLEX& b) {
  const ErrorContext ctx{kModule, "CDIV"};
  // |a|/|b| at angle arg a - arg b
  return CTRANSFORM(CABS(a) / CABS(b), CARG(a) - CARG(b));
}

KOMPLEX CPOTENZ(const KOMPLEX& z, Double x) {
  const ErrorContext ctx{kModule, "CPOTENZ"};
  // |z|^x at angle x * arg z
  return CTRANSFORM(std::pow(CABS(z), x), CARG(z) * x);
}

void CSQR(const KOMPLEX& z, KOMPLEX& w1, KOMPLEX& w2) {
  const ErrorContext ctx{kModule, "CSQR"};
  // sqrt|z| at angles phi/2 and phi/2 + pi; z is read fully before w1 or w2 is written,
  // so z may be one of the outputs.
  const Double s = std::sqrt(CABS(z));
  const Double phi = CARG(z);
  const Double half = phi / 2.0;
  w1 = CTRANSFORM(s, half);
  w2 = CTRANSFORM(s, half + kPi);
}
