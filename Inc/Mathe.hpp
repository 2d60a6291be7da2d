#pragma once
// Elementary math, closed-form equation solvers and routines on arrays of samples
// or coefficients. Arrays carry their bounds; every element access is checked.
#include "Inc/Komplex.hpp"
#include "surface/runtime.hpp"
#include "surface/types.hpp"

// ---- Elementary math and equation solvers ---------------------------------------------

// n! as a Double; 1 for n <= 0, +inf from n = 171 on.
Double FAK(Integer n);
// C(n, k), exact while it fits; 0 for k < 0 or k > n; -2147483648 when out of range.
Integer BINKOEFF(Integer n, Integer k);
// The logarithm of x to the given base.
Double LOGX(Double x, Double base);
// The two roots of a*x^2 + b*x + c = 0: (-b + sqrt D) / 2a first, then (-b - sqrt D) / 2a.
void QUADGL(Double a, Double b, Double c, KOMPLEX& x1, KOMPLEX& x2);
// The three roots of a*x^3 + b*x^2 + c*x + d = 0; x1 is real (the largest of three real roots).
void KUBGL(Double a, Double b, Double c, Double d, Double& x1, KOMPLEX& x2, KOMPLEX& x3);

// ---- Routines on arrays (indices 0..n, n the upper bound; LINGLSYS uses 1..n) ----------

// a(0) + ... + a(n); 0 for an empty array.
Double SUMDBL(const Array<Double>& a);
// a(0) + ... + a(n) in 32-bit arithmetic, wrapping around on overflow.
Integer SUMINT(const Array<Integer>& a);
// The largest element (the first of equal ones); a(0) must exist.
Double MAXDBL(const Array<Double>& a);
// The largest element; a(0) must exist.
Integer MAXINT(const Array<Integer>& a);
// The smallest element (the first of equal ones); a(0) must exist.
Double MINDBL(const Array<Double>& a);
// The smallest element; a(0) must exist.
Integer MININT(const Array<Integer>& a);
// Simpson integral of y over the equidistant grid x (step x(1) - x(0)); an odd n leaves out the last interval.
Double INTEGRAL(const Array<Double>& x, const Array<Double>& y);
// c(0) + c(1)*x + ... + c(n)*x^n.
Double POLYNOM(const Array<Double>& c, Double x);
// d(i) = c(i + 1) * (i + 1) for i = 0..n-1, the derivative's coefficients; d must cover 0..n-1.
void POLYABL(const Array<Double>& c, Array<Double>& d);
// Solves A*x = b at indices 1..n by elimination without pivoting; A and b are unchanged.
void LINGLSYS(const Array2<Double>& A, Array<Double>& x, const Array<Double>& b);
// c receives the coefficients of the polynomial through the points (x(i), y(i)); c must cover 0..n.
void INTERPOL(const Array<Double>& x, const Array<Double>& y, Array<Double>& c);
// The zeros between neighbouring samples, one secant step per sign change; roots is resized
// to 0..k (to the single element 0 when none is found) and none_found is 1 exactly then.
void REGULAFALSI(const Array<Double>& x, const Array<Double>& y, Array<Double>& roots,
                 Integer& none_found);
