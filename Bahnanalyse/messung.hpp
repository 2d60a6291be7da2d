#pragma once
// What Bahnanalyse measures on an orbit, without any window: energy and angular momentum with
// their drift, the pericentres with the angle and time between them, the apsides, and the fit of
// log T against log a over several runs. It steps the orbit exactly as the orbit program does:
// the same force law, the same step and the same Runge-Kutta integrator.
#include <cstdint>
#include <vector>

#include "Inc/Diffgl.hpp"

namespace bahn {

inline constexpr Integer kPotentiale = 4;  // force laws 0..3, in the orbit program's list order

// Potential energy U(r) whose force -dU/dr is orbit::force(potential, r); 0 for unknown laws.
Double potential_energy(Integer potential, Double r);
// dF/dr of orbit::force(potential, r); 0 for unknown laws.
Double force_slope(Integer potential, Double r);
// Radius of the circular orbit with angular momentum |l|; 0 when there is none (l = 0, or the
// perturbed law's |l| too small for a circle outside its inner barrier, or an unknown law).
Double circular_radius(Integer potential, Double l);
// Angle between successive pericentres of a nearly circular orbit with angular momentum l,
// 2 pi / sqrt(3 + r F'(r) / F(r)) at r = circular_radius, in radians; 0 when there is no circle.
Double theory_angle(Integer potential, Double l);
// Outermost radius that an orbit of energy e and angular momentum l reaches from radius r0, searched
// outward up to 1000 r0; 0 when the orbit reaches farther (unbound) or the values are unusable.
Double outer_turning_radius(Integer potential, Double e, Double l, Double r0);

// One run: the state, the start values of E and L, and everything measured so far.
struct Messung {
  Integer potential = 0;
  Double h = 0;                      // step
  Double t = 0, x = 0, y = 0, vx = 0, vy = 0;
  std::int64_t steps = 0;
  Double e0 = 0, l0 = 0;             // energy and angular momentum at the start
  Double e = 0, l = 0;               // after the last step
  Double r_aussen = 0;               // outer turning radius by e0 and l0; 0 for an unbound orbit
  Double phi = 0;                    // polar angle, continued through full turns
  Double r_min = 0, r_max = 0;       // extreme radii of the steps so far
  std::int64_t pericentres = 0;             // pericentres passed
  Double peri_t_first = 0, peri_phi_first = 0;  // time and polar angle of the first pericentre
  Double peri_t_last = 0, peri_phi_last = 0;    // and of the latest one
  Double angle_last = 0;             // polar angle swept between the last two pericentres, rad, >= 0
  Double period_last = 0;            // time between the last two pericentres
  Double peri_x = 0, peri_y = 0;     // place of the latest pericentre
  Array<Double> state{0, 4}, next{0, 4};  // 1 vx, 2 vy, 3 x, 4 y, as the orbit program orders them
};

// A run of `potential` from (0, y0) with velocity (vx0, 0) and step h, nothing measured yet.
void start(Messung& m, Integer potential, Double y0, Double vx0, Double h);
// One step; updates E, L, the polar angle, the apsides and the pericentres.
void step(Messung& m);
// Energy of the state, kinetic plus U.
Double energy(Integer potential, Double x, Double y, Double vx, Double vy);
// Angular momentum x vy - y vx of the state.
Double angular_momentum(Double x, Double y, Double vx, Double vy);
// Relative change (now - then) / |then| in ppm; 0 when then is 0.
Double drift_ppm(Double now, Double then);
// Mean angle between pericentres, rad; 0 before the second pericentre.
Double angle_mean(const Messung& m);
// Mean time between pericentres; 0 before the second pericentre.
Double period_mean(const Messung& m);
// (r_min + r_max) / 2.
Double semi_major_axis(const Messung& m);
// (r_max - r_min) / (r_max + r_min); 0 before any step.
Double eccentricity(const Messung& m);

// A point (log a, log T) of a finished or running orbit, with its force law.
struct KeplerPunkt {
  Integer potential = 0;
  Double log_a = 0, log_t = 0;
};
// Least-squares slope of log T over log a for the points of `potential`; false (slope 0) when
// fewer than two points of it differ in a.
bool kepler_slope(const std::vector<KeplerPunkt>& points, Integer potential, Double& slope);

}  // namespace bahn
