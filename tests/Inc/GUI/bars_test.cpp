// Track bar and progress bar: positions, rounding, ranges, dragging and degenerate bars.
#include <climits>

#include "gui_test_support.hpp"
#include "surface/core.hpp"

using namespace guitest;

namespace {

// The knob of a bar at y = 100, 20 high, is centred on column p: border at p +- 4, face between.
void expect_knob_at(int p, int y = 110) {
  EXPECT_EQ(rgb(p - 4, y), COLOR_BORDER) << "knob at " << p;
  EXPECT_EQ(rgb(p - 3, y), COLOR_BUTTON_FACE) << "knob at " << p;
  EXPECT_EQ(rgb(p + 3, y), COLOR_BUTTON_FACE) << "knob at " << p;
  EXPECT_EQ(rgb(p + 4, y), COLOR_BORDER) << "knob at " << p;
}

// Moves the pointer to (x, y) with the given buttons held and lets the event arrive.
void pointer(int x, int y, int buttons) {
  const double t = headless::now_ms();
  headless::move(t, x, y);
  headless::release(t, 7 & ~buttons);
  if (buttons) headless::press(t, buttons);
  Integer a, b, c, d, e;
  INPUT_MOUSE(a, b, c, d, e);
}

TRACKBAR track(Integer w, Integer min, Integer max) { return TRACKBAR{100, 100, w, 20, min, max, 0}; }

}  // namespace

TEST(BarPositions, RoundHalvesToEvenAndSurviveDegenerateFields) {
  const TRACKBAR bar = track(210, 0, 100);
  EXPECT_EQ(gui::trackbar_value_at(bar, 106), 0);  // 0.5
  EXPECT_EQ(gui::trackbar_value_at(bar, 108), 2);  // 1.5
  EXPECT_EQ(gui::trackbar_value_at(bar, 110), 2);  // 2.5
  EXPECT_EQ(gui::trackbar_knob(track(12, 0, 100), 25), 106);  // 105.5
  EXPECT_EQ(gui::trackbar_knob(track(12, 0, 100), 75), 106);  // 106.5
  EXPECT_EQ(gui::progress_end(PROGRESSBAR{100, 100, 6, 20, 0, 100, 0}, 75), 104);  // 103.5

  // Zero divisors: the value is MIN, knob and bar rest at their left ends.
  EXPECT_EQ(gui::trackbar_value_at(track(210, 7, 7), 250), 7);
  EXPECT_EQ(gui::trackbar_knob(track(210, 7, 7), 7), 105);
  EXPECT_EQ(gui::trackbar_value_at(track(10, 0, 100), 105), 0);
  EXPECT_EQ(gui::trackbar_knob(track(-50, 0, 100), 100), 105);
  EXPECT_EQ(gui::progress_end(PROGRESSBAR{100, 100, 4, 20, 0, 100, 0}, 100), 102);
  EXPECT_EQ(gui::progress_end(PROGRESSBAR{100, 100, 50, 20, 3, 3, 0}, 3), 102);

  // Past the Integer range the value saturates: MIN + 1 * 16 / 1 with MIN = 2^31 - 16 (the
  // range INT_MIN - MIN wraps to 16); a reversed range yields a value that is never drawn.
  EXPECT_EQ(gui::trackbar_value_at(TRACKBAR{0, 0, 11, 20, INT_MAX - 15, INT_MIN, 0}, 6), INT_MAX);
  EXPECT_EQ(gui::trackbar_value_at(track(210, 100, 0), 155), 75);
}

TEST_F(GuiTest, TrackBarKnobFollowsValuesInRangeOnly) {
  TRACKBAR bar = TRACKBAR_NEW(100, 100, 210, 20);
  EXPECT_EQ(bar.MAX, 100);
  EXPECT_EQ(rgb(310, 120), COLOR_BORDER);
  expect_knob_at(105);
  EXPECT_EQ(rgb(105, 119), COLOR_BORDER);  // full inner height
  TRACKBAR_SETVALUE(bar, 100);
  expect_knob_at(305);
  EXPECT_EQ(rgb(105, 110), COLOR_FIELD);  // old knob wiped
  TRACKBAR_SETVALUE(bar, 50);
  expect_knob_at(205);

  TRACKBAR_SETVALUE(bar, 150);  // kept, not drawn
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 150);
  TRACKBAR_SETRANGE(bar, 0, 200);  // no redraw of its own
  expect_knob_at(205);
  TRACKBAR_SETVALUE(bar, 200);
  expect_knob_at(305);
}

TEST_F(GuiTest, HeldButtonDragsTheKnobOnEveryCall) {
  TRACKBAR bar = TRACKBAR_NEW(100, 100, 210, 20);
  pointer(205, 110, 1);
  const double t0 = headless::now_ms();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(TRACKBAR_GETEVENT(bar));
  // Neither a release wait nor a sleep: only each frame after the first waits for the presenter
  // (a pass every 10 ms) to take the one before.
  EXPECT_LT(headless::now_ms(), t0 + 2 * 10 + 1);
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 50);
  EXPECT_EQ(surf::core().lock_count(), 0);
  pointer(255, 120, 1);  // bottom edge counts
  EXPECT_TRUE(TRACKBAR_GETEVENT(bar));
  expect_knob_at(255);
  pointer(306, 110, 1);  // right margin: no reaction, last value stays
  EXPECT_FALSE(TRACKBAR_GETEVENT(bar));
  pointer(300, 110, 3);  // both buttons
  EXPECT_FALSE(TRACKBAR_GETEVENT(bar));
  EXPECT_EQ(TRACKBAR_GETVALUE(bar), 75);
  EXPECT_EQ(surf::core().lock_count(), 0);
}

TEST_F(GuiTest, ProgressBarFillsIgnoresAndClears) {
  PROGRESSBAR bar = PROGRESSBAR_NEW(100, 100, 104, 20);
  EXPECT_EQ(rgb(204, 120), COLOR_BORDER);
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_SELECTION), 17);  // one column at MIN
  EXPECT_EQ(rgb(102, 102), COLOR_SELECTION);
  PROGRESSBAR_SETVALUE(bar, 100);
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_SELECTION), 101 * 17);  // X+2 .. X+W-2
  EXPECT_EQ(rgb(203, 110), COLOR_FIELD);
  PROGRESSBAR_SETVALUE(bar, 50);
  PROGRESSBAR_SETVALUE(bar, 150);  // ignored
  PROGRESSBAR_SETVALUE(bar, -1);
  EXPECT_EQ(bar.VALUE, 50);
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_SELECTION), 51 * 17);

  PROGRESSBAR_CLEAR(bar);
  EXPECT_EQ(count_of(101, 101, 203, 119, COLOR_FIELD), 103 * 19);
  EXPECT_EQ(rgb(100, 110), COLOR_BORDER);
  EXPECT_EQ(bar.VALUE, 50);
  PROGRESSBAR_SETRANGE(bar, 10, 0);
  PROGRESSBAR_SETVALUE(bar, 7);  // no value lies in a reversed range
  EXPECT_EQ(bar.VALUE, 50);
}
