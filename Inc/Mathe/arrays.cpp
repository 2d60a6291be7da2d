// Sums, extremes, Simpson integration, polynomials, linear systems, interpolation and
// the regula falsi root search, all on checked arrays that carry their bounds.
//
// Expressions are evaluated in long double and rounded to Double where they are stored.
#include <cmath>
#include <cstdint>
#include <vector>

#include "Inc/Mathe.hpp"

namespace {
using Ext = long double;
constexpr const char* kModule = "Inc/Mathe";

Double dbl(Ext v) { return static_cast<Double>(v); }

// Calls f(i) for i = first..last; the 64-bit counter cannot overflow at the Integer limit.
template <class F>
void for_range(Integer first, Integer last, F f) {
  for (std::int64_t i = first; i <= last; ++i) f(static_cast<Integer>(i));
}

// -1, 0 or 1; a NaN counts as 0.
int sign(Double v) { return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0); }
}  // namespace

Double SUMDBL(const Array<Double>& a) {
  const ErrorContext ctx{kModule, "SUMDBL"};
  Double s = 0.0;
  for_range(0, a.upper(), [&](Integer i) { s = dbl(static_cast<Ext>(a[i]) + s); });
  return s;
}

Integer SUMINT(const Array<Integer>& a) {
  const ErrorContext ctx{kModule, "SUMINT"};
  // Unsigned arithmetic wraps modulo 2^32; the conversion back is two's complement.
  std::uint32_t s = 0;
  for_range(0, a.upper(), [&](Integer i) { s += static_cast<std::uint32_t>(a[i]); });
  return static_cast<Integer>(s);
}

Double MAXDBL(const Array<Double>& a) {
  const ErrorContext ctx{kModule, "MAXDBL"};
  Double m = a[0];
  for_range(1, a.upper(), [&](Integer i) {
    if (m < a[i]) m = a[i];
  });
  return m;
}

Integer MAXINT(const Array<Integer>& a) {
  const ErrorContext ctx{kModule, "MAXINT"};
  Double m = a[0];  // every Integer is exact in a Double
  for_range(1, a.upper(), [&](Integer i) {
    if (m < a[i]) m = a[i];
  });
  return static_cast<Integer>(m);
}

Double MINDBL(const Array<Double>& a) {
  const ErrorContext ctx{kModule, "MINDBL"};
  Double m = a[0];
  for_range(1, a.upper(), [&](Integer i) {
    if (a[i] < m) m = a[i];
  });
  return m;
}

Integer MININT(const Array<Integer>& a) {
  const ErrorContext ctx{kModule, "MININT"};
  Double m = a[0];
  for_range(1, a.upper(), [&](Integer i) {
    if (a[i] < m) m = a[i];
  });
  return static_cast<Integer>(m);
}

Double INTEGRAL(const Array<Double>& x, const Array<Double>& y) {
  const ErrorContext ctx{kModule, "INTEGRAL"};
  const Integer n = x.upper();
  const Double h = dbl(static_cast<Ext>(x[1]) - x[0]);
  Double s = 0.0;
  // Simpson panels over [x(i-2), x(i)]: (y(i) + 4 y(i-1) + y(i-2)) h / 3
  for_range(1, n / 2, [&](Integer panel) {
    const Integer i = 2 * panel;
    s = dbl((static_cast<Ext>(y[i]) + 4 * static_cast<Ext>(y[i - 1]) + y[i - 2]) * h / 3 + s);
  });
  return s;
}

Double POLYNOM(const Array<Double>& c, Double x) {
  const ErrorContext ctx{kModule, "POLYNOM"};
  // sum of x^i c(i); pow(0, 0) = 1 keeps c(0) at x = 0
  Double s = 0.0;
  for_range(0, c.upper(),
            [&](Integer i) { s = dbl(static_cast<Ext>(std::pow(x, static_cast<Double>(i))) * c[i] + s); });
  return s;
}

void POLYABL(const Array<Double>& c, Array<Double>& d) {
  const ErrorContext ctx{kModule, "POLYABL"};
  // d/dx sum c(i) x^i = sum c(i+1) (i+1) x^i; reading c(i+1) before writing d(i) allows d = c
  for (Integer i = 0; i < c.upper(); ++i) d[i] = dbl(static_cast<Ext>(c[i + 1]) * (i + 1));
}

void LINGLSYS(const Array2<Double>& A, Array<Double>& x, const Array<Double>& b) {
  const ErrorContext ctx{kModule, "LINGLSYS"};
  const Integer n = A.upper(1);
  // A system without unknowns has nothing to solve and nothing to write.
  if (n < 1) return;
  // Touch the corners first, so that arrays too small are reported before the
  // n x n working copy is made.
  (void)A(1, 1);
  (void)A(n, n);
  (void)b[1];
  (void)b[n];

  Array2<Double> M(0, n, 0, n);
  Array<Double> r(0, n);
  for (Integer i = 1; i <= n; ++i) {
    for (Integer j = 1; j <= n; ++j) M(i, j) = A(i, j);
    r[i] = b[i];
  }
  // Elimination without row exchange: row i += f * row k with f = -M(i,k) / M(k,k)
  for (Integer k = 1; k <= n - 1; ++k) {
    for (Integer i = k + 1; i <= n; ++i) {
      const Double f = dbl(-static_cast<Ext>(M(i, k)) / M(k, k));
      M(i, k) = 0.0;
      for (Integer j = k + 1; j <= n; ++j) M(i, j) = dbl(static_cast<Ext>(M(k, j)) * f + M(i, j));
      r[i] = dbl(static_cast<Ext>(r[k]) * f + r[i]);
    }
  }
  // Back substitution: x(i) = (r(i) - sum_j M(i,i+j) x(i+j)) / M(i,i)
  x[n] = dbl(static_cast<Ext>(r[n]) / M(n, n));
  for (Integer i = n - 1; i >= 1; --i) {
    Double t = 0.0;
    for (Integer j = 1; j <= n - i; ++j) t = dbl(static_cast<Ext>(x[i + j]) * M(i, i + j) + t);
    x[i] = dbl((static_cast<Ext>(r[i]) - t) / M(i, i));
  }
}

void INTERPOL(const Array<Double>& x, const Array<Double>& y, Array<Double>& c) {
  const ErrorContext ctx{kModule, "INTERPOL"};
  const Integer n = x.upper();
  if (n < 0) return;  // no points: no coefficients
  // Check the ends before the (n+1) x (n+1) system is built.
  (void)x[0];
  (void)y[0];
  (void)y[n];
  (void)c[0];
  (void)c[n];

  // Vandermonde system V(i, j) = x(i-1)^(j-1), r(i) = y(i-1) at indices 1..n+1
  const Integer m = n + 1;
  Array2<Double> V(1, m, 1, m);
  Array<Double> r(1, m);
  Array<Double> s(1, m);
  for (Integer i = 1; i <= m; ++i) {
    for (Integer j = 1; j <= m; ++j) V(i, j) = std::pow(x[i - 1], static_cast<Double>(j - 1));
    r[i] = y[i - 1];
  }
  LINGLSYS(V, s, r);
  for (Integer k = 0; k <= n; ++k) c[k] = s[k + 1];
}

void REGULAFALSI(const Array<Double>& x, const Array<Double>& y, Array<Double>& roots,
                 Integer& none_found) {
  const ErrorContext ctx{kModule, "REGULAFALSI"};
  const Integer n = x.upper();
  // Each step looks at [x(i), x(i+1)): a zero on sample i is taken as is, a sign change
  // gives one secant step. The roots are collected first so that roots may alias x or y.
  std::vector<Double> found;
  for (Integer i = 0; i < n; ++i) {
    if (y[i] == 0.0) {
      found.push_back(x[i]);
    } else if (sign(y[i]) != sign(y[i + 1]) && y[i + 1] != 0.0) {
      // x(i) - (x(i+1) - x(i)) y(i) / (y(i+1) - y(i))
      found.push_back(dbl(static_cast<Ext>(x[i]) -
                          (static_cast<Ext>(x[i + 1]) - x[i]) * y[i] / (static_cast<Ext>(y[i + 1]) - y[i])));
    }
  }
  // The last sample starts no step; a zero on it is reported here, once.
  if (n >= 0 && y[n] == 0.0) found.push_back(x[n]);

  if (found.empty()) {
    none_found = 1;
    roots.redim(0, 0);
    return;
  }
  none_found = 0;
  roots.redim(0, static_cast<Integer>(found.size()) - 1);
  for (Integer k = 0; k < static_cast<Integer>(found.size()); ++k) roots[k] = found[static_cast<std::size_t>(k)];
}
