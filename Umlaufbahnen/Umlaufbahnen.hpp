#pragma once
// The orbit program: a body of unit mass in one of four central potentials, integrated
// with fixed Runge-Kutta steps and plotted live, one pixel per step.
#include "Inc/Diffgl.hpp"
#include "Inc/GUI.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"
#include "Umlaufbahnen/start_values.hpp"

// ---- Module-level state ------------------------------------------------------------------
extern LISTBOX LIST_AUSWAHL;      // the list of potentials
extern TEXTBOX TEXTBOX_Y0;        // field "Anfangskoordinate y0:"
extern TEXTBOX TEXTBOX_VX0;       // field "Anfangsgeschwindigkeit vx0:"
extern TEXTBOX TEXTBOX_FENSTER;   // field "Fenstergroesse +/-"
extern BUTTON BUTTON_START;       // "Simulation Start"
extern BUTTON BUTTON_STOP;        // "Simulation Stop", polled only during a run
extern Integer POTENTIAL;         // chosen force law 0..3, the list index
extern Double Y0, VX0, FENSTER;   // start values of the last run

// ---- Handlers and model ------------------------------------------------------------------
// Radial force at distance r for POTENTIAL; negative pulls towards the centre, 0 for unknown laws.
Double KRAFT(Double r);
// Time derivative of state component i (1 vx, 2 vy, 3 x, 4 y); 0 for other i. t is unused.
Double FKT(Integer i, Double t, DoubleArrayRef y);
// One run: reads the fields, plots the path step by step until "Simulation Stop" is clicked.
void BUTTON_START_EVENT();
// Stores the list's selection as POTENTIAL.
void LIST_AUSWAHL_EVENT();
// Opens the 1000 x 500 window and creates every control.
void CREATEWINDOW_MAIN();

namespace orbit {

// Drawing area on the surface, inclusive corners.
inline constexpr Integer kAreaLeft = 500, kAreaTop = 10, kAreaRight = 990, kAreaBottom = 490;
inline constexpr Double kStep = 0.0003;           // time step h
inline constexpr Integer kPathColour = 0xAA0000;  // plotted points
inline constexpr Integer kAxisColour = 0xFFFFFF;  // axes, as the foreground colour

// The force law of `potential` at distance r, as KRAFT computes it.
Double force(Integer potential, Double r);

// Everything one run keeps from step to step.
struct Run {
  Double t = 0, x = 0, y = 0, vx = 0, vy = 0;
  Array<Double> state{0, 4};  // 1 vx, 2 vy, 3 x, 4 y; index 0 unused
  Array<Double> next{0, 4};
};

// Reads the three fields into Y0, VX0, FENSTER, prepares the black drawing area with its axes
// and sets the start state.
void begin_run(Run& run);
// One step, one plotted point, one poll of the Stop button; true when Stop was clicked.
bool run_pass(Run& run);
// Gives the whole screen back in pixel coordinates.
void end_run();

// Sets the list and the fields from `values` as a click on the row and typing would, then runs
// as a click on "Simulation Start" does when they ask for it; the window must be open.
void apply(const StartValues& values);

// The program: window, start values, polling loop until the close request; returns the exit status.
int main_sequence(const StartValues& values = {});

}  // namespace orbit
