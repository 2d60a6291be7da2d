#include "Bahnanalyse/messung.hpp"

#include <cmath>
#include <numbers>

#include "Umlaufbahnen/Umlaufbahnen.hpp"

namespace bahn {

namespace {

constexpr const char* kModul = "Bahnanalyse";

// Effective potential of the radial motion.
Double effective(Integer potential, Double l, Double r) { return potential_energy(potential, r) + l * l / (2 * r * r); }

}  // namespace

Double potential_energy(Integer potential, Double r) {
  switch (potential) {
    case 0:
      return -1 / r;
    case 1:  // F = -1/r^2 - 0.01/r^4
      return -1 / r - 0.01 / (3 * r * r * r);
    case 2:
      return std::log(r);
    case 3:  // F = -r/2: the orbit program's list says r^2, its force belongs to r^2/4
      return r * r / 4;
    default:
      return 0;
  }
}

Double force_slope(Integer potential, Double r) {
  switch (potential) {
    case 0:
      return 2 / (r * r * r);
    case 1:
      return 2 / (r * r * r) + 0.04 / (r * r * r * r * r);
    case 2:
      return 1 / (r * r);
    case 3:
      return -0.5;
    default:
      return 0;
  }
}

Double circular_radius(Integer potential, Double l) {
  // A circle of radius r needs l^2 / r^3 = -F(r).
  const Double l2 = l * l;
  if (!(l2 > 0) || !std::isfinite(l2)) return 0;
  switch (potential) {
    case 0:
      return l2;
    case 1: {  // r + 0.01/r = l^2: the outer root; none below the minimum 0.2 at r = 0.1
      const Double d = l2 * l2 - 0.04;
      return d < 0 ? 0 : (l2 + std::sqrt(d)) / 2;
    }
    case 2:
      return std::abs(l);
    case 3:
      return std::sqrt(std::sqrt(2 * l2));
    default:
      return 0;
  }
}

Double theory_angle(Integer potential, Double l) {
  const Double r = circular_radius(potential, l);
  if (r <= 0) return 0;
  const Double q = 3 + r * force_slope(potential, r) / orbit::force(potential, r);
  return q > 0 ? 2 * std::numbers::pi / std::sqrt(q) : 0;
}

Double outer_turning_radius(Integer potential, Double e, Double l, Double r0) {
  if (!(r0 > 0) || !std::isfinite(r0) || !std::isfinite(e) || !std::isfinite(l)) return 0;
  // Outward in 1 % steps to the first radius the energy cannot reach, then halve the bracket.
  Double inner = r0, outer = r0;
  for (;;) {
    if (outer > 1000 * r0) return 0;
    outer *= 1.01;
    if (effective(potential, l, outer) > e) break;
    inner = outer;
  }
  for (int i = 0; i < 60; ++i) {
    const Double mid = (inner + outer) / 2;
    (effective(potential, l, mid) > e ? outer : inner) = mid;
  }
  return inner;
}

Double energy(Integer potential, Double x, Double y, Double vx, Double vy) {
  return (vx * vx + vy * vy) / 2 + potential_energy(potential, std::sqrt(x * x + y * y));
}

Double angular_momentum(Double x, Double y, Double vx, Double vy) { return x * vy - y * vx; }

Double drift_ppm(Double now, Double then) { return then == 0 ? 0 : (now - then) / std::abs(then) * 1e6; }

void start(Messung& m, Integer potential, Double y0, Double vx0, Double h) {
  m = Messung{};
  m.potential = potential;
  m.h = h;
  m.y = y0;
  m.vx = vx0;
  m.e0 = m.e = energy(potential, m.x, m.y, m.vx, m.vy);
  m.l0 = m.l = angular_momentum(m.x, m.y, m.vx, m.vy);
  m.r_min = m.r_max = std::abs(y0);
  m.r_aussen = outer_turning_radius(potential, m.e0, m.l0, std::abs(y0));
}

void step(Messung& m) {
  const ErrorContext ctx{kModul, "STEP"};
  const Double x0 = m.x, y0 = m.y, t0 = m.t;
  const Double s0 = m.x * m.vx + m.y * m.vy;  // r times the radial velocity
  m.state[1] = m.vx;
  m.state[2] = m.vy;
  m.state[3] = m.x;
  m.state[4] = m.y;
  // The orbit program's own right-hand side, which reads its force law from POTENTIAL: the
  // orbit stepped here is the one it draws, bit for bit. Its choice is put back afterwards.
  const Integer gewaehlt = POTENTIAL;
  POTENTIAL = m.potential;
  Double t_new = 0;
  DIFFSYSN(FKT, m.t, m.state, m.h, t_new, m.next);
  POTENTIAL = gewaehlt;
  m.vx = m.next[1];
  m.vy = m.next[2];
  m.x = m.next[3];
  m.y = m.next[4];
  m.t = t_new;
  ++m.steps;

  m.e = energy(m.potential, m.x, m.y, m.vx, m.vy);
  m.l = angular_momentum(m.x, m.y, m.vx, m.vy);
  const Double phi0 = m.phi;
  m.phi += std::atan2(x0 * m.y - y0 * m.x, x0 * m.x + y0 * m.y);
  const Double r = std::sqrt(m.x * m.x + m.y * m.y);
  if (r < m.r_min) m.r_min = r;
  if (r > m.r_max) m.r_max = r;

  // A pericentre: the radial velocity turns from inward to outward within this step. Near its
  // zero it is nearly linear in time, so the crossing lies at the fraction s0 / (s0 - s1).
  const Double s1 = m.x * m.vx + m.y * m.vy;
  if (!(s0 < 0 && s1 >= 0)) return;
  const Double f = s0 / (s0 - s1);
  const Double t_p = t0 + f * (m.t - t0);
  const Double phi_p = phi0 + f * (m.phi - phi0);
  if (m.pericentres == 0) {
    m.peri_t_first = t_p;
    m.peri_phi_first = phi_p;
  } else {
    m.angle_last = std::abs(phi_p - m.peri_phi_last);
    m.period_last = t_p - m.peri_t_last;
  }
  m.peri_t_last = t_p;
  m.peri_phi_last = phi_p;
  m.peri_x = x0 + f * (m.x - x0);
  m.peri_y = y0 + f * (m.y - y0);
  ++m.pericentres;
}

Double angle_mean(const Messung& m) {
  return m.pericentres < 2 ? 0 : std::abs(m.peri_phi_last - m.peri_phi_first) / static_cast<Double>(m.pericentres - 1);
}

Double period_mean(const Messung& m) {
  return m.pericentres < 2 ? 0 : (m.peri_t_last - m.peri_t_first) / static_cast<Double>(m.pericentres - 1);
}

Double semi_major_axis(const Messung& m) { return (m.r_min + m.r_max) / 2; }

Double eccentricity(const Messung& m) {
  const Double sum = m.r_max + m.r_min;
  return sum > 0 ? (m.r_max - m.r_min) / sum : 0;
}

bool kepler_slope(const std::vector<KeplerPunkt>& points, Integer potential, Double& slope) {
  slope = 0;
  Double n = 0, sx = 0, sy = 0;
  for (const KeplerPunkt& p : points)
    if (p.potential == potential) {
      n += 1;
      sx += p.log_a;
      sy += p.log_t;
    }
  if (n < 2) return false;
  // Centred sums: the logarithms lie close together, plain sums of squares would cancel.
  Double sxx = 0, sxy = 0;
  for (const KeplerPunkt& p : points)
    if (p.potential == potential) {
      const Double dx = p.log_a - sx / n;
      sxx += dx * dx;
      sxy += dx * (p.log_t - sy / n);
    }
  if (!(sxx > 1e-24)) return false;
  slope = sxy / sxx;
  return std::isfinite(slope);
}

}  // namespace bahn
