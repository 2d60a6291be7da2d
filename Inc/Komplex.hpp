#pragma once
// Complex numbers as a plain record; products, quotients, powers and roots go
// through the polar form with the argument taken in [0, 2*pi).
#include "surface/types.hpp"

// A complex number: real part, then imaginary part.
struct KOMPLEX {
  Double RE = 0.0;
  Double IM = 0.0;
};

// The modulus |z|; finite for every finite z (the squares are summed in extended precision).
Double CABS(const KOMPLEX& z);
// The argument of z in [0, 2*pi); CARG(0) = 0.
Double CARG(const KOMPLEX& z);
// r * (cos phi, sin phi).
KOMPLEX CTRANSFORM(Double r, Double phi);
// a + b, componentwise.
KOMPLEX CADD(const KOMPLEX& a, const KOMPLEX& b);
// a - b, componentwise.
KOMPLEX CSUB(const KOMPLEX& a, const KOMPLEX& b);
// a * b in polar form; the summed angle is not reduced.
KOMPLEX CMULT(const KOMPLEX& a, const KOMPLEX& b);
// a / b in polar form; division by zero gives infinite or NaN components.
KOMPLEX CDIV(const KOMPLEX& a, const KOMPLEX& b);
// z to the real power x in polar form; the branch cut is the positive real axis.
KOMPLEX CPOTENZ(const KOMPLEX& z, Double x);
// The two square roots of z: w1 with argument in [0, pi), w2 = -w1 up to rounding.
void CSQR(const KOMPLEX& z, KOMPLEX& w1, KOMPLEX& w2);
