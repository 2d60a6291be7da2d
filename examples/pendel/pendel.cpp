// Pendel: window layout, handlers, the model and the polling loop.
#include "pendel.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Inc/Graphik.hpp"

namespace pendel {

TRACKBAR TRACKBAR_WINKEL;
TRACKBAR TRACKBAR_DAEMPFUNG;
BUTTON BUTTON_START;
LABEL LABEL_WINKEL, LABEL_DAEMPFUNG, LABEL_ZEIT, LABEL_PERIODE;
Boolean LAEUFT = false;
Double DAEMPFUNG = 0;
Double ZEIT = 0;
Double PERIODE = 0;
Array<Double> ZUSTAND{0, 2};

namespace {

constexpr const char* kModul = "Pendel";

// The pendulum's area (black, a logical window with the pivot at its centre) and the region in
// which KOORDINATEN lays out the theta(t) plot; inclusive surface pixels.
constexpr Integer kBahnLinks = 10, kBahnOben = 230, kBahnRechts = 330, kBahnUnten = 490;
constexpr Integer kPlotLinks = 340, kPlotOben = 10, kPlotRechts = 990, kPlotUnten = 490;
// Half the height of the pendulum's window in metres; the half width follows from the area's
// aspect, so that one metre is as many pixels across as down and the circle stays round.
constexpr Double kBahnHalbeHoehe = 1.25;
constexpr Double kBahnHalbeBreite =
    kBahnHalbeHoehe * (kBahnRechts - kBahnLinks + 1) / static_cast<Double>(kBahnUnten - kBahnOben + 1);
constexpr Integer kSpurLaenge = 150;  // trail: the bob's positions of the last 150 passes (1.5 s at 10 ms a pass)
constexpr Integer kKurvenFarbe = 0x0055AA;
constexpr Integer kStangenFarbe = 0x888888;
constexpr Integer kKugelFarbe = 0x00AAEE;
constexpr Integer kGitterFarbe = 0x777777;

Array<Double> NEU{0, 2};
Double LETZTE_UMKEHR = 0;  // time of the last turning point on the start side
Array<Double> SPUR_X{0, kSpurLaenge - 1}, SPUR_Y{0, kSpurLaenge - 1};
Integer SPUR_ANZAHL = 0, SPUR_KOPF = 0;  // stored positions; index of the newest
Double SEITE_T0 = 0;                     // start time of the plot's current page
Integer PLOT_L = 0, PLOT_O = 0, PLOT_R = 0, PLOT_U = 0;  // the plot area that KOORDINATEN chose
Array<Double> KURVE_T, KURVE_W;  // one pass of theta(t)
Double UHR = 0;        // TIME_MS at the last pass of the run
Double RUECKSTAND = 0;  // model time due by the clock but not stepped yet, s

Double grad(Double rad) { return rad * 180 / std::numbers::pi; }

// v with the given number of decimals.
String zahl(Double v, int stellen) { return STR_FROM_FIXED(v, stellen, "."); }

// A label has no SET operation: drawing it anew with the new caption is how it changes.
void beschriften(LABEL& label, const String& caption) {
  label = LABEL_NEW(label.X, label.Y, label.W, label.H, caption);
}

// Widgets draw through the viewport and the logical window: both go back to the whole window in
// pixels before any widget is drawn or polled.
void ganzes_fenster() {
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
}

// The pendulum's area: the trail from old (dark) to new (bright), the rod and the bob at theta.
void pendel_zeichnen(Double theta) {
  const ErrorContext ctx{kModul, "PENDEL_ZEICHNEN"};
  SCREEN_SET_VIEW(kBahnLinks, kBahnOben, kBahnRechts, kBahnUnten, 0x000000, 0, SCREEN_VIEW_NO_BORDER);
  SCREEN_SET_WINDOW(static_cast<Single>(-kBahnHalbeBreite), static_cast<Single>(-kBahnHalbeHoehe),
                    static_cast<Single>(kBahnHalbeBreite), static_cast<Single>(kBahnHalbeHoehe), 0);
  for (Integer k = 1; k < SPUR_ANZAHL; ++k) {
    const Integer alt = (SPUR_KOPF - SPUR_ANZAHL + k + kSpurLaenge) % kSpurLaenge;
    const Integer neu = (alt + 1) % kSpurLaenge;
    const Integer hell = 0x30 + (0xFF - 0x30) * k / SPUR_ANZAHL;  // brightness by age
    SCREEN_LINE(nullptr, static_cast<Single>(SPUR_X[alt]), static_cast<Single>(SPUR_Y[alt]),
                static_cast<Single>(SPUR_X[neu]), static_cast<Single>(SPUR_Y[neu]), hell << 16 | (hell * 2 / 3) << 8);
  }
  // The bob at (l sin theta, -l cos theta) below the pivot at the origin.
  const Single x = static_cast<Single>(kLaenge * std::sin(theta));
  const Single y = static_cast<Single>(-kLaenge * std::cos(theta));
  SCREEN_LINE(nullptr, 0, 0, x, y, kStangenFarbe);
  SCREEN_CIRCLE(nullptr, 0, 0, 0.03f, kStangenFarbe, 0, 0, SCREEN_FULL_CIRCLE, 1);
  SCREEN_CIRCLE(nullptr, x, y, 0.07f, kKugelFarbe, 0, 0, SCREEN_FULL_CIRCLE, 1);
}

// A fresh page of the theta(t) plot from t0 to t0 + kSeite seconds.
void neue_seite(Double t0) {
  const ErrorContext ctx{kModul, "NEUE_SEITE"};
  ganzes_fenster();
  SCREEN_SET_VIEW(kPlotLinks, kPlotOben, kPlotRechts, kPlotUnten, COLOR_BACKGROUND, 0, SCREEN_VIEW_NO_BORDER);
  // Grid and labels in the foreground colour: a grey one keeps the grid behind the curve.
  SCREEN_SET_COLOR(kGitterFarbe, 0, 2);
  KOORDINATEN(t0, -180, t0 + kSeite, 180, 10, 4, "t in s", "Grad", "Auslenkung theta(t)");
  SCREEN_SET_COLOR(COLOR_TEXT, 0, 2);
  // KOORDINATEN leaves its plot area as the viewport: keep it for the curve of later passes.
  SCREEN_QUERY(11, PLOT_L, PLOT_O, PLOT_R, PLOT_U);
  SEITE_T0 = t0;
}

// This pass's piece of theta(t); a piece that runs past the page's end goes on the next page too.
void kurve_zeichnen() {
  const ErrorContext ctx{kModul, "KURVE_ZEICHNEN"};
  for (;;) {
    SCREEN_SET_VIEW(PLOT_L, PLOT_O, PLOT_R, PLOT_U, 0, 0, SCREEN_VIEW_NO_BORDER | SCREEN_VIEW_NO_FILL);
    SCREEN_SET_WINDOW(static_cast<Single>(SEITE_T0), -180, static_cast<Single>(SEITE_T0 + kSeite), 180, 0);
    ZEICHNEKURVE(KURVE_T, KURVE_W, kKurvenFarbe);
    if (ZEIT <= SEITE_T0 + kSeite) break;
    neue_seite(SEITE_T0 + kSeite);
  }
}

void anzeige_zeit() {
  beschriften(LABEL_ZEIT, "Zeit t: " + zahl(ZEIT, 2) + " s");
  beschriften(LABEL_PERIODE, PERIODE > 0 ? "Periode T: " + zahl(PERIODE, 3) + " s" : String{"Periode T: -"});
}

void anzeige_winkel() {
  beschriften(LABEL_WINKEL, "Anfangswinkel: " + zahl(TRACKBAR_GETVALUE(TRACKBAR_WINKEL), 0) + " Grad");
}

Double startwinkel() { return TRACKBAR_GETVALUE(TRACKBAR_WINKEL) * std::numbers::pi / 180; }

void knopf(const char* caption) {
  BUTTON_START.CAPTION = caption;
  DRAWBUTTON(BUTTON_START);
}

}  // namespace

Double ABLEITUNG(Integer i, Double t, DoubleArrayRef y) {
  // Registered like every procedure, so that a runtime report raised in here names ABLEITUNG
  // and not the integrator that called it.
  const ErrorContext ctx{kModul, "ABLEITUNG"};
  static_cast<void>(t);
  if (i == 1) return y[2];                                             // theta' = omega
  if (i == 2) return -(kG / kLaenge) * std::sin(y[1]) - DAEMPFUNG * y[2];  // omega' = -(g/l) sin theta - k omega
  return 0;
}

void SCHRITT() {
  const ErrorContext ctx{kModul, "SCHRITT"};
  // The steps the clock says are due: fixed steps keep the integration exact and repeatable,
  // whatever the machine; the rest of a step waits for the next pass.
  const Double jetzt = TIME_MS();
  RUECKSTAND = std::min(RUECKSTAND + (jetzt - UHR) / 1000, kHoechstensJePass);
  UHR = jetzt;
  const auto schritte = static_cast<Integer>(RUECKSTAND / kSchritt);
  RUECKSTAND -= schritte * kSchritt;
  KURVE_T.redim(0, schritte);
  KURVE_W.redim(0, schritte);
  // One whole frame, shown at once.
  SCREEN_LOCK();
  KURVE_T[0] = ZEIT;
  KURVE_W[0] = grad(ZUSTAND[1]);
  for (Integer s = 1; s <= schritte; ++s) {
    const Double omega = ZUSTAND[2];
    Double t_neu = 0;
    DIFFSYSN(ABLEITUNG, ZEIT, ZUSTAND, kSchritt, t_neu, NEU);
    ZUSTAND[1] = NEU[1];
    ZUSTAND[2] = NEU[2];
    // A turning point on the start side: omega passes from + to -. There omega is nearly linear
    // in t (omega'' = -(g/l) cos(theta) omega = 0), so t = t0 + h omega0 / (omega0 - omega1).
    if (omega > 0 && ZUSTAND[2] <= 0) {
      const Double umkehr = ZEIT + (t_neu - ZEIT) * omega / (omega - ZUSTAND[2]);
      PERIODE = umkehr - LETZTE_UMKEHR;
      LETZTE_UMKEHR = umkehr;
    }
    ZEIT = t_neu;
    KURVE_T[s] = ZEIT;
    KURVE_W[s] = grad(ZUSTAND[1]);
  }
  SPUR_KOPF = (SPUR_KOPF + 1) % kSpurLaenge;
  SPUR_X[SPUR_KOPF] = kLaenge * std::sin(ZUSTAND[1]);
  SPUR_Y[SPUR_KOPF] = -kLaenge * std::cos(ZUSTAND[1]);
  if (SPUR_ANZAHL < kSpurLaenge) ++SPUR_ANZAHL;
  pendel_zeichnen(ZUSTAND[1]);
  kurve_zeichnen();
  ganzes_fenster();
  anzeige_zeit();
  SCREEN_UNLOCK(-1, -1);
}

void BUTTON_START_EVENT() {
  const ErrorContext ctx{kModul, "BUTTON_START_EVENT"};
  if (LAEUFT) {
    LAEUFT = false;
    knopf("Simulation Start");
    return;
  }
  // A new run from the chosen angle at rest: t = 0 is a turning point on the start side.
  ZEIT = 0;
  PERIODE = 0;
  LETZTE_UMKEHR = 0;
  ZUSTAND[1] = startwinkel();
  ZUSTAND[2] = 0;
  SPUR_KOPF = 0;
  SPUR_X[0] = kLaenge * std::sin(ZUSTAND[1]);
  SPUR_Y[0] = -kLaenge * std::cos(ZUSTAND[1]);
  SPUR_ANZAHL = 1;
  UHR = TIME_MS();
  RUECKSTAND = 0;
  SCREEN_LOCK();
  pendel_zeichnen(ZUSTAND[1]);
  neue_seite(0);
  ganzes_fenster();
  anzeige_zeit();
  SCREEN_UNLOCK(-1, -1);
  LAEUFT = true;
  knopf("Simulation Stop");
}

void TRACKBAR_WINKEL_EVENT() {
  const ErrorContext ctx{kModul, "TRACKBAR_WINKEL_EVENT"};
  anzeige_winkel();
  if (LAEUFT) return;
  // Between runs the area shows where the next run starts.
  SPUR_ANZAHL = 0;
  pendel_zeichnen(startwinkel());
  ganzes_fenster();
}

void TRACKBAR_DAEMPFUNG_EVENT() {
  const ErrorContext ctx{kModul, "TRACKBAR_DAEMPFUNG_EVENT"};
  DAEMPFUNG = TRACKBAR_GETVALUE(TRACKBAR_DAEMPFUNG) / 100.0;
  beschriften(LABEL_DAEMPFUNG, "Daempfung k: " + zahl(DAEMPFUNG, 2) + " 1/s");
}

void CREATEWINDOW_MAIN() {
  const ErrorContext ctx{kModul, "CREATEWINDOW_MAIN"};
  OPENWINDOW(1000, 500, "Pendel");
  LAEUFT = false;
  ZEIT = 0;
  PERIODE = 0;
  SPUR_ANZAHL = 0;
  LABEL_NEW(10, 10, 320, 20, "Gedaempftes Pendel, l = 1 m");
  LABEL_WINKEL = LABEL_NEW(10, 40, 320, 20, "");
  TRACKBAR_WINKEL = TRACKBAR_NEW(10, 62, 188, 20);  // 178 pixels of track: one per degree
  TRACKBAR_SETRANGE(TRACKBAR_WINKEL, 1, 179);
  TRACKBAR_SETVALUE(TRACKBAR_WINKEL, 60);
  anzeige_winkel();
  LABEL_DAEMPFUNG = LABEL_NEW(10, 92, 320, 20, "");
  TRACKBAR_DAEMPFUNG = TRACKBAR_NEW(10, 114, 210, 20);  // 200 pixels: two per hundredth
  TRACKBAR_SETVALUE(TRACKBAR_DAEMPFUNG, 10);
  TRACKBAR_DAEMPFUNG_EVENT();
  BUTTON_START = BUTTON_NEW(10, 148, 150, 22, "Simulation Start");
  LABEL_ZEIT = LABEL_NEW(10, 180, 320, 20, "");
  LABEL_PERIODE = LABEL_NEW(10, 202, 320, 20, "");
  anzeige_zeit();
  // The pendulum's area with its border one pixel outside, and an empty first page of the plot.
  SCREEN_SET_VIEW(kBahnLinks, kBahnOben, kBahnRechts, kBahnUnten, 0x000000, COLOR_BORDER, 0);
  pendel_zeichnen(startwinkel());
  neue_seite(0);
  ganzes_fenster();
}

Boolean DURCHLAUF() {
  const ErrorContext ctx{kModul, "DURCHLAUF"};
  if (TRACKBAR_GETEVENT(TRACKBAR_WINKEL)) TRACKBAR_WINKEL_EVENT();
  if (TRACKBAR_GETEVENT(TRACKBAR_DAEMPFUNG)) TRACKBAR_DAEMPFUNG_EVENT();
  if (BUTTON_GETEVENT(BUTTON_START)) BUTTON_START_EVENT();
  if (LAEUFT) SCHRITT();
  TIME_SLEEP(10);
  return !WINDOW_EVENT_CLOSE();
}

int run() {
  const ErrorContext ctx{kModul, "RUN"};
  CREATEWINDOW_MAIN();
  // One loop for everything: while a run goes on, each pass also advances it by one frame, so
  // the track bars and the close request stay live.
  while (DURCHLAUF()) {
  }
  return 0;
}

}  // namespace pendel
