#pragma once
// The planet program: its module-level state, its handlers and the frame-by-frame
// animation of the nine planets on circular orbits.
#include <optional>

#include "Inc/GUI.hpp"
#include "surface/arguments.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

// ---- Module-level state ------------------------------------------------------------------
extern LISTBOX LIST_AUSWAHL;    // the two views: 0 inner planets, 1 all planets
extern BUTTON BUTTON_STOP;      // "Simulation Stop", polled only while an animation runs
extern Array<Double> RADIUS;     // orbit radius per planet 0..8, millions of km
extern Array<Double> UMLAUFZEIT; // orbital period per planet 0..8, years
extern Array<Double> FARBE;      // colour 0xRRGGBB per planet 0..8, held as a Double

// ---- Handlers ----------------------------------------------------------------------------------
// Opens the 900 x 520 window and draws the two text lines, the label, the list and the Stop button.
void OPENWINDOW_MAIN();
// Animates the view chosen in LIST_AUSWAHL until BUTTON_STOP is clicked; leaves the last frame.
void SIMULATION();

namespace planets {

inline constexpr Integer kPlanetCount = 9;  // indices 0 (Mercury) .. 8 (Pluto)
inline constexpr Integer kEarth = 2;

// Drawing area on the surface, inclusive corners.
inline constexpr Integer kAreaLeft = 390, kAreaTop = 10, kAreaRight = 890, kAreaBottom = 510;
// Star field image size and the number of stars in it.
inline constexpr Integer kStarFieldSize = 500;
inline constexpr Integer kStarCount = 500;

// Fills radius, period and colour for indices 0..8 (radii first, then periods, then colours).
void setup_tables(Array<Double>& radius, Array<Double>& period, Array<Double>& colour);

// Everything one animation keeps from frame to frame.
struct Run {
  Integer view = -1;           // 0 inner, 1 all; -1: not prepared
  Integer last = -1;           // highest planet index drawn
  Array<Double> step{0, 8};    // angle added per frame, radians
  Array<Double> angle{0, 8};   // current angle, radians, never reduced
  Array<Double> disc{0, 8};    // disc radius, logical units
  Image* stars = nullptr;      // star field with the rings, owned
  Single put_x = 0, put_y = 0;    // logical top-left corner of the star field
  Single text_x = 0, text_y = 0;  // logical top-left corner of the year counter

  Run() = default;
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  ~Run();
};

// Sets up the drawing area, the star field, the rings and the start angles of `view`;
// returns false (nothing drawn, nothing changed) for a view other than 0 or 1.
bool prepare(Run& run, const Array<Double>& radius, const Array<Double>& period, Integer view);
// Draws one frame under the surface lock and advances every drawn planet by its step.
void draw_frame(Run& run, const Array<Double>& radius, const Array<Double>& colour);
// Frees the star field and gives the whole screen back in pixel coordinates.
void finish(Run& run);

// The year counter text for an Earth angle in radians: angle / 2pi as Single, then " Jahre".
String year_text(Double earth_angle);

// The one start value: ansicht, the list entry (1 inner, 2 all planets) whose animation starts at once.
extern const args::Option kViewOption;

// The list index of the view that `program`'s command line asks for: with --help, the help printed
// and the exit status in `exit`; with a bad value, its line shown and nullopt.
std::optional<Integer> start_view(const char* program, int argc, const char* const* argv, std::optional<int>& exit);

// The program: table set-up, window, the animation of `view` (list index) when given, then the
// polling loop until the close request; returns the exit status.
int main_sequence(std::optional<Integer> view = std::nullopt);

}  // namespace planets
