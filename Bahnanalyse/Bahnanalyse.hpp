#pragma once
// Bahnanalyse: runs the orbit program's orbits in real time and measures them live: energy and
// angular momentum with their drift, the angle and time between pericentres, the semi-major
// axis, and log T against log a over all runs of the session.
#include "Umlaufbahnen/start_values.hpp"
#include <vector>

#include "Bahnanalyse/messung.hpp"
#include "Inc/GUI.hpp"

namespace bahn {

inline constexpr Double kTempo = 2;  // model seconds per second of the clock
// After a stall at most this much model time is caught up in one pass (see examples/pendel).
inline constexpr Double kHoechstensJePass = 0.5;
inline constexpr Integer kZeilen = 11;  // readout lines

// ---- Module-level state: the polling loop and the handlers share it ----------------------------
extern LISTBOX LIST_POTENTIAL;            // the four force laws
extern TEXTBOX TEXTBOX_Y0, TEXTBOX_VX0;   // start values, decimal fields
extern BUTTON BUTTON_START, BUTTON_STOP;
extern Array<LABEL> LABEL_ANZEIGE;        // readouts 0..kZeilen-1
extern LABEL LABEL_POTENTIAL;             // which U the measurement uses
extern LABEL LABEL_MELDUNG;               // state of the run, or what is wrong with a field
extern Boolean LAEUFT;                    // a run is in progress
extern Messung MESSUNG;                   // the current or last run
extern std::vector<KeplerPunkt> KEPLER;   // (log a, log T) of every run of the session with a period

// Text of the potential (0..3) whose force is integrated, with the force itself; "" for others.
String potential_text(Integer potential);
// Caption of the log T - log a plot of one force law: the fitted slope and the number of runs.
String kepler_caption(const std::vector<KeplerPunkt>& kepler, Integer potential);
// The readout lines of a run, 0..kZeilen-1, as the labels show them.
String readout(const Messung& m, Integer line);
// Starts a run from the fields and the list, or names the bad field and starts none.
void BUTTON_START_EVENT();
// Ends the run in progress and keeps its point for the log T - log a plot.
void BUTTON_STOP_EVENT();
// Takes the list's selection: the potential line and the log T - log a plot of that force law.
void LIST_POTENTIAL_EVENT();
// One pass of a run: the steps due by TIME_MS, the orbit, the readouts, now and then the plots.
void SCHRITT();
// Opens the 1000 x 600 window and creates every control.
void CREATEWINDOW_MAIN();
// One pass of the polling loop; false once the window's close request came in.
Boolean DURCHLAUF();
// The program: window; then potential (1..4, 0 for none), y0 and vx0 (empty for none) go into the
// list and the fields as if chosen and typed, and start presses Start; a half-width `fenster` > 0
// fixes the orbit's square for every run instead of fitting it to the orbit; then the polling loop
// until the close request. Returns the exit status 0.
int main_sequence(Integer potential, const String& y0, const String& vx0, bool start, Double fenster = 0);
// main_sequence with the orbit program's start values (command line or page address).
int main_sequence(const orbit::StartValues& values);

}  // namespace bahn
