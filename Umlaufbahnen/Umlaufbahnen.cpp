#include "Umlaufbahnen/Umlaufbahnen.hpp"

#include <cmath>

#include "surface/reset.hpp"

LISTBOX LIST_AUSWAHL;
TEXTBOX TEXTBOX_Y0;
TEXTBOX TEXTBOX_VX0;
TEXTBOX TEXTBOX_FENSTER;
BUTTON BUTTON_START;
BUTTON BUTTON_STOP;
Integer POTENTIAL = 0;
Double Y0 = 0, VX0 = 0, FENSTER = 0;

namespace orbit {

namespace {

// The module-level state as at program start, for a new session in the same process.
void reset_module() {
  LIST_AUSWAHL = LISTBOX{};
  TEXTBOX_Y0 = TEXTBOX{};
  TEXTBOX_VX0 = TEXTBOX{};
  TEXTBOX_FENSTER = TEXTBOX{};
  BUTTON_START = BUTTON{};
  BUTTON_STOP = BUTTON{};
  POTENTIAL = 0;
  Y0 = VX0 = FENSTER = 0;
}
const rt::ResetHook reset_hook{reset_module};

}  // namespace

Double force(Integer potential, Double r) {
  switch (potential) {
    case 0:  // U = -1/r: F = -1/r^2
      return -1.0 / (r * r);
    case 1:  // U = -1/r - b/r^3, b = 0.01: F = -1/r^2 - 0.01/r^4
      return -1.0 / (r * r) - 0.01 / std::pow(r, 4.0);
    case 2:  // U = ln r: F = -1/r
      return -1.0 / r;
    case 3:  // U = r^2, with the force taken as -r/2
      return (-r) / 2.0;
    default:
      return 0;
  }
}

namespace {

// The number in a field's text. The window speaks German, so a comma counts as the decimal point
// ("0,4" reads as 0.4); a text that is no number gives its leading number, as STR_TO_DOUBLE reads it.
Double field_number(TEXTBOX& field) {
  Double value = 0;
  STR_READ_DECIMAL(TEXTBOX_GETTEXT(field), value);
  return value;
}

}  // namespace

void begin_run(Run& run) {
  Y0 = field_number(TEXTBOX_Y0);
  VX0 = field_number(TEXTBOX_VX0);
  FENSTER = field_number(TEXTBOX_FENSTER);

  SCREEN_SET_VIEW(kAreaLeft, kAreaTop, kAreaRight, kAreaBottom, 0x000000, 0, SCREEN_VIEW_NO_BORDER);
  // The square of half-width FENSTER over the whole area, y upward.
  const Single f = rt::to_single(FENSTER);
  SCREEN_SET_WINDOW(-f, -f, f, f, 0);
  SCREEN_SET_COLOR(kAxisColour, 0, 2);
  SCREEN_LINE(nullptr, -f, 0, f, 0, 0, 0, 0xFFFF, SCREEN_FLAG_FORE);
  SCREEN_LINE(nullptr, 0, -f, 0, f, 0, 0, 0xFFFF, SCREEN_FLAG_FORE);

  run.t = 0;
  run.x = 0;
  run.y = Y0;
  run.vx = VX0;
  run.vy = 0;
}

bool run_pass(Run& run) {
  run.state[1] = run.vx;
  run.state[2] = run.vy;
  run.state[3] = run.x;
  run.state[4] = run.y;
  Double t_new = 0;
  DIFFSYSN(FKT, run.t, run.state, kStep, t_new, run.next);
  run.vx = run.next[1];
  run.vy = run.next[2];
  run.x = run.next[3];
  run.y = run.next[4];
  run.t = t_new;
  SCREEN_PSET(nullptr, rt::to_single(run.x), rt::to_single(run.y), kPathColour);
  return BUTTON_GETEVENT(BUTTON_STOP);
}

void end_run() {
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
}

void apply(const StartValues& values) {
  const ErrorContext ctx{"Umlaufbahnen", nullptr};
  // What a click on the list row and typing into the fields would leave behind.
  if (values.potential) {
    LISTBOX_SETINDEX(LIST_AUSWAHL, *values.potential);
    LIST_AUSWAHL_EVENT();
  }
  if (values.y0) TEXTBOX_SETTEXT(TEXTBOX_Y0, *values.y0);
  if (values.vx0) TEXTBOX_SETTEXT(TEXTBOX_VX0, *values.vx0);
  if (values.fenster) TEXTBOX_SETTEXT(TEXTBOX_FENSTER, *values.fenster);
  if (values.start) BUTTON_START_EVENT();
}

int main_sequence(const StartValues& values) {
  const ErrorContext ctx{"Umlaufbahnen", nullptr};
  rt::start();
  CREATEWINDOW_MAIN();
  apply(values);
  for (;;) {
    if (LISTBOX_GETEVENT(LIST_AUSWAHL)) LIST_AUSWAHL_EVENT();
    if (TEXTBOX_GETEVENT(TEXTBOX_Y0)) TEXTBOX_EDIT(TEXTBOX_Y0);
    if (TEXTBOX_GETEVENT(TEXTBOX_VX0)) TEXTBOX_EDIT(TEXTBOX_VX0);
    if (TEXTBOX_GETEVENT(TEXTBOX_FENSTER)) TEXTBOX_EDIT(TEXTBOX_FENSTER);
    if (BUTTON_GETEVENT(BUTTON_START)) BUTTON_START_EVENT();
    TIME_SLEEP(10);
    if (WINDOW_EVENT_CLOSE()) break;
  }
  return 0;
}

}  // namespace orbit

Double KRAFT(Double r) {
  const ErrorContext ctx{"Umlaufbahnen", "KRAFT"};
  return orbit::force(POTENTIAL, r);
}

Double FKT(Integer i, Double t, DoubleArrayRef y) {
  const ErrorContext ctx{"Umlaufbahnen", "FKT"};
  static_cast<void>(t);
  const Double vx = y[1], vy = y[2], px = y[3], py = y[4];
  if (i == 3) return vx;
  if (i == 4) return vy;
  if (i != 1 && i != 2) return 0;
  // r = sqrt(x^2 + y^2), needed only for the accelerations; the centre itself counts as
  // r = 1e-6 so that F * 0 / r stays 0.
  Double r = std::sqrt(px * px + py * py);
  if (r == 0) r = 0.000001;
  return i == 1 ? KRAFT(r) * px / r   // ax = F(r) x / r
                : KRAFT(r) * py / r;  // ay = F(r) y / r
}

void BUTTON_START_EVENT() {
  const ErrorContext ctx{"Umlaufbahnen", "BUTTON_START_EVENT"};
  orbit::Run run;
  orbit::begin_run(run);
  while (!orbit::run_pass(run)) {
  }
  orbit::end_run();
}

void LIST_AUSWAHL_EVENT() {
  const ErrorContext ctx{"Umlaufbahnen", "LIST_AUSWAHL_EVENT"};
  POTENTIAL = LISTBOX_GETINDEX(LIST_AUSWAHL);
}

void CREATEWINDOW_MAIN() {
  const ErrorContext ctx{"Umlaufbahnen", "CREATEWINDOW_MAIN"};
  OPENWINDOW(1000, 500, "Umlaufbahnen");
  LABEL_NEW(10, 20, 500, 20, "Berechnung von Umlaufbahnen in Potentialen U(r)");
  LIST_AUSWAHL = LISTBOX_NEW(10, 50, 460, 70);
  LABEL_NEW(10, 130, 230, 20, "Anfangskoordinate y0:");
  TEXTBOX_Y0 = TEXTBOX_NEW(240, 130, 80, 20, "2.0", 0, MODE_TEXT);
  LABEL_NEW(10, 160, 230, 20, "Anfangsgeschwindigkeit vx0:");
  TEXTBOX_VX0 = TEXTBOX_NEW(240, 160, 80, 20, "0.4", 0, MODE_TEXT);
  LABEL_NEW(10, 190, 230, 20, "Fenstergroesse +/-");
  TEXTBOX_FENSTER = TEXTBOX_NEW(240, 190, 80, 20, "3.0", 0, MODE_TEXT);
  BUTTON_START = BUTTON_NEW(170, 220, 150, 20, "Simulation Start");
  BUTTON_STOP = BUTTON_NEW(170, 250, 150, 20, "Simulation Stop");
  LISTBOX_ADD(LIST_AUSWAHL, "U(r) = - 1/r (Kepler-Bahnen)");
  LISTBOX_ADD(LIST_AUSWAHL, "U(r) = -1/r - b/r^3 (gestoerte Kepler-Bahnen), b = 0.01");
  LISTBOX_ADD(LIST_AUSWAHL, "U(r) = ln(r) (logarithmisches Potential)");
  LISTBOX_ADD(LIST_AUSWAHL, "U(r) = r^2 (Oszillator)");
  LISTBOX_SETINDEX(LIST_AUSWAHL, 0);
}
