#pragma once
// Plot helpers: a plot window, output metrics in logical units, a blue-to-red colour scale
// and whole diagrams drawn into the current viewport with one call.
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

// A function of one variable, as ZEICHNEFKT plots it.
using GRAPHIK_FKT1 = Double (*)(Double);
// A function of two variables (x, y), as PLOTFKT paints it.
using GRAPHIK_FKT2 = Double (*)(Double, Double);

// ---- Output metrics and colours ----------------------------------------------------------

// Opens a width x height window with the 8x16 text cell, titled, in the given colours and cleared.
void INITGFX(const String& title, Integer width, Integer height, Integer foreground, Integer background);
// Right minus left edge of the current viewport (one less than its pixel columns).
Integer OUTPUTWIDTH();
// Bottom minus top edge of the current viewport (one less than its pixel rows).
Integer OUTPUTHEIGHT();
// Width of text in logical x units of the current mapping; negative for a right-to-left axis.
Double TEXTWIDTH(const String& text);
// Height of one 16-pixel text line in logical y units, never negative; text is not looked at.
Double TEXTHEIGHT(const String& text = String());
// Colour of t on the blue-cyan-green-yellow-red scale (top byte 0xFF); steps != 0 quantises t.
Integer RGBWERT(Double t, Integer steps);

// ---- Diagrams -----------------------------------------------------------------------------

// Draws text from (x, y) turned counter-clockwise by angle degrees; only ink pixels are set.
void DRAWROTATEDSTRING(Integer x, Integer y, const String& text, Integer colour, Double angle);
// Lays out a labelled grid in the current viewport and leaves its viewport and x1..x2, y1..y2 mapping set.
void KOORDINATEN(Double x1, Double y1, Double x2, Double y2, Integer nx, Integer ny, const String& xname,
                 const String& yname, const String& caption);
// Joins (xs(i-1), ys(i-1)) to (xs(i), ys(i)) for i = 1..upper bound of xs, in logical coordinates.
void ZEICHNEKURVE(const Array<Double>& xs, const Array<Double>& ys, Integer colour);
// Draws the graph of f over a..b as 300 line segments; a null f is a runtime error.
void ZEICHNEFKT(GRAPHIK_FKT1 f, Double a, Double b, Integer colour);
// A bar chart of values(0..n), n = upper bound of names, on a ymin..ymax scale with ny grid steps.
void BALKENDIAGRAMM(const Array<String>& names, const Array<Double>& values, Double ymin, Double ymax, Integer ny,
                    const String& xname, const String& yname, const String& caption, const Array<Integer>& colours);
// A pie chart of values(0..n), n = upper bound of names, slices filled in colours(i).
void KREISDIAGRAMM(const Array<String>& names, const Array<Double>& values, const Array<Integer>& colours,
                   const String& caption);
// Paints every pixel of the viewport with RGBWERT of f over x1..x2, y1..y2; a null f is a runtime error.
void PLOTFKT(GRAPHIK_FKT2 f, Double x1, Double y1, Double x2, Double y2, Integer steps);
