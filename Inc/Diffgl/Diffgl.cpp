#include "Inc/Diffgl.hpp"

namespace {

// Result of one step: ((k1 + 2*k2) + 2*k3 + k4) / 6 + y, summed in this order (as DIFFSYSN does).
Double combine(Double y, Double k1, Double k2, Double k3, Double k4) { return ((k1 + 2 * k2) + 2 * k3 + k4) / 6 + y; }

}  // namespace

void DIFFGL(DIFFGL_FUNCTION f, Double x, Double y, Double h, Double& xneu, Double& yneu) {
  const ErrorContext ctx{"Inc/Diffgl", "DIFFGL"};
  const Double x4 = x + h;
  xneu = x4;
  const Double xm = x + h / 2;
  const Double k1 = checked(f)(x, y) * h;
  const Double k2 = checked(f)(xm, y + k1 / 2) * h;
  const Double k3 = checked(f)(xm, y + k2 / 2) * h;
  const Double k4 = checked(f)(x4, y + k3) * h;
  yneu = combine(y, k1, k2, k3, k4);
}

void DIFFSYS(DIFFSYS_FUNCTION f1, DIFFSYS_FUNCTION f2, Double x, Double y1, Double y2, Double h, Double& xneu,
             Double& y1neu, Double& y2neu) {
  const ErrorContext ctx{"Inc/Diffgl", "DIFFSYS"};
  const Double x4 = x + h;
  xneu = x4;
  const Double xm = x + h / 2;
  const Double k1 = checked(f1)(x, y1, y2) * h;
  const Double l1 = checked(f2)(x, y1, y2) * h;
  const Double k2 = checked(f1)(xm, y1 + k1 / 2, y2 + l1 / 2) * h;
  const Double l2 = checked(f2)(xm, y1 + k1 / 2, y2 + l1 / 2) * h;
  const Double k3 = checked(f1)(xm, y1 + k2 / 2, y2 + l2 / 2) * h;
  const Double l3 = checked(f2)(xm, y1 + k2 / 2, y2 + l2 / 2) * h;
  const Double k4 = checked(f1)(x4, y1 + k3, y2 + l3) * h;
  const Double l4 = checked(f2)(x4, y1 + k3, y2 + l3) * h;
  y1neu = combine(y1, k1, k2, k3, k4);
  y2neu = combine(y2, l1, l2, l3, l4);
}

void DIFFGL2(DIFFGL2_FUNCTION f, Double x, Double y, Double dy, Double h, Double& xneu, Double& yneu,
             Double& dyneu) {
  const ErrorContext ctx{"Inc/Diffgl", "DIFFGL2"};
  const Double x4 = x + h;
  xneu = x4;
  const Double xm = x + h / 2;
  // The pair y' = dy, dy' = f(x, y, dy): the increments k of y need no call.
  const Double k1 = dy * h;
  const Double l1 = checked(f)(x, y, dy) * h;
  const Double k2 = (dy + l1 / 2) * h;
  const Double l2 = checked(f)(xm, y + k1 / 2, dy + l1 / 2) * h;
  const Double k3 = (dy + l2 / 2) * h;
  const Double l3 = checked(f)(xm, y + k2 / 2, dy + l2 / 2) * h;
  const Double k4 = (dy + l3) * h;
  const Double l4 = checked(f)(x4, y + k3, dy + l3) * h;
  yneu = combine(y, k1, k2, k3, k4);
  dyneu = combine(dy, l1, l2, l3, l4);
}
