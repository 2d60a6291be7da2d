// The measurement against the orbit program's own steps, finer steps, the near-circular theory
// and the third law.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Bahnanalyse/messung.hpp"
#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

constexpr double kGrad = 180 / std::numbers::pi;

// Speed of the circular orbit at radius r.
double circular_speed(int p, double r) { return std::sqrt(-orbit::force(p, r) * r); }

// A run of force law p from (0, y0) with (vx0, 0), stepped until `peris` pericentres are behind it.
bahn::Messung run_to(int p, double y0, double vx0, double h, int peris) {
  bahn::Messung m;
  bahn::start(m, p, y0, vx0, h);
  const double t_max = 400;  // far beyond any orbit here; a run that finds none fails below
  while (m.pericentres < peris && m.t < t_max) bahn::step(m);
  EXPECT_EQ(m.pericentres, peris) << "law " << p << ", y0 " << y0 << ", vx0 " << vx0;
  return m;
}

}  // namespace

TEST(BahnPhysik, PotentialEnergyAndForceSlopeBelongToTheIntegratedForce) {
  for (int p = 0; p < bahn::kPotentiale; ++p)
    for (const double r : {0.3, 1.0, 2.5}) {
      const double d = 1e-5 * r;
      const double minus_du = -(bahn::potential_energy(p, r + d) - bahn::potential_energy(p, r - d)) / (2 * d);
      const double df = (orbit::force(p, r + d) - orbit::force(p, r - d)) / (2 * d);
      EXPECT_NEAR(minus_du, orbit::force(p, r), 1e-7 * std::abs(orbit::force(p, r))) << p << " " << r;
      EXPECT_NEAR(bahn::force_slope(p, r), df, 1e-6 * std::abs(df)) << p << " " << r;
      // The circle of the angular momentum r v_c has radius r.
      EXPECT_NEAR(bahn::circular_radius(p, r * circular_speed(p, r)), r, 1e-12) << p << " " << r;
    }
  // The perturbed law has no circle outside its barrier below l^2 = 0.2; nothing without l.
  EXPECT_EQ(bahn::circular_radius(1, 0.4), 0);
  EXPECT_EQ(bahn::theory_angle(1, 0.4), 0);
  EXPECT_EQ(bahn::circular_radius(0, 0), 0);
  EXPECT_EQ(bahn::potential_energy(7, 1), 0);
  EXPECT_NEAR(bahn::theory_angle(0, 0.8), 2 * std::numbers::pi, 1e-12);
  EXPECT_NEAR(bahn::theory_angle(3, 0.8), std::numbers::pi, 1e-12);
  EXPECT_NEAR(bahn::theory_angle(2, 0.8), std::numbers::pi * std::sqrt(2.0), 1e-12);
}

TEST(BahnPhysik, StepsAreBitForBitThoseThatTheOrbitProgramDraws) {
  headless::reset();
  ::CREATEWINDOW_MAIN();
  for (int p = 0; p < bahn::kPotentiale; ++p) {
    POTENTIAL = p;
    TEXTBOX_SETTEXT(::TEXTBOX_Y0, "1.5");
    TEXTBOX_SETTEXT(::TEXTBOX_VX0, "0.55");
    orbit::Run run;
    orbit::begin_run(run);
    bahn::Messung m;
    bahn::start(m, p, 1.5, 0.55, orbit::kStep);
    for (int i = 0; i < 3000; ++i) {
      orbit::run_pass(run);
      bahn::step(m);
    }
    orbit::end_run();
    EXPECT_EQ(m.x, run.x) << p;
    EXPECT_EQ(m.y, run.y) << p;
    EXPECT_EQ(m.vx, run.vx) << p;
    EXPECT_EQ(m.vy, run.vy) << p;
    EXPECT_EQ(m.t, run.t) << p;
  }
  // A measurement leaves the orbit program's own choice of law as it found it.
  POTENTIAL = 2;
  bahn::Messung m;
  bahn::start(m, 0, 1, 1, orbit::kStep);
  bahn::step(m);
  EXPECT_EQ(POTENTIAL, 2);
}

TEST(BahnPhysik, AngleBetweenPericentresAgreesWithAQuarterStepAndNearCircularTheory) {
  struct Fall {
    int p;
    double y0, vx0;
  };
  // Eccentric orbits: start at an apsis, so three pericentres are two full intervals.
  for (const Fall f : {Fall{0, 2, 0.4}, Fall{1, 2, 0.4}, Fall{1, 1, 0.7}, Fall{2, 1.5, 0.5}, Fall{3, 2, 0.4}}) {
    const bahn::Messung grob = run_to(f.p, f.y0, f.vx0, orbit::kStep, 3);
    const bahn::Messung fein = run_to(f.p, f.y0, f.vx0, orbit::kStep / 4, 3);
    EXPECT_NEAR(grob.angle_last * kGrad, fein.angle_last * kGrad, 0.05) << f.p;
    EXPECT_NEAR(bahn::angle_mean(grob) * kGrad, bahn::angle_mean(fein) * kGrad, 0.05) << f.p;
    EXPECT_NEAR(grob.period_last, fein.period_last, 1e-6 * fein.period_last) << f.p;
  }
  // Nearly circular orbits: 2 % above the circular speed at three radii.
  for (int p = 0; p < bahn::kPotentiale; ++p)
    for (const double r : {0.5, 1.0, 2.0}) {
      const bahn::Messung m = run_to(p, r, 1.02 * circular_speed(p, r), orbit::kStep, 3);
      EXPECT_LE(bahn::eccentricity(m), 0.05) << p << " " << r;
      EXPECT_NEAR(bahn::angle_mean(m) * kGrad, bahn::theory_angle(p, m.l0) * kGrad, 0.5) << p << " " << r;
    }
  // Without a perturbation the ellipse stays put: the shift vanishes up to the step's error.
  const bahn::Messung kepler = run_to(0, 2, 0.4, orbit::kStep, 3);
  EXPECT_NEAR(bahn::angle_mean(kepler) * kGrad, 360, 1e-3);
}

TEST(BahnPhysik, DriftIsTheRelativeChangeOfIndependentlyRecomputedEnergyAndMomentum) {
  bahn::Messung m;
  bahn::start(m, 1, 2, 0.4, orbit::kStep);
  const double e0 = 0.5 * 0.16 - 1 / 2.0 - 0.01 / (3 * 8.0), l0 = -0.8;
  EXPECT_DOUBLE_EQ(m.e0, e0);
  EXPECT_DOUBLE_EQ(m.l0, l0);
  for (int i = 1; i <= 30000; ++i) {
    bahn::step(m);
    if (i % 1000) continue;
    const double r = std::hypot(m.x, m.y);
    const double e = 0.5 * (m.vx * m.vx + m.vy * m.vy) - 1 / r - 0.01 / (3 * r * r * r);
    const double l = m.x * m.vy - m.y * m.vx;
    ASSERT_NEAR(m.e, e, 1e-15);
    ASSERT_NEAR(m.l, l, 1e-15);
    ASSERT_NEAR(bahn::drift_ppm(m.e, m.e0), (e - e0) / -e0 * 1e6, 1e-8);
    ASSERT_NEAR(bahn::drift_ppm(m.l, m.l0), (l - l0) / 0.8 * 1e6, 1e-8);
  }
  // RK4 at this step keeps both far below a ppm over several orbits.
  EXPECT_LT(std::abs(bahn::drift_ppm(m.e, m.e0)), 1e-3);
  EXPECT_EQ(bahn::drift_ppm(1, 0), 0);
}

TEST(BahnPhysik, ThirdLawSlopeOverFiveRuns) {
  struct Gesetz {
    int p;
    double faktor, erwartet, toleranz;  // start speed in units of the circular one
  };
  for (const Gesetz g : {Gesetz{0, 0.8, 1.5, 0.01}, Gesetz{3, 0.8, 0, 0.01}, Gesetz{2, 1.02, 1, 0.02}}) {
    std::vector<bahn::KeplerPunkt> punkte;
    for (const double y0 : {0.5, 0.8, 1.2, 1.8, 2.5}) {
      const bahn::Messung m = run_to(g.p, y0, g.faktor * circular_speed(g.p, y0), orbit::kStep, 2);
      punkte.push_back({g.p, std::log10(bahn::semi_major_axis(m)), std::log10(bahn::period_mean(m))});
      // A point of another law is not part of this one's fit.
      punkte.push_back({(g.p + 1) % bahn::kPotentiale, 0.1 * y0, 7 * y0});
    }
    double steigung = 0;
    ASSERT_TRUE(bahn::kepler_slope(punkte, g.p, steigung));
    EXPECT_NEAR(steigung, g.erwartet, g.toleranz) << g.p;
  }
  double steigung = 1;
  EXPECT_FALSE(bahn::kepler_slope({{0, 0.2, 0.3}}, 0, steigung));
  EXPECT_EQ(steigung, 0);
  EXPECT_FALSE(bahn::kepler_slope({{0, 0.2, 0.3}, {0, 0.2, 0.5}}, 0, steigung));
}

TEST(BahnPhysik, UnboundAndDegenerateStartsMeasureNothingAndStayDefined) {
  // E > 0 in the Kepler law: no outer turning point, no pericentre while it flies off.
  bahn::Messung m;
  bahn::start(m, 0, 2, 1.5, orbit::kStep);
  EXPECT_EQ(m.r_aussen, 0);
  for (int i = 0; i < 20000; ++i) bahn::step(m);
  EXPECT_EQ(m.pericentres, 0);
  EXPECT_EQ(bahn::angle_mean(m), 0);
  EXPECT_EQ(bahn::period_mean(m), 0);
  // Bound: the turning point of a start at the pericentre lies beyond it; at the apocentre it is the start.
  EXPECT_NEAR(bahn::outer_turning_radius(0, 0.5 * 0.16 - 0.5, -0.8, 2), 2, 1e-9);
  const double v = 1.2 * circular_speed(0, 0.5), e = v * v / 2 - 1 / 0.5;
  EXPECT_NEAR(bahn::outer_turning_radius(0, e, 0.5 * v, 0.5), -1 / e - 0.5, 1e-9);  // 2a - r_p
  EXPECT_EQ(bahn::outer_turning_radius(0, -0.4, 0.8, 0), 0);
  EXPECT_EQ(bahn::outer_turning_radius(0, NAN, 0.8, 1), 0);
  // A radial fall through the centre stays finite in count and time.
  bahn::start(m, 3, 1, 0, orbit::kStep);
  for (int i = 0; i < 20000; ++i) bahn::step(m);
  EXPECT_TRUE(std::isfinite(m.t));
}
