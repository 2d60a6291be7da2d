// The planet program: nine planets on circular orbits around the Sun, with angular
// speeds by Kepler's third law, drawn frame by frame over a random star field.
#include "Planetensystem/Planetensystem.hpp"

#include <cmath>
#include <numbers>

#include "surface/reset.hpp"

namespace {
constexpr const char* kModule = "Planetensystem";
}  // namespace

LISTBOX LIST_AUSWAHL;
BUTTON BUTTON_STOP;
Array<Double> RADIUS;
Array<Double> UMLAUFZEIT;
Array<Double> FARBE;

namespace planets {

namespace {

constexpr Double kTwoPi = 2.0 * std::numbers::pi;

constexpr Integer kRingColour = 0xAAAAAA;
constexpr Integer kSunColour = 0xFFFF55;
constexpr Integer kStarColour = 0xFFFFFF;
constexpr Single kSunRadius = 10;
// Centre of the rings and the Sun in star field pixels.
constexpr Single kFieldCentre = 250;

constexpr Double kRadii[kPlanetCount] = {58, 108, 150, 228, 778, 1428, 2872, 4504, 5910};
constexpr Double kColours[kPlanetCount] = {0xFFFF55, 0xFFFF55, 0x5555FF, 0xAA0000, 0xFFFF55,
                                           0xFFFF55, 0x55FF55, 0x5555FF, 0xFFFF55};

// Per view: highest planet drawn, frames per Earth orbit, disc radii, logical window,
// star field corner and year counter anchor (logical units).
struct ViewLayout {
  Integer last;
  Double frames_per_year;
  Double disc[kPlanetCount];
  Single win_x1, win_y1, win_x2, win_y2;
  Single put_x, put_y;
  Single text_x, text_y;
};

// Inner view: 501 units over the 501-pixel area, one pixel per unit as the rings are drawn.
// x runs -250..251 and y -251..250, so the origin maps to pixel (390 + 250, 510 - 251) =
// (640, 259), the field centre where the Sun and the rings are, and the field's corner
// (-250, 250) to pixel (390, 9) as in the all-planets view. The counter at (-232, -233) maps
// to pixel (408, 492), the same place as the all-planets view's (-6500, -6500).
constexpr ViewLayout kLayouts[2] = {
    {3, 500, {2, 4, 4, 2, 0, 0, 0, 0, 0}, -250, -251, 251, 250, -250, 250, -232, -233},
    {8, 20, {40, 40, 40, 20, 150, 150, 75, 75, 40}, -7000, -7000, 7000, 7000, -7000, 7000, -6500, -6500},
};

// A colour held as a Double, rounded to the nearest integer (halves to even).
Integer colour_of(Double value) { return static_cast<Integer>(rt::round_half_even(value)); }

// The module-level state as at program start, for a new session in the same process.
void reset_module() {
  FARBE = Array<Double>{};
  UMLAUFZEIT = Array<Double>{};
  RADIUS = Array<Double>{};
  BUTTON_STOP = BUTTON{};
  LIST_AUSWAHL = LISTBOX{};
}
const rt::ResetHook reset_hook{reset_module};

}  // namespace

void setup_tables(Array<Double>& radius, Array<Double>& period, Array<Double>& colour) {
  const ErrorContext ctx{kModule, nullptr};
  radius.redim(0, kPlanetCount - 1);
  period.redim(0, kPlanetCount - 1);
  colour.redim(0, kPlanetCount - 1);
  for (Integer i = 0; i < kPlanetCount; ++i) radius[i] = kRadii[i];
  // Kepler's third law with Earth as the unit: T_i = (r_i / r_earth)^1.5 years.
  for (Integer i = 0; i < kPlanetCount; ++i) period[i] = std::pow(radius[i] / radius[kEarth], 1.5);
  for (Integer i = 0; i < kPlanetCount; ++i) colour[i] = kColours[i];
}

Run::~Run() { SCREEN_IMAGE_DESTROY(stars); }

bool prepare(Run& run, const Array<Double>& radius, const Array<Double>& period, Integer view) {
  const ErrorContext ctx{kModule, "SIMULATION"};
  if (view != 0 && view != 1) return false;
  const ViewLayout& layout = kLayouts[view];

  SCREEN_SET_VIEW(kAreaLeft, kAreaTop, kAreaRight, kAreaBottom, 0x000000, 0, SCREEN_VIEW_NO_BORDER);
  SCREEN_SET_COLOR(0xFFFFFF, 0, 2);

  SCREEN_IMAGE_DESTROY(run.stars);
  // A failed creation leaves nullptr, which the first frame's SCREEN_PUT reports.
  run.stars = SCREEN_IMAGE_CREATE(kStarFieldSize, kStarFieldSize, 0x000000);
  for (Integer k = 1; k <= kStarCount; ++k) {
    // y is drawn before x: the order fixes which pixels the sequence lights.
    const Double y = kStarFieldSize * MATH_RANDOM(1);
    const Double x = kStarFieldSize * MATH_RANDOM(1);
    if (run.stars != nullptr)
      SCREEN_PSET(run.stars, static_cast<Single>(x), static_cast<Single>(y), kStarColour, 4, 0);
  }

  if (run.stars != nullptr) {
    if (view == 0) {
      SCREEN_CIRCLE(run.stars, kFieldCentre, kFieldCentre, kSunRadius, kSunColour, 0, 0, SCREEN_FULL_CIRCLE, 1);
      // Rings at the true scale: one model unit per pixel.
      for (Integer i = 0; i <= layout.last; ++i)
        SCREEN_CIRCLE(run.stars, kFieldCentre, kFieldCentre, static_cast<Single>(radius[i]), kRingColour, 0, 0,
                      SCREEN_FULL_CIRCLE, 0);
    } else {
      // Ring radius in pixels: 250 * r_i / 7000, the field's half width over the window's.
      for (Integer i = 0; i <= layout.last; ++i)
        SCREEN_CIRCLE(run.stars, kFieldCentre, kFieldCentre, static_cast<Single>(250 * radius[i] / 7000),
                      kRingColour, 0, 0, SCREEN_FULL_CIRCLE, 0);
    }
  }

  run.view = view;
  run.last = layout.last;
  for (Integer i = 0; i < kPlanetCount; ++i) {
    // Earth's period is 1, so it goes round once in frames_per_year frames:
    // step_i = 2pi / (frames_per_year * T_i).
    run.step[i] = kTwoPi / (layout.frames_per_year * period[i]);
    run.angle[i] = 0;
    run.disc[i] = layout.disc[i];
  }
  SCREEN_SET_WINDOW(layout.win_x1, layout.win_y1, layout.win_x2, layout.win_y2, 0);
  run.put_x = layout.put_x;
  run.put_y = layout.put_y;
  run.text_x = layout.text_x;
  run.text_y = layout.text_y;
  return true;
}

String year_text(Double earth_angle) {
  // Elapsed years = angle / 2pi, shown with at most seven significant digits.
  return STR_FROM_SINGLE(static_cast<Single>(earth_angle / kTwoPi)) + " Jahre";
}

void draw_frame(Run& run, const Array<Double>& radius, const Array<Double>& colour) {
  const ErrorContext ctx{kModule, "SIMULATION"};
  SCREEN_LOCK();
  SCREEN_CLEAR();
  // The star field's corner maps to pixel (390, 9) in both views, so column 890 and rows
  // 509..510 keep the background colour and row 9 falls outside the drawing area.
  RUNTIME_CHECK(SCREEN_PUT(nullptr, run.put_x, run.put_y, run.stars));
  const String years = year_text(run.angle[kEarth]);
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, run.text_x, run.text_y, 4 | SCREEN_FLAG_FORE, years, 0));
  SCREEN_STATUS_TEXT(years);
  for (Integer i = 0; i <= run.last; ++i) {
    // Position on the circular orbit: (r_i cos phi_i, r_i sin phi_i).
    const Double x = radius[i] * std::cos(run.angle[i]);
    const Double y = radius[i] * std::sin(run.angle[i]);
    SCREEN_CIRCLE(nullptr, static_cast<Single>(x), static_cast<Single>(y), static_cast<Single>(run.disc[i]),
                  colour_of(colour[i]), 0, 0, SCREEN_FULL_CIRCLE, 1);
    run.angle[i] = run.angle[i] + run.step[i];
  }
  SCREEN_UNLOCK(-1, -1);
}

void finish(Run& run) {
  const ErrorContext ctx{kModule, "SIMULATION"};
  SCREEN_IMAGE_DESTROY(run.stars);
  run.stars = nullptr;
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
}

const args::Option kViewOption = {"ansicht", args::Kind::Choice, 2,
                                  "startet die Ansicht: 1 innere Planeten, 2 alle Planeten"};

std::optional<Integer> start_view(const char* program, int argc, const char* const* argv, std::optional<int>& exit) {
  std::vector<args::Value> values;
  exit = args::from_command_line(program, argc, argv, {&kViewOption, 1}, values);
  if (values.empty()) return std::nullopt;
  return values.front().number - 1;
}

int main_sequence(std::optional<Integer> view) {
  const ErrorContext ctx{kModule, nullptr};
  rt::start();
  setup_tables(RADIUS, UMLAUFZEIT, FARBE);
  OPENWINDOW_MAIN();
  if (view) {
    // As a click on the entry: selected, then its animation until Stop.
    LISTBOX_SETINDEX(LIST_AUSWAHL, *view);
    SIMULATION();
  }
  for (;;) {
    if (LISTBOX_GETEVENT(LIST_AUSWAHL)) SIMULATION();
    if (WINDOW_EVENT_CLOSE()) break;
  }
  return 0;
}

}  // namespace planets

void OPENWINDOW_MAIN() {
  const ErrorContext ctx{kModule, "OPENWINDOW_MAIN"};
  OPENWINDOW(900, 520, "Planetensystem");
  SCREEN_PRINT(" Modell der neun Planetenbahnen des Sonnensystems", 1);
  SCREEN_PRINT(" Naeherung: Kreisbahnen", 1);
  LABEL_NEW(10, 40, 300, 20, "Auswahl:");
  LIST_AUSWAHL = LISTBOX_NEW(10, 60, 300, 40);
  LISTBOX_ADD(LIST_AUSWAHL, "Innere Planeten (Merkur bis Mars)");
  LISTBOX_ADD(LIST_AUSWAHL, "Alle Planeten (Merkur bis Pluto)");
  BUTTON_STOP = BUTTON_NEW(10, 110, 300, 20, "Simulation Stop");
}

void SIMULATION() {
  const ErrorContext ctx{kModule, "SIMULATION"};
  planets::Run run;
  if (!planets::prepare(run, RADIUS, UMLAUFZEIT, LISTBOX_GETINDEX(LIST_AUSWAHL))) return;
  for (;;) {
    planets::draw_frame(run, RADIUS, FARBE);
    TIME_SLEEP(1);
    if (BUTTON_GETEVENT(BUTTON_STOP)) break;
  }
  planets::finish(run);
}
