// Track bar and progress bar: positions, rounding, ranges, dragging and degenerate bars.
#include <climits>

#include "gui_test_support.hpp"
#include "surface/core.hpp"

using namespace guitest;

namespace {

// The knob stands centred on column p of a bar at y = 100, 20 high: border at p +- 4, face between.
void expect_knob_at(int p) {
  EXPECT_EQ(rgb(p - 4, 110), COLOR_BORDER) << "knob at " << p;
  EXPECT_EQ(rgb(p - 3, 110), COLOR_BUTTON_FACE) << "knob at " << p;
  EXPECT_EQ(rgb(p + 3, 110), COLOR_BUTTON_FACE) << "knob at " << p;
  EXPECT_EQ(rgb(p + 4, 110), COLOR_BORDER) << "knob at " << p;
}

// The bar of a progress bar at (100, 100), 20 high, ends at column p.
void expect_bar_end(int p) {
  EXPECT_EQ(rgb(102, 110), COLOR_SELECTION);
  EXPECT_EQ(rgb(p, 102), COLOR_SELECTION) << "bar end " << p;
  EXPECT_EQ(rgb(p, 118), COLOR_SELECTION) << "bar end " << p;
  EXPECT_EQ(rgb(p + 1, 110), COLOR_FIELD) << "bar end " << p;
}

// Holds the left button at (x, y) from now on.
void hold_at(int x, int y) {
  const double t = headless::now_ms();
  headless::move(t, x, y);
  headless::press(t);
}

TRACKBAR bar_record(Integer w, Integer min, Integer max) { return TRACKBAR{100, 100, w, 20, min, max, 0}; }

}  // namespace

TEST_F(GuiTest, TrackBarKnobAtZeroFiftyAndHundred) {
  TRACKBAR bar = TRACKBAR_NEW(100, 100, 210, 20);
  EXPECT_EQ(bar.MIN, 0);
  EXPECT_EQ(bar.MAX, 100);
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 0);
  EXPECT_EQ(rgb(100, 100), COLOR_BORDER);
  EXPECT_EQ(rgb(310, 120), COLOR_BORDER);
  expect_knob_at(105);
  EXPECT_EQ(rgb(110, 110), COLOR_FIELD);
  EXPECT_EQ(rgb(105, 101), COLOR_BORDER);  // knob spans the whole inner height
  EXPECT_EQ(rgb(105, 119), COLOR_BORDER);

  TRACKBAR_SETVALUE(bar, 100);
  expect_knob_at(305);
  EXPECT_EQ(rgb(105, 110), COLOR_FIELD);  // old knob wiped
  TRACKBAR_SETVALUE(bar, 50);
  expect_knob_at(205);
  EXPECT_EQ(count_of(101, 101, 309, 119, COLOR_BUTTON_FACE), 7 * 17);
}

TEST(TrackBarMath, PositionsRoundHalvesToEven) {
  const TRACKBAR bar = bar_record(210, 0, 100);
  EXPECT_EQ(gui::trackbar_value_at(bar, 100 + 5 + 1), 0);  // 0.5
  EXPECT_EQ(gui::trackbar_value_at(bar, 100 + 5 + 3), 2);  // 1.5
  EXPECT_EQ(gui::trackbar_value_at(bar, 100 + 5 + 5), 2);  // 2.5
  EXPECT_EQ(gui::trackbar_value_at(bar, 100 + 5 + 7), 4);  // 3.5
  EXPECT_EQ(gui::trackbar_value_at(bar, 305), 100);

  const TRACKBAR short_track = bar_record(12, 0, 100);  // two pixels of track
  EXPECT_EQ(gui::trackbar_knob(short_track, 25), 106);  // 105.5
  EXPECT_EQ(gui::trackbar_knob(short_track, 75), 106);  // 106.5

  const PROGRESSBAR progress{100, 100, 6, 20, 0, 100, 0};  // two pixels of bar
  EXPECT_EQ(gui::progress_end(progress, 25), 102);      // 102.5
  EXPECT_EQ(gui::progress_end(progress, 75), 104);      // 103.5
}

TEST(TrackBarMath, DegenerateAndHugeRangesStayDefined) {
  // A zero divisor: the value is MIN and the knob rests at the left end.
  EXPECT_EQ(gui::trackbar_value_at(bar_record(210, 7, 7), 250), 7);
  EXPECT_EQ(gui::trackbar_knob(bar_record(210, 7, 7), 7), 105);
  EXPECT_EQ(gui::trackbar_value_at(bar_record(10, 0, 100), 105), 0);
  EXPECT_EQ(gui::trackbar_knob(bar_record(10, 0, 100), 100), 105);
  EXPECT_EQ(gui::trackbar_knob(bar_record(-50, 0, 100), 100), 105);
  EXPECT_EQ(gui::progress_end(PROGRESSBAR{100, 100, 4, 20, 0, 100, 100}, 100), 102);
  EXPECT_EQ(gui::progress_end(PROGRESSBAR{100, 100, 50, 20, 3, 3, 3}, 3), 102);

  // Extreme fields: the 32-bit product wraps, everything else stays finite and in range.
  const TRACKBAR wide{INT_MAX, INT_MIN, INT_MAX, 20, INT_MIN, INT_MAX, 0};
  const long long p = gui::trackbar_knob(wide, INT_MAX);
  EXPECT_GE(p, static_cast<long long>(INT_MAX) + 5);
  EXPECT_LE(p, static_cast<long long>(INT_MAX) + 5 + INT_MAX);
  // A value past the Integer range saturates: MIN + 1 * 16 / 1 with MIN = 2^31 - 16.
  EXPECT_EQ(gui::trackbar_value_at(TRACKBAR{0, 0, 11, 20, INT_MAX - 15, INT_MIN, 0}, 6), INT_MAX);
  // The reversed range computes a value inside it, which the range test then rejects.
  EXPECT_EQ(gui::trackbar_value_at(bar_record(210, 100, 0), 155), 75);
}

TEST_F(GuiTest, TrackBarOutOfRangeIsKeptButNotDrawn) {
  TRACKBAR bar = TRACKBAR_NEW(100, 100, 210, 20);
  TRACKBAR_SETVALUE(bar, 50);
  TRACKBAR_SETVALUE(bar, 150);
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 150);
  expect_knob_at(205);
  TRACKBAR_SETVALUE(bar, -1);
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), -1);
  expect_knob_at(205);

  TRACKBAR_SETRANGE(bar, 0, 200);  // no redraw of its own
  expect_knob_at(205);
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), -1);
  TRACKBAR_SETVALUE(bar, 200);
  expect_knob_at(305);
}

TEST_F(GuiTest, TrackBarHeldButtonRepeatsAndTracksThePointer) {
  TRACKBAR bar = TRACKBAR_NEW(100, 100, 210, 20);
  hold_at(205, 110);
  settle();
  const double t0 = headless::now_ms();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(TRACKBAR_GETEVENT(bar));
  EXPECT_LT(headless::now_ms(), t0 + 1);  // no wait for the release, no sleep
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 50);
  expect_knob_at(205);
  EXPECT_EQ(surf::core().lock_count, 0);  // every redraw's lock was released

  headless::move(headless::now_ms(), 255, 120);  // bottom edge still counts
  settle();
  EXPECT_TRUE(TRACKBAR_GETEVENT(bar));
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 75);
  expect_knob_at(255);

  headless::move(headless::now_ms(), 306, 110);  // into the right margin: no reaction
  settle();
  EXPECT_FALSE(TRACKBAR_GETEVENT(bar));
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 75);
  headless::move(headless::now_ms(), 305, 110);
  settle();
  EXPECT_TRUE(TRACKBAR_GETEVENT(bar));
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 100);

  headless::press(headless::now_ms(), 2);  // left and right together
  settle();
  EXPECT_FALSE(TRACKBAR_GETEVENT(bar));
  headless::release(headless::now_ms(), 3);
  settle();
  EXPECT_FALSE(TRACKBAR_GETEVENT(bar));
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 100);
}

TEST_F(GuiTest, TrackBarDegenerateAndReversedRanges) {
  TRACKBAR bar = TRACKBAR_NEW(100, 100, 210, 20);
  TRACKBAR_SETRANGE(bar, 7, 7);
  TRACKBAR_SETVALUE(bar, 7);
  expect_knob_at(105);
  hold_at(250, 110);
  settle();
  EXPECT_TRUE(TRACKBAR_GETEVENT(bar));
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 7);
  headless::release(headless::now_ms());

  TRACKBAR narrow = TRACKBAR_NEW(100, 200, 10, 20);  // a track of one column
  hold_at(105, 210);
  settle();
  EXPECT_TRUE(TRACKBAR_GETEVENT(narrow));
  EXPECT_EQ(TRACKBAR_GETVALUE(narrow), 0);
  EXPECT_EQ(rgb(105, 210), COLOR_BUTTON_FACE);
  headless::release(headless::now_ms());

  TRACKBAR reversed = TRACKBAR_NEW(100, 300, 210, 20);
  TRACKBAR_SETRANGE(reversed, 100, 0);
  hold_at(155, 310);
  settle();
  EXPECT_TRUE(TRACKBAR_GETEVENT(reversed));
  EXPECT_EQ(TRACKBAR_GETVALUE(reversed), 75);  // stored ...
  EXPECT_EQ(rgb(155, 310), COLOR_FIELD);       // ... but never drawn
  EXPECT_EQ(rgb(105, 310), COLOR_BUTTON_FACE);
  EXPECT_EQ(surf::core().lock_count, 0);
}

TEST_F(GuiTest, ProgressBarFillsFromTheLeft) {
  PROGRESSBAR bar = PROGRESSBAR_NEW(100, 100, 104, 20);
  EXPECT_EQ(rgb(100, 100), COLOR_BORDER);
  EXPECT_EQ(rgb(204, 120), COLOR_BORDER);
  EXPECT_EQ(rgb(101, 110), COLOR_FIELD);
  expect_bar_end(102);  // one-pixel bar at MIN
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_SELECTION), 17);

  PROGRESSBAR_SETVALUE(bar, 100);
  expect_bar_end(202);  // X+W-2, one white column before the border
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_SELECTION), 101 * 17);
  PROGRESSBAR_SETVALUE(bar, 50);
  expect_bar_end(152);

  PROGRESSBAR_SETVALUE(bar, 150);  // ignored: value and picture stay
  PROGRESSBAR_SETVALUE(bar, -1);
  EXPECT_EQ(bar.VALUE, 50);
  expect_bar_end(152);
  PROGRESSBAR_SETRANGE(bar, 0, 1000);
  expect_bar_end(152);

  PROGRESSBAR_CLEAR(bar);
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_FIELD), 103 * 19);
  EXPECT_EQ(rgb(100, 110), COLOR_BORDER);
  EXPECT_EQ(bar.VALUE, 50);
  PROGRESSBAR_SETVALUE(bar, 500);
  expect_bar_end(152);
}

TEST_F(GuiTest, ProgressBarDegenerateAndReversedRanges) {
  PROGRESSBAR bar = PROGRESSBAR_NEW(100, 100, 104, 20);
  PROGRESSBAR_SETRANGE(bar, 5, 5);
  PROGRESSBAR_SETVALUE(bar, 5);
  EXPECT_EQ(bar.VALUE, 5);
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_SELECTION), 17);

  PROGRESSBAR_SETRANGE(bar, 10, 0);
  PROGRESSBAR_SETVALUE(bar, 5);
  EXPECT_EQ(bar.VALUE, 5);

  PROGRESSBAR tiny = PROGRESSBAR_NEW(300, 100, 4, 20);
  PROGRESSBAR_SETVALUE(tiny, 100);
  EXPECT_EQ(rgb(302, 110), COLOR_SELECTION);
  EXPECT_EQ(rgb(304, 110), COLOR_BORDER);
}
