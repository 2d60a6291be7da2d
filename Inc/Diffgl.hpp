#pragma once
// One-step integrators of the classical fourth-order Runge-Kutta method.
// Each call advances by exactly one step of the caller's size h; the caller owns the loop.
#include <cstddef>
#include <memory>
#include <new>

#include "surface/runtime.hpp"

// A bounds-checked reference to Doubles with the indices lower..upper. It is how a
// derivative function sees the state: the caller's Array<Double> in the first stage,
// the integrator's own work storage (indices 1..n) in the later ones.
class DoubleArrayRef {
 public:
  // Refers to the elements of `a` with its bounds; `a` must outlive the reference.
  DoubleArrayRef(Array<Double>& a) noexcept
      : base_(a.data()), lower_(a.lower()), upper_(a.upper()) {}
  // Refers to base[0 .. upper-lower] under the indices lower..upper.
  DoubleArrayRef(Double* base, Integer lower, Integer upper) noexcept
      : base_(base), lower_(lower), upper_(upper) {}

  Integer lower() const noexcept { return lower_; }
  Integer upper() const noexcept { return upper_; }

  // Element at i; outside lower..upper raises error 6 for the caller's line.
  Double& operator[](Index i) const {
    if (i.value < lower_ || i.value > upper_) [[unlikely]]
      rt::out_of_bounds(i.where);
    return base_[static_cast<long long>(i.value) - lower_];
  }

 private:
  Double* base_;
  Integer lower_;
  Integer upper_;
};

// Derivative y' = f(x, y) of one first-order equation.
using DIFFGL_FUNCTION = Double (*)(Double x, Double y);
// One right-hand side of a pair y1' = f1(x, y1, y2), y2' = f2(x, y1, y2).
using DIFFSYS_FUNCTION = Double (*)(Double x, Double y1, Double y2);
// Second derivative y'' = f(x, y, y').
using DIFFGL2_FUNCTION = Double (*)(Double x, Double y, Double dy);
// Derivative of component i of the state y at x.
using DIFFSYSN_FUNCTION = Double (*)(Integer i, Double x, DoubleArrayRef y);

// One step of y' = f(x, y): xneu = x + h, yneu = y(xneu). Null f raises error 7.
void DIFFGL(DIFFGL_FUNCTION f, Double x, Double y, Double h, Double& xneu, Double& yneu);

// One step of the pair (y1, y2) with f1 and f2; null f1 or f2 raises error 7.
void DIFFSYS(DIFFSYS_FUNCTION f1, DIFFSYS_FUNCTION f2, Double x, Double y1, Double y2, Double h, Double& xneu,
             Double& y1neu, Double& y2neu);

// One step of y'' = f(x, y, y'): yneu and dyneu are y and y' at xneu. Null f raises error 7.
void DIFFGL2(DIFFGL2_FUNCTION f, Double x, Double y, Double dy, Double h, Double& xneu, Double& yneu,
             Double& dyneu);

// One step of the n-dimensional system held in y(1..n), n = upper bound of y; the new state goes
// to yneu(1..n) (y and yneu may be the same array; element 0 is never touched). Null f raises
// error 7, y or yneu lacking an index of 1..n raises error 6, n < 1 only sets xneu.
// Defined here, and always inlined, so that the stage loops sit in the caller beside its
// derivative function: the orbit program spends most of its time in these steps.
[[gnu::always_inline]] inline void DIFFSYSN(DIFFSYSN_FUNCTION f, Double x, Array<Double>& y, Double h, Double& xneu,
                                            Array<Double>& yneu) {
  const ErrorContext ctx{"Inc/Diffgl", "DIFFSYSN"};
  const Integer n = y.upper();
  if (n < 1) {
    xneu = x + h;
    return;
  }

  // Work arrays k1, k2, k3, k4 and w, each n long; every loop below stays within 0..n-1. Up to
  // 16 components they live in the step's own frame, so that a step of the orbit program (n = 4)
  // never touches the heap.
  constexpr Integer kStackComponents = 16;
  Double stack_work[5 * kStackComponents];
  std::unique_ptr<Double[]> heap_storage;
  Double* work = stack_work;
  if (n > kStackComponents) {
    heap_storage.reset(new (std::nothrow) Double[5 * static_cast<std::size_t>(n)]);
    if (!heap_storage) RUNTIME_CHECK(ERR_OUT_OF_MEMORY);
    work = heap_storage.get();
  }
  Double* const k1 = work;
  Double* const k2 = k1 + n;
  Double* const k3 = k2 + n;
  Double* const k4 = k3 + n;
  Double* const w = k4 + n;
  const DoubleArrayRef state{w, 1, n};

  const Double x4 = x + h;
  xneu = x4;
  const Double xm = x + h / 2;

  // Every stage evaluates all components against one unchanged state, then rebuilds w.
  for (Integer j = 0; j < n; ++j) k1[j] = checked(f)(j + 1, x, DoubleArrayRef{y}) * h;
  for (Integer j = 0; j < n; ++j) w[j] = y[j + 1] + k1[j] / 2;
  for (Integer j = 0; j < n; ++j) k2[j] = checked(f)(j + 1, xm, state) * h;
  for (Integer j = 0; j < n; ++j) w[j] = y[j + 1] + k2[j] / 2;
  for (Integer j = 0; j < n; ++j) k3[j] = checked(f)(j + 1, xm, state) * h;
  for (Integer j = 0; j < n; ++j) w[j] = y[j + 1] + k3[j];
  for (Integer j = 0; j < n; ++j) k4[j] = checked(f)(j + 1, x4, state) * h;
  // Component i of the result reads only y(i), so y and yneu may be one array; the sum runs in
  // the order of the other integrators: ((k1 + 2 k2) + 2 k3 + k4) / 6 + y.
  for (Integer j = 0; j < n; ++j) {
    const Double next = ((k1[j] + 2 * k2[j]) + 2 * k3[j] + k4[j]) / 6 + y[j + 1];
    yneu[j + 1] = next;
  }
}
