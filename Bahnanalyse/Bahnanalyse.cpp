// Bahnanalyse: window layout, handlers, readouts, plots and the polling loop.
#include "Bahnanalyse/Bahnanalyse.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Inc/Graphik.hpp"
#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/reset.hpp"

namespace bahn {

LISTBOX LIST_POTENTIAL;
TEXTBOX TEXTBOX_Y0, TEXTBOX_VX0;
BUTTON BUTTON_START, BUTTON_STOP;
Array<LABEL> LABEL_ANZEIGE{0, kZeilen - 1};
LABEL LABEL_POTENTIAL;
LABEL LABEL_MELDUNG;
Boolean LAEUFT = false;
Messung MESSUNG;
std::vector<KeplerPunkt> KEPLER;

namespace {

constexpr const char* kModul = "Bahnanalyse";

// Areas, inclusive surface pixels: the orbit, the log T - log a plot, the drift plot.
constexpr Integer kBahnLinks = 400, kBahnOben = 10, kBahnRechts = 700, kBahnUnten = 310;
constexpr Integer kKeplerLinks = 710, kKeplerOben = 10, kKeplerRechts = 990, kKeplerUnten = 310;
constexpr Integer kDriftLinks = 400, kDriftOben = 320, kDriftRechts = 990, kDriftUnten = 590;
constexpr Integer kZeileOben = 200, kZeilenHoehe = 20;
constexpr Integer kBahnFarbe = 0xFF5533, kPeriFarbe = 0xFFDD00, kAchsenFarbe = 0x555555;
constexpr Integer kEFarbe = 0x0055AA, kLFarbe = 0x008800, kGitterFarbe = 0x777777;
constexpr Integer kDriftPunkte = 400;  // samples of the drift plot; when full, every other one goes
constexpr Integer kPaesseJePlot = 25;  // passes between redraws of the drift plot

Double HALBE_BREITE = 3;  // half-width of the orbit's square in model units
Double FESTE_BREITE = 0;  // the half-width asked for at the start, 0 to fit each orbit
Integer KEPLER_INDEX = -1;  // the current run's entry in KEPLER, -1 before its second pericentre
Double UHR = 0, RUECKSTAND = 0;  // TIME_MS at the last pass; model time due but not stepped yet
Integer PAESSE = 0;
Array<Double> DRIFT_T{0, kDriftPunkte}, DRIFT_E{0, kDriftPunkte}, DRIFT_L{0, kDriftPunkte};
Integer DRIFT_ANZAHL = 0;
Double DRIFT_ABSTAND = 0.05;  // model time between samples

void reset_module() {
  LIST_POTENTIAL = LISTBOX{};
  TEXTBOX_Y0 = TEXTBOX_VX0 = TEXTBOX{};
  BUTTON_START = BUTTON_STOP = BUTTON{};
  LABEL_ANZEIGE = Array<LABEL>{0, kZeilen - 1};
  LABEL_POTENTIAL = LABEL_MELDUNG = LABEL{};
  LAEUFT = false;
  MESSUNG = Messung{};
  KEPLER.clear();
  HALBE_BREITE = 3;
  FESTE_BREITE = 0;
  KEPLER_INDEX = -1;
  UHR = RUECKSTAND = 0;
  PAESSE = DRIFT_ANZAHL = 0;
  DRIFT_ABSTAND = 0.05;
}
const rt::ResetHook reset_hook{reset_module};

Single s(Double v) { return rt::to_single(v); }

String zahl(Double v, int stellen) { return STR_FROM_FIXED(v, stellen, "."); }

// Four significant digits, however small: drifts run from whole ppm down to 1e-9 ppm.
String klein(Double v) {
  const Double a = std::abs(v);
  if (a == 0 || !std::isfinite(a)) return zahl(v, 3);
  return zahl(v, std::clamp(3 - static_cast<int>(std::floor(std::log10(a))), 1, 15));
}

String grad(Double rad) { return zahl(rad * 180 / std::numbers::pi, 3) + " Grad"; }

// A label has no SET operation: drawing it anew is how it changes; unchanged ones are left alone.
void beschriften(LABEL& label, const String& caption) {
  if (label.CAPTION != caption) label = LABEL_NEW(label.X, label.Y, label.W, label.H, caption);
}

void ganzes_fenster() {
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
}

// The orbit's square, black, with its axes; the logical window is left set.
void bahn_flaeche() {
  SCREEN_SET_VIEW(kBahnLinks, kBahnOben, kBahnRechts, kBahnUnten, 0x000000, 0, SCREEN_VIEW_NO_BORDER);
  const Single w = s(HALBE_BREITE);
  SCREEN_SET_WINDOW(-w, -w, w, w, 0);
  SCREEN_LINE(nullptr, -w, 0, w, 0, kAchsenFarbe);
  SCREEN_LINE(nullptr, 0, -w, 0, w, kAchsenFarbe);
}

void bahn_fenster() {
  SCREEN_SET_VIEW(kBahnLinks, kBahnOben, kBahnRechts, kBahnUnten, 0, 0, SCREEN_VIEW_NO_BORDER | SCREEN_VIEW_NO_FILL);
  const Single w = s(HALBE_BREITE);
  SCREEN_SET_WINDOW(-w, -w, w, w, 0);
}

// A "nice" bound 1, 2 or 5 times a power of ten at or above v > 0.
Double rund(Double v) {
  const Double p = std::pow(10.0, std::floor(std::log10(v)));
  for (const Double f : {1.0, 2.0, 5.0, 10.0})
    if (f * p >= v) return f * p;
  return 10 * p;
}

void drift_plot() {
  const ErrorContext ctx{kModul, "DRIFT_PLOT"};
  ganzes_fenster();  // KOORDINATEN measures its labels in the logical units in force
  SCREEN_SET_VIEW(kDriftLinks, kDriftOben, kDriftRechts, kDriftUnten, COLOR_BACKGROUND, 0, SCREEN_VIEW_NO_BORDER);
  Double groesste = 0;
  for (Integer i = 0; i < DRIFT_ANZAHL; ++i) groesste = std::max({groesste, std::abs(DRIFT_E[i]), std::abs(DRIFT_L[i])});
  const Double y = groesste > 1e-12 ? rund(groesste) : 1e-12;
  const Double t = DRIFT_ANZAHL > 0 ? rund(std::max(DRIFT_T[DRIFT_ANZAHL - 1], 1.0)) : 10;
  SCREEN_SET_COLOR(kGitterFarbe, 0, 2);
  KOORDINATEN(0, -y, t, y, 10, 4, "t", "ppm", "Drift von E (blau) und L (gruen) seit dem Start");
  SCREEN_SET_COLOR(COLOR_TEXT, 0, 2);
  if (DRIFT_ANZAHL < 2) return;
  Array<Double> xs{0, DRIFT_ANZAHL - 1}, es{0, DRIFT_ANZAHL - 1}, ls{0, DRIFT_ANZAHL - 1};
  for (Integer i = 0; i < DRIFT_ANZAHL; ++i) {
    xs[i] = DRIFT_T[i];
    es[i] = DRIFT_E[i];
    ls[i] = DRIFT_L[i];
  }
  ZEICHNEKURVE(xs, ls, kLFarbe);
  ZEICHNEKURVE(xs, es, kEFarbe);
}

void drift_merken(const Messung& m) {
  if (DRIFT_ANZAHL > 0 && m.t < DRIFT_T[DRIFT_ANZAHL - 1] + DRIFT_ABSTAND) return;
  if (DRIFT_ANZAHL > kDriftPunkte) {
    // Full: keep every other sample and take them twice as far apart from now on.
    Integer k = 0;
    for (Integer i = 0; i < DRIFT_ANZAHL; i += 2, ++k) {
      DRIFT_T[k] = DRIFT_T[i];
      DRIFT_E[k] = DRIFT_E[i];
      DRIFT_L[k] = DRIFT_L[i];
    }
    DRIFT_ANZAHL = k;
    DRIFT_ABSTAND *= 2;
  }
  DRIFT_T[DRIFT_ANZAHL] = m.t;
  DRIFT_E[DRIFT_ANZAHL] = drift_ppm(m.e, m.e0);
  DRIFT_L[DRIFT_ANZAHL] = drift_ppm(m.l, m.l0);
  ++DRIFT_ANZAHL;
}

// The points of force law p with their fitted line.
void kepler_plot(Integer p) {
  const ErrorContext ctx{kModul, "KEPLER_PLOT"};
  ganzes_fenster();
  SCREEN_SET_VIEW(kKeplerLinks, kKeplerOben, kKeplerRechts, kKeplerUnten, COLOR_BACKGROUND, 0, SCREEN_VIEW_NO_BORDER);
  Double x1 = 1e300, x2 = -1e300, y1 = 1e300, y2 = -1e300;
  Integer n = 0;
  for (const KeplerPunkt& k : KEPLER)
    if (k.potential == p) {
      x1 = std::min(x1, k.log_a);
      x2 = std::max(x2, k.log_a);
      y1 = std::min(y1, k.log_t);
      y2 = std::max(y2, k.log_t);
      ++n;
    }
  if (n == 0) x1 = y1 = 0, x2 = y2 = 1;
  // On whole tenths, at least a tenth beyond the outermost points.
  x1 = std::floor(x1 * 10 - 1) / 10, x2 = std::ceil(x2 * 10 + 1) / 10;
  y1 = std::floor(y1 * 10 - 1) / 10, y2 = std::ceil(y2 * 10 + 1) / 10;
  Double steigung = 0;
  const bool gefittet = kepler_slope(KEPLER, p, steigung);
  SCREEN_SET_COLOR(kGitterFarbe, 0, 2);
  KOORDINATEN(x1, y1, x2, y2, 4, 4, "lg a", "lg T", kepler_caption(KEPLER, p));
  SCREEN_SET_COLOR(COLOR_TEXT, 0, 2);
  Double mx = 0, my = 0;
  for (const KeplerPunkt& k : KEPLER)
    if (k.potential == p) {
      SCREEN_CIRCLE(nullptr, s(k.log_a), s(k.log_t), s((x2 - x1) / 80), kEFarbe, 0, 0, SCREEN_FULL_CIRCLE, 1);
      mx += k.log_a / n;
      my += k.log_t / n;
    }
  if (gefittet)
    SCREEN_LINE(nullptr, s(x1), s(my + steigung * (x1 - mx)), s(x2), s(my + steigung * (x2 - mx)), kBahnFarbe);
}

void anzeigen() {
  for (Integer i = 0; i < kZeilen; ++i) beschriften(LABEL_ANZEIGE[i], readout(MESSUNG, i));
}

void kepler_merken() {
  const Messung& m = MESSUNG;
  const Double a = semi_major_axis(m), t = period_mean(m);
  if (m.pericentres < 2 || !(a > 0) || !(t > 0)) return;
  const KeplerPunkt k{m.potential, std::log10(a), std::log10(t)};
  if (KEPLER_INDEX < 0) {
    KEPLER_INDEX = static_cast<Integer>(KEPLER.size());
    KEPLER.push_back(k);
  } else {
    KEPLER[static_cast<std::size_t>(KEPLER_INDEX)] = k;
  }
}

// The number in a decimal field, or false with the field's name in the message line.
bool feld(TEXTBOX& box, const char* name, Double& value) {
  if (STR_READ_DECIMAL(TEXTBOX_GETTEXT(box), value)) return true;
  beschriften(LABEL_MELDUNG, String{name} + " ist keine Zahl.");
  return false;
}

}  // namespace

String potential_text(Integer potential) {
  switch (potential) {
    case 0:
      return "U(r) = -1/r, Kraft F = -1/r^2";
    case 1:
      return "U = -1/r - 0.01/(3r^3), F = -1/r^2 - 0.01/r^4";
    case 2:
      return "U(r) = ln r, Kraft F = -1/r";
    case 3:
      return "U(r) = r^2/4, Kraft F = -r/2";
    default:
      return "";
  }
}

String kepler_caption(const std::vector<KeplerPunkt>& kepler, Integer potential) {
  Integer n = 0;
  for (const KeplerPunkt& k : kepler) n += k.potential == potential;
  Double steigung = 0;
  if (!kepler_slope(kepler, potential, steigung)) return "Steigung ab zwei Bahnen (" + zahl(n, 0) + ")";
  return "Steigung " + zahl(steigung, 3) + " aus " + zahl(n, 0) + " Bahnen";
}

String readout(const Messung& m, Integer line) {
  const bool bahn = m.steps > 0 && m.r_aussen > 0;
  const bool zwei = m.pericentres >= 2;
  switch (line) {
    case 0:
      return "Zeit t = " + zahl(m.t, 2) + "   Schritte: " + zahl(static_cast<Double>(m.steps), 0);
    case 1:
      return "Energie E = " + zahl(m.e, 7);
    case 2:
      return "  Drift von E: " + klein(drift_ppm(m.e, m.e0)) + " ppm";
    case 3:
      return "Drehimpuls L = " + zahl(m.l, 7);
    case 4:
      return "  Drift von L: " + klein(drift_ppm(m.l, m.l0)) + " ppm";
    case 5:
      if (m.steps > 0 && !bahn) return "Ungebundene Bahn: keine Perizentren";
      return "Winkel zwischen Perizentren: " + (zwei ? grad(m.angle_last) : String{"-"});
    case 6:
      return "  Mittel: " + (zwei ? grad(angle_mean(m)) + " (" + zahl(static_cast<Double>(m.pericentres - 1), 0) + "x)"
                                  : String{"-"});
    case 7: {
      const Double r = circular_radius(m.potential, m.l0), psi = theory_angle(m.potential, m.l0);
      return psi > 0 ? "  Theorie (Kreis r = " + zahl(r, 3) + "): " + grad(psi) : String{"  Theorie: -"};
    }
    case 8:
      return "Periode T = " + (zwei ? zahl(m.period_last, 4) + " (Mittel " + zahl(period_mean(m), 4) + ")"
                                   : String{"-"});
    case 9:
      return bahn && zwei ? "Grosse Halbachse a = " + zahl(semi_major_axis(m), 4) : String{"Grosse Halbachse a = -"};
    case 10:
      return bahn && zwei ? "  r_min = " + zahl(m.r_min, 4) + ", r_max = " + zahl(m.r_max, 4)
                          : String{"  r_min, r_max: -"};
    default:
      return "";
  }
}

void SCHRITT() {
  const ErrorContext ctx{kModul, "SCHRITT"};
  // The steps the clock says are due; fixed steps keep the orbit that of the orbit program.
  const Double jetzt = TIME_MS();
  RUECKSTAND = std::min(RUECKSTAND + kTempo * (jetzt - UHR) / 1000, kHoechstensJePass);
  UHR = jetzt;
  const auto schritte = static_cast<Integer>(RUECKSTAND / MESSUNG.h);
  RUECKSTAND -= schritte * MESSUNG.h;
  SCREEN_LOCK();
  bahn_fenster();
  for (Integer i = 0; i < schritte; ++i) {
    const std::int64_t vorher = MESSUNG.pericentres;
    step(MESSUNG);
    SCREEN_PSET(nullptr, s(MESSUNG.x), s(MESSUNG.y), kBahnFarbe);
    if (MESSUNG.pericentres != vorher)
      SCREEN_CIRCLE(nullptr, s(MESSUNG.peri_x), s(MESSUNG.peri_y), s(HALBE_BREITE / 60), kPeriFarbe);
    drift_merken(MESSUNG);
  }
  kepler_merken();
  if (++PAESSE % kPaesseJePlot == 0) {
    drift_plot();
    if (KEPLER_INDEX >= 0) kepler_plot(MESSUNG.potential);
  }
  ganzes_fenster();
  anzeigen();
  SCREEN_UNLOCK(-1, -1);
}

void BUTTON_START_EVENT() {
  const ErrorContext ctx{kModul, "BUTTON_START_EVENT"};
  if (LAEUFT) BUTTON_STOP_EVENT();
  Double y0 = 0, vx0 = 0;
  if (!feld(TEXTBOX_Y0, "y0", y0) || !feld(TEXTBOX_VX0, "vx0", vx0)) return;
  if (y0 == 0) {
    beschriften(LABEL_MELDUNG, "y0 = 0 liegt im Zentrum: keine Bahn.");
    return;
  }
  // Beyond these the orbit's square and the forces leave the range that a picture can show.
  if (!(std::abs(y0) >= 0.001 && std::abs(y0) <= 1000 && std::abs(vx0) <= 1000)) {
    beschriften(LABEL_MELDUNG, "Bitte 0.001 <= |y0| <= 1000, |vx0| <= 1000.");
    return;
  }
  const Integer p = std::max(LISTBOX_GETINDEX(LIST_POTENTIAL), 0);
  start(MESSUNG, p, y0, vx0, orbit::kStep);
  // The square holds the whole orbit when it is bound, else three times the start distance,
  // unless a half-width was asked for at the start.
  const Double r0 = std::abs(y0);
  if (FESTE_BREITE > 0) HALBE_BREITE = FESTE_BREITE;
  else HALBE_BREITE = MESSUNG.r_aussen > 0 ? 1.1 * std::max(MESSUNG.r_aussen, r0) : 3 * r0;
  KEPLER_INDEX = -1;
  DRIFT_ANZAHL = 0;
  DRIFT_ABSTAND = 0.05;
  drift_merken(MESSUNG);
  PAESSE = 0;
  UHR = TIME_MS();
  RUECKSTAND = 0;
  SCREEN_LOCK();
  bahn_flaeche();
  SCREEN_CIRCLE(nullptr, 0, 0, s(HALBE_BREITE / 80), 0xFFFFFF, 0, 0, SCREEN_FULL_CIRCLE, 1);
  drift_plot();
  kepler_plot(MESSUNG.potential);
  ganzes_fenster();
  anzeigen();
  beschriften(LABEL_MELDUNG, "Laeuft, " + zahl(kTempo, 0) + " Modellsekunden je Sekunde.");
  SCREEN_UNLOCK(-1, -1);
  LAEUFT = true;
}

void BUTTON_STOP_EVENT() {
  const ErrorContext ctx{kModul, "BUTTON_STOP_EVENT"};
  if (!LAEUFT) return;
  LAEUFT = false;
  kepler_merken();
  SCREEN_LOCK();
  drift_plot();
  kepler_plot(MESSUNG.potential);
  ganzes_fenster();
  anzeigen();
  beschriften(LABEL_MELDUNG, "Angehalten.");
  SCREEN_UNLOCK(-1, -1);
}

void LIST_POTENTIAL_EVENT() {
  const ErrorContext ctx{kModul, "LIST_POTENTIAL_EVENT"};
  const Integer p = LISTBOX_GETINDEX(LIST_POTENTIAL);
  beschriften(LABEL_POTENTIAL, potential_text(p));
  if (LAEUFT) return;
  // Between runs the plot shows the chosen force law's points.
  kepler_plot(p);
  ganzes_fenster();
}

void CREATEWINDOW_MAIN() {
  const ErrorContext ctx{kModul, "CREATEWINDOW_MAIN"};
  OPENWINDOW(1000, 600, "Bahnanalyse");
  LAEUFT = false;
  LABEL_NEW(10, 10, 380, 20, "Bahnanalyse: Messungen an Umlaufbahnen");
  LIST_POTENTIAL = LISTBOX_NEW(10, 35, 380, 68);
  LISTBOX_ADD(LIST_POTENTIAL, "Kepler-Bahnen");
  LISTBOX_ADD(LIST_POTENTIAL, "gestoerte Kepler-Bahnen, b = 0.01");
  LISTBOX_ADD(LIST_POTENTIAL, "logarithmisches Potential");
  LISTBOX_ADD(LIST_POTENTIAL, "Oszillator");
  LISTBOX_SETINDEX(LIST_POTENTIAL, 0);
  LABEL_NEW(10, 112, 230, 20, "Anfangskoordinate y0:");
  TEXTBOX_Y0 = TEXTBOX_NEW(240, 112, 80, 20, "2.0", 0, MODE_DECIMAL);
  LABEL_NEW(10, 137, 230, 20, "Anfangsgeschwindigkeit vx0:");
  TEXTBOX_VX0 = TEXTBOX_NEW(240, 137, 80, 20, "0.4", 0, MODE_DECIMAL);
  BUTTON_START = BUTTON_NEW(10, 165, 120, 22, "Start");
  BUTTON_STOP = BUTTON_NEW(140, 165, 120, 22, "Stop");
  for (Integer i = 0; i < kZeilen; ++i) LABEL_ANZEIGE[i] = LABEL_NEW(10, kZeileOben + i * kZeilenHoehe, 380, 20, "");
  LABEL_NEW(10, 455, 380, 20, "Gemessen mit U der integrierten Kraft:");
  LABEL_POTENTIAL = LABEL_NEW(10, 475, 380, 20, "");
  LABEL_NEW(10, 500, 380, 20, "Periode: Zeit von Perizentrum zu Perizentrum;");
  LABEL_NEW(10, 520, 380, 20, "Drift: (jetzt - Start) / |Start| in ppm;");
  LABEL_NEW(10, 540, 380, 20, "t, T, a, E, L in Einheiten mit Masse 1.");
  LABEL_MELDUNG = LABEL_NEW(10, 570, 380, 20, "");
  MESSUNG = Messung{};
  LIST_POTENTIAL_EVENT();
  anzeigen();
  SCREEN_SET_VIEW(kBahnLinks, kBahnOben, kBahnRechts, kBahnUnten, 0x000000, COLOR_BORDER, 0);
  bahn_flaeche();
  drift_plot();
  ganzes_fenster();
}

Boolean DURCHLAUF() {
  const ErrorContext ctx{kModul, "DURCHLAUF"};
  if (LISTBOX_GETEVENT(LIST_POTENTIAL)) LIST_POTENTIAL_EVENT();
  if (TEXTBOX_GETEVENT(TEXTBOX_Y0)) TEXTBOX_EDIT(TEXTBOX_Y0);
  if (TEXTBOX_GETEVENT(TEXTBOX_VX0)) TEXTBOX_EDIT(TEXTBOX_VX0);
  if (BUTTON_GETEVENT(BUTTON_START)) BUTTON_START_EVENT();
  if (BUTTON_GETEVENT(BUTTON_STOP)) BUTTON_STOP_EVENT();
  if (LAEUFT) SCHRITT();
  TIME_SLEEP(10);
  return !WINDOW_EVENT_CLOSE();
}

int main_sequence(Integer potential, const String& y0, const String& vx0, bool start, Double fenster) {
  const ErrorContext ctx{kModul, "MAIN_SEQUENCE"};
  rt::start();
  CREATEWINDOW_MAIN();
  // Beyond these bounds a picture cannot show the square (as for y0).
  if (std::isfinite(fenster) && fenster >= 0.001 && fenster <= 1e4) FESTE_BREITE = fenster;
  if (potential >= 1 && potential <= kPotentiale) {
    LISTBOX_SETINDEX(LIST_POTENTIAL, potential - 1);
    LIST_POTENTIAL_EVENT();
  }
  if (!y0.empty()) TEXTBOX_SETTEXT(TEXTBOX_Y0, y0);
  if (!vx0.empty()) TEXTBOX_SETTEXT(TEXTBOX_VX0, vx0);
  if (start) BUTTON_START_EVENT();
  while (DURCHLAUF()) {
  }
  return 0;
}

int main_sequence(const orbit::StartValues& values) {
  Double fenster = 0;
  if (values.fenster && !STR_READ_DECIMAL(*values.fenster, fenster)) fenster = 0;
  return main_sequence(values.potential ? *values.potential + 1 : 0, values.y0.value_or(""), values.vx0.value_or(""),
                       values.start, fenster);
}

}  // namespace bahn
