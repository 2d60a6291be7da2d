// Bahnanalyse on the headless backend: sessions with clicks, start values and bad fields.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "Bahnanalyse/Bahnanalyse.hpp"
#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

template <class Widget>
void click_on(const Widget& w, double at_ms) {
  headless::click(at_ms, w.X + 20, w.Y + w.H / 2, 30);
}

// The number after `prefix` in readout line `line`.
double readout_number(int line, const char* format) {
  double v = NAN;
  const std::string& text = bahn::LABEL_ANZEIGE[line].CAPTION;
  EXPECT_EQ(std::sscanf(text.c_str(), format, &v), 1) << text;
  return v;
}

}  // namespace

TEST(BahnSitzung, ClickedRunKeepsPaceWithTheClockAndShowsSaneReadouts) {
  headless::reset();
  double t1 = 0, t2 = 0, uhr1 = 0, uhr2 = 0;
  std::int64_t steps_gestoppt = 0;
  headless::at(50, [&] {
    // The perturbed law's row, then Start.
    headless::click(100, bahn::LIST_POTENTIAL.X + 20, bahn::LIST_POTENTIAL.Y + 2 + 16 + 8, 30);
    click_on(bahn::BUTTON_START, 300);
  });
  headless::at(1300, [&] {
    t1 = bahn::MESSUNG.t;
    uhr1 = headless::now_ms();
  });
  headless::at(5300, [&] {
    t2 = bahn::MESSUNG.t;
    uhr2 = headless::now_ms();
    click_on(bahn::BUTTON_STOP, 9000);
  });
  headless::at(9500, [&] { steps_gestoppt = bahn::MESSUNG.steps; });
  headless::close_request(9800);
  EXPECT_EQ(bahn::main_sequence(0, "", "", false), 0);

  const bahn::Messung& m = bahn::MESSUNG;
  EXPECT_EQ(m.potential, 1);
  EXPECT_FALSE(bahn::LAEUFT);
  EXPECT_EQ(m.steps, steps_gestoppt);  // nothing moves after Stop
  // Model time runs kTempo times the clock, give or take a pass.
  EXPECT_NEAR(t2 - t1, bahn::kTempo * (uhr2 - uhr1) / 1000, 0.05);
  EXPECT_GT(m.t, t2 + bahn::kTempo * 3.5);
  // About two orbits of T = 8.15 in 17 model seconds: the readouts of a bound, measured orbit.
  EXPECT_GE(m.pericentres, 2);
  EXPECT_EQ(readout_number(1, "Energie E = %lf"), std::round(m.e * 1e7) / 1e7);
  EXPECT_NEAR(readout_number(2, "  Drift von E: %lf ppm"), bahn::drift_ppm(m.e, m.e0), 1e-3 * std::abs(bahn::drift_ppm(m.e, m.e0)));
  EXPECT_LT(std::abs(readout_number(4, "  Drift von L: %lf ppm")), 1e-3);
  EXPECT_NEAR(readout_number(5, "Winkel zwischen Perizentren: %lf Grad"), 369.419, 0.001);
  EXPECT_NEAR(readout_number(8, "Periode T = %lf"), 8.15, 0.01);
  EXPECT_NEAR(readout_number(9, "Grosse Halbachse a = %lf"), 1.184, 0.001);
  EXPECT_EQ(bahn::LABEL_POTENTIAL.CAPTION, bahn::potential_text(1));
  ASSERT_EQ(bahn::KEPLER.size(), 1u);
  EXPECT_EQ(bahn::kepler_caption(bahn::KEPLER, 1), "Steigung ab zwei Bahnen (1)");
  // The orbit is drawn in the black square, pericentre marks included.
  int bahn_pixel = 0, marken = 0;
  for (int y = 10; y <= 310; ++y)
    for (int x = 400; x <= 700; ++x) {
      const std::uint32_t c = headless::pixel(x, y) & 0xFFFFFF;
      bahn_pixel += c == 0xFF5533;
      marken += c == 0xFFDD00;
    }
  EXPECT_GT(bahn_pixel, 500);
  EXPECT_GT(marken, 10);
}

TEST(BahnSitzung, StartValuesActAsChosenAndTypedAndEachRunAddsAPoint) {
  headless::reset();
  // Two runs of the oscillator: the first from the start values, the second from a typed y0.
  // Its radial period is pi sqrt(2) = 4.4 model seconds: five seconds of the clock see two pericentres.
  headless::at(5000, [] { click_on(bahn::BUTTON_STOP, 5100); });
  headless::at(5300, [] {
    TEXTBOX_SETTEXT(bahn::TEXTBOX_Y0, "1,0");
    click_on(bahn::BUTTON_START, 5400);
    click_on(bahn::BUTTON_STOP, 10500);
  });
  headless::close_request(11000);
  EXPECT_EQ(bahn::main_sequence(4, "2,5", "0.3", true), 0);
  EXPECT_EQ(LISTBOX_GETINDEX(bahn::LIST_POTENTIAL), 3);
  EXPECT_EQ(TEXTBOX_GETTEXT(bahn::TEXTBOX_VX0), "0.3");
  EXPECT_EQ(bahn::MESSUNG.potential, 3);
  ASSERT_EQ(bahn::KEPLER.size(), 2u);
  // The oscillator's period does not depend on a: the slope is 0.
  EXPECT_NEAR(bahn::KEPLER[0].log_t, bahn::KEPLER[1].log_t, 1e-6);
  double steigung = 1;
  ASSERT_TRUE(bahn::kepler_slope(bahn::KEPLER, 3, steigung));
  EXPECT_NEAR(steigung, 0, 0.001);
  const std::string caption = bahn::kepler_caption(bahn::KEPLER, 3);
  EXPECT_TRUE(caption.starts_with("Steigung ") && caption.ends_with(" aus 2 Bahnen")) << caption;
  EXPECT_EQ(bahn::LABEL_POTENTIAL.CAPTION, "U(r) = r^2/4, Kraft F = -r/2");
}

TEST(BahnSitzung, BadFieldsAndTheCentreStartNoRun) {
  for (const auto& [y0, vx0, meldung] : {std::tuple{"abc", "0.4", "y0 ist keine Zahl."},
                                        std::tuple{"2", "", "vx0 ist keine Zahl."},
                                        std::tuple{"0", "0.4", "y0 = 0 liegt im Zentrum: keine Bahn."},
                                        std::tuple{"1e-300", "0.4", "Bitte 0.001 <= |y0| <= 1000, |vx0| <= 1000."},
                                        std::tuple{"2", "-1e9", "Bitte 0.001 <= |y0| <= 1000, |vx0| <= 1000."}}) {
    headless::reset();
    headless::close_request(500);
    // An empty text keeps the field's default, so the empty vx0 is typed over it below.
    headless::at(100, [v = vx0] {
      if (*v == 0) TEXTBOX_SETTEXT(bahn::TEXTBOX_VX0, "");
      bahn::BUTTON_START_EVENT();
    });
    EXPECT_EQ(bahn::main_sequence(1, y0, vx0, false), 0);
    EXPECT_FALSE(bahn::LAEUFT);
    EXPECT_EQ(bahn::MESSUNG.steps, 0);
    EXPECT_EQ(bahn::LABEL_MELDUNG.CAPTION, meldung);
  }
  // An unbound orbit runs, and says why it has no pericentres.
  headless::reset();
  headless::close_request(2000);
  EXPECT_EQ(bahn::main_sequence(1, "2", "1.5", true), 0);
  EXPECT_GT(bahn::MESSUNG.steps, 1000);
  EXPECT_EQ(bahn::LABEL_ANZEIGE[5].CAPTION, "Ungebundene Bahn: keine Perizentren");
}

// The orbit program's command line, read by the orbit program's own reader: the same run as the
// values given directly, and a half-width that fixes the orbit's square.
TEST(BahnSitzung, CommandLineStartsTheRunItNames) {
  const auto picture = [](auto&& run) {
    headless::reset();
    headless::close_request(1500);
    EXPECT_EQ(run(), 0);
    std::vector<std::uint32_t> pixels;
    for (int y = 10; y < 310; ++y)
      for (int x = 400; x < 700; ++x) pixels.push_back(headless::pixel(x, y));
    return pixels;
  };
  const char* argv[] = {"Bahnanalyse", "--potential=2", "--y0=1,5", "--vx0=0,47", "--fenster=2", "--start"};
  std::optional<int> exit;
  const auto from_line = picture([&] {
    return bahn::main_sequence(orbit::start_values("Bahnanalyse", 6, argv, exit));
  });
  EXPECT_FALSE(exit.has_value());
  EXPECT_EQ(bahn::MESSUNG.potential, 1);
  EXPECT_GT(bahn::MESSUNG.steps, 1000);
  const auto direct = picture([] { return bahn::main_sequence(2, "1,5", "0,47", true, 2); });
  const auto fitted = picture([] { return bahn::main_sequence(2, "1,5", "0,47", true); });
  EXPECT_EQ(from_line, direct);
  EXPECT_NE(from_line, fitted);
}
