#pragma once
// Pendel: a damped pendulum, theta'' = -(g/l) sin(theta) - k theta', integrated with DIFFSYSN
// inside the program's one polling loop. It uses only the library's public headers, so it
// builds the same against an installed package as inside this repository.
#include "Inc/Diffgl.hpp"
#include "Inc/GUI.hpp"

namespace pendel {

inline constexpr Double kG = 9.81;      // gravity g, m/s^2
inline constexpr Double kLaenge = 1.0;  // length l, m
inline constexpr Double kSchritt = 0.001;  // integration step h, s
// Each pass of the polling loop steps the model by the time TIME_MS has moved on since the last
// one, so the pendulum swings at its real speed however long a pass takes. After a stall (a busy
// machine, a window being dragged) at most this much model time is caught up in one pass: the
// pendulum then falls behind the clock instead of racing through the missed time unseen.
inline constexpr Double kHoechstensJePass = 0.25;  // s
inline constexpr Double kSeite = 20;  // seconds of theta(t) per page of the plot

// ---- Module-level state: the derivative function has no context argument ----------------------
extern TRACKBAR TRACKBAR_WINKEL;     // start angle in degrees, 1..179
extern TRACKBAR TRACKBAR_DAEMPFUNG;  // damping k in hundredths of 1/s, 0..100
extern BUTTON BUTTON_START;          // "Simulation Start", during a run "Simulation Stop"
extern LABEL LABEL_WINKEL, LABEL_DAEMPFUNG, LABEL_ZEIT, LABEL_PERIODE;
extern Boolean LAEUFT;       // a run is in progress
extern Double DAEMPFUNG;     // k in 1/s, read by ABLEITUNG
extern Double ZEIT;          // model time of the run, s
extern Double PERIODE;       // last measured period, s; 0 before the first full swing
extern Array<Double> ZUSTAND;  // 1 theta (rad), 2 omega (rad/s); element 0 unused

// Derivative of state component i: 1 gives omega, 2 gives -(g/l) sin(theta) - k omega, others 0.
Double ABLEITUNG(Integer i, Double t, DoubleArrayRef y);
// Starts a run from the chosen angle at rest, or stops the one in progress.
void BUTTON_START_EVENT();
// Shows the start angle that the next run takes.
void TRACKBAR_WINKEL_EVENT();
// Takes the new damping at once, also during a run.
void TRACKBAR_DAEMPFUNG_EVENT();
// One pass of a run: the steps due by TIME_MS, period measurement, trail, plot and labels.
void SCHRITT();
// Opens the 1000 x 500 window and creates every control.
void CREATEWINDOW_MAIN();
// One pass of the polling loop: the controls, the steps of a run, a 10 ms pause; false once the
// window's close request came in.
Boolean DURCHLAUF();
// The whole program: window, polling loop until the close request; returns exit status 0.
int run();

}  // namespace pendel
