// The example's six panels: curves in a grid, a bar chart, a pie chart, two colour maps and
// rotated text.
#include "plots_drawing.hpp"

#include <cmath>

#include "Inc/GUI.hpp"
#include "Inc/Graphik.hpp"

namespace plots_example {
namespace {

constexpr const char* kModule = "plots";
constexpr Integer kPanelW = kWidth / 3, kPanelH = kHeight / 2;
constexpr Integer kFore = 0x000000, kBack = 0xFFFFFF;

// Makes panel (column, row) the viewport, inset by a few pixels, without a mapping.
void enter_panel(Integer column, Integer row) {
  const ErrorContext ctx{kModule, "ENTER_PANEL"};
  const Integer x = column * kPanelW, y = row * kPanelH;
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
  SCREEN_SET_VIEW(x + 6, y + 6, x + kPanelW - 7, y + kPanelH - 7, 0, 0xCCCCCC, SCREEN_VIEW_NO_FILL);
}

// Back to the whole window in pixels.
void leave_panel() {
  const ErrorContext ctx{kModule, "LEAVE_PANEL"};
  SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
  SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
}

Double damped(Double x) { return x * std::exp(-x * x / 2); }
Double wave(Double x, Double y) { return std::sin(x) * std::cos(y); }
Double bowl(Double x, Double y) { return x * x + y * y; }

void curves_panel() {
  const ErrorContext ctx{kModule, "CURVES_PANEL"};
  enter_panel(0, 0);
  KOORDINATEN(-4, -1, 4, 1, 8, 4, "x", "y", "sin, cos, x exp(-x^2/2)");
  constexpr Integer n = 160;
  Array<Double> xs(0, n), sines(0, n), cosines(0, n);
  for (Integer i = 0; i <= n; ++i) {
    xs[i] = -4 + 8.0 * i / n;
    sines[i] = std::sin(xs[i]);
    cosines[i] = std::cos(xs[i]);
  }
  ZEICHNEKURVE(xs, sines, 0x0000CC);
  ZEICHNEKURVE(xs, cosines, 0x00AA00);
  ZEICHNEFKT(damped, -4, 4, 0xCC0000);
  leave_panel();
}

void bars_panel() {
  const ErrorContext ctx{kModule, "BARS_PANEL"};
  enter_panel(1, 0);
  Array<String> names(0, 4);
  Array<Double> values(0, 4);
  Array<Integer> colours(0, 4);
  const char* const labels[] = {"Mo", "Di", "Mi", "Do", "Fr"};
  const Double amounts[] = {3, -1.5, 4.2, 2, 0.5};
  for (Integer i = 0; i <= 4; ++i) {
    names[i] = labels[i];
    values[i] = amounts[i];
    colours[i] = RGBWERT(i / 4.0, 0);
  }
  BALKENDIAGRAMM(names, values, -2, 5, 7, "Tag", "Menge", "Balken mit negativem Wert", colours);
  leave_panel();
}

void pie_panel() {
  const ErrorContext ctx{kModule, "PIE_PANEL"};
  enter_panel(2, 0);
  Array<String> names(0, 3);
  Array<Double> values(0, 3);
  Array<Integer> colours(0, 3);
  const char* const labels[] = {"Nord", "West", "Sued", "Ost"};
  const Double amounts[] = {1, 1, 2, 3};
  const Integer fills[] = {0xFFCC00, 0x33AA33, 0x3366FF, 0xEE4444};
  for (Integer i = 0; i <= 3; ++i) {
    names[i] = labels[i];
    values[i] = amounts[i];
    colours[i] = fills[i];
  }
  KREISDIAGRAMM(names, values, colours, "Kreisdiagramm");
  leave_panel();
}

void map_panel(Integer column, GRAPHIK_FKT2 f, Double range, Integer steps, const String& caption) {
  const ErrorContext ctx{kModule, "MAP_PANEL"};
  enter_panel(column, 1);
  KOORDINATEN(-range, -range, range, range, 0, 0, "x", "y", caption);
  PLOTFKT(f, -range, -range, range, range, steps);
  leave_panel();
}

void text_panel() {
  const ErrorContext ctx{kModule, "TEXT_PANEL"};
  enter_panel(2, 1);
  // The colour scale as a strip, with its two ends labelled.
  constexpr Integer strip = 256, sx = 25, sy = 30;
  for (Integer i = 0; i < strip; ++i)
    SCREEN_LINE(nullptr, static_cast<Single>(sx + i), sy, static_cast<Single>(sx + i), sy + 30,
                RGBWERT(i / (strip - 1.0), 0));
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, sx - 4, sy + 34, 4, "0", kFore));
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, sx + strip - 4, sy + 34, 4, "1", kFore));
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, sx + strip / 2 - 32, sy + 34, 4, "RGBWERT", kFore));
  // Positions are relative to the panel, like every primitive's coordinates.
  constexpr Integer x = 130, y = 260;
  DRAWROTATEDSTRING(x, y, "0 Grad", 0x000000, 0);
  DRAWROTATEDSTRING(x, y - 24, "45 Grad", 0xCC0000, 45);
  DRAWROTATEDSTRING(x - 24, y - 8, "90 Grad", 0x0000CC, 90);
  leave_panel();
}

}  // namespace

void open_window() {
  const ErrorContext ctx{kModule, "OPEN_WINDOW"};
  INITGFX("Diagramme", kWidth, kHeight, kFore, kBack);
}

void draw_all() {
  const ErrorContext ctx{kModule, "DRAW_ALL"};
  curves_panel();
  bars_panel();
  pie_panel();
  map_panel(0, wave, 3, 0, "sin(x) cos(y)");
  map_panel(1, bowl, 2, 8, "x^2 + y^2, 8 Stufen");
  text_panel();
}

int run() {
  const ErrorContext ctx{kModule, "RUN"};
  open_window();
  draw_all();
  while (!WINDOW_EVENT_CLOSE()) TIME_SLEEP(10);
  return 0;
}

}  // namespace plots_example
