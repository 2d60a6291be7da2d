// Push buttons, check boxes, radio buttons and labels.
#include <atomic>
#include <thread>

#include "gui_test_support.hpp"

using namespace guitest;

namespace {

// Ink of a caption in a button at (100, 100) relative to (100 + dx, 100 + dy) equals the ink of
// the same text drawn alone at a known corner.
void expect_caption_at(Integer w, Integer h, const String& caption, int dx, int dy) {
  SCREEN_LINE(nullptr, 0, 0, 639, 479, COLOR_BACKGROUND, 2);
  BUTTON_NEW(100, 100, w, h, caption);
  SCREEN_DRAW_TEXT(nullptr, 100, 300, 4, caption, COLOR_TEXT);
  EXPECT_EQ(points_of(0, 90, 639, 140, COLOR_TEXT, 100 + dx, 100 + dy),
            points_of(0, 290, 639, 340, COLOR_TEXT, 100, 300))
      << caption << " in " << w << " x " << h;
}

}  // namespace

TEST_F(GuiTest, ButtonCaptionIsCentredInFloatingPoint) {
  expect_caption_at(60, 20, "Ok", 22, 2);
  expect_caption_at(150, 20, "Simulation Start", 11, 2);
  expect_caption_at(60, 20, "Zu breit!", -6, 2);  // wider than the button: centred, not cut
  expect_caption_at(60, 20, "abc", 18, 2);
  expect_caption_at(61, 21, "abc", 19, 3);  // odd slack: half a pixel right and down
}

TEST_F(GuiTest, ButtonFaceFollowsPressedState) {
  BUTTON b = BUTTON_NEW(100, 100, 60, 20, "Ok");
  EXPECT_EQ(rgb(100, 100), COLOR_BORDER);
  EXPECT_EQ(rgb(160, 120), COLOR_BORDER);
  EXPECT_EQ(rgb(102, 102), COLOR_BUTTON_FACE);
  b.PRESSED = 1;
  DRAWBUTTON(b);
  EXPECT_EQ(rgb(102, 102), COLOR_BUTTON_PRESSED);
  SCREEN_LINE(nullptr, 101, 101, 159, 119, 0x123456, 2);
  b.PRESSED = 7;  // no face for other states; outline and caption still drawn
  DRAWBUTTON(b);
  EXPECT_EQ(rgb(102, 102), 0x123456u);
  EXPECT_GT(count_of(101, 101, 159, 119, COLOR_TEXT), 0);
}

TEST_F(GuiTest, ClickGeometryEdgesAndButtonState) {
  BUTTON b = BUTTON_NEW(100, 100, 60, 20, "Ok");
  CHECKBOX box = CHECKBOX_NEW(100, 200, 60, 20, "cb");

  headless::click(headless::now_ms(), 160, 120);  // bottom-right corner pixel X+W, Y+H
  EXPECT_TRUE(BUTTON_GETEVENT(b));
  EXPECT_EQ(b.PRESSED, 0);
  EXPECT_EQ(rgb(102, 102), COLOR_BUTTON_FACE);

  headless::click(headless::now_ms(), 160, 210);  // edge column of the check box
  EXPECT_FALSE(CHECKBOX_GETEVENT(box));
  EXPECT_EQ(box.CHECKED, 0);
  headless::click(headless::now_ms(), 159, 219);
  EXPECT_TRUE(CHECKBOX_GETEVENT(box));
  EXPECT_EQ(box.CHECKED, 1);

  const double t = headless::now_ms() + 1;
  headless::move(t, 130, 110);
  headless::press(t, 1);
  headless::press(t, 2);
  settle();
  TIME_SLEEP(2);
  EXPECT_FALSE(BUTTON_GETEVENT(b));  // left and right together do not count
  headless::release(headless::now_ms(), 3);
  settle();

  headless::click(headless::now_ms(), 161, 110);  // one past the right edge
  EXPECT_FALSE(BUTTON_GETEVENT(b));
}

TEST_F(GuiTest, ButtonEventWaitsForTheRelease) {
  BUTTON b = BUTTON_NEW(100, 100, 60, 20, "Ok");
  const double t0 = headless::now_ms();
  headless::click(t0, 110, 110, 40);
  EXPECT_TRUE(BUTTON_GETEVENT(b));
  EXPECT_GE(headless::now_ms(), t0 + 40);
  EXPECT_LT(headless::now_ms(), t0 + 45);
}

TEST_F(GuiTest, ButtonUnderNarrowedViewportReportsButDoesNotDraw) {
  BUTTON b = BUTTON_NEW(100, 100, 60, 20, "Ok");
  SCREEN_LINE(nullptr, 100, 100, 160, 120, 0x123456, 2);
  SCREEN_SET_VIEW(0, 0, 639, 470, 0, 0, SCREEN_VIEW_NO_BORDER | SCREEN_VIEW_NO_FILL);
  headless::click(headless::now_ms(), 110, 110);
  EXPECT_TRUE(BUTTON_GETEVENT(b));
  EXPECT_EQ(b.PRESSED, 0);
  EXPECT_EQ(count_of(100, 100, 160, 120, 0x123456), 61 * 21);
}

TEST_F(GuiTest, CheckBoxMarkersAndOddStates) {
  CHECKBOX box = CHECKBOX_NEW(10, 10, 200, 20, "Gitter");
  SETTEXT(10, 100, 200, 20, "[ ] Gitter", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 201, 21));
  CHECKBOX_SETCHECK(box, 1);
  SETTEXT(10, 100, 200, 20, "[X] Gitter", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 201, 21));

  CHECKBOX_SETCHECK(box, 2);  // stored, not drawn
  EXPECT_TRUE(same_block(10, 10, 10, 100, 201, 21));
  headless::click(headless::now_ms(), 50, 20);
  EXPECT_TRUE(CHECKBOX_GETEVENT(box));
  EXPECT_EQ(CHECKBOX_GETCHECK(box), 3);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 201, 21));

  CHECKBOX narrow = CHECKBOX_NEW(10, 200, 40, 20, "abc");  // room for the marker only
  SETTEXT(10, 300, 40, 20, "[ ] ", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 200, 10, 300, 41, 21));
  EXPECT_EQ(narrow.CAPTION, "abc");
}

TEST_F(GuiTest, RadioGroupFirstHitWinsAndClearsTheOthers) {
  std::vector<RADIOBUTTON> group{RADIOBUTTON_NEW(10, 10, 200, 20, "eins"), RADIOBUTTON_NEW(10, 15, 200, 20, "zwei"),
                                 RADIOBUTTON_NEW(10, 60, 200, 20, "drei"), RADIOBUTTON_NEW(10, 90, 200, 20, "vier")};
  RADIOBUTTON_SETCHECK(group[2], 1);
  RADIOBUTTON_SETCHECK(group[3], 2);
  Integer index = 99;

  headless::click(headless::now_ms(), 300, 300);
  EXPECT_FALSE(RADIOBUTTON_GETEVENT(group, index));
  EXPECT_EQ(index, -1);
  EXPECT_EQ(group[2].CHECKED, 1);

  headless::click(headless::now_ms(), 50, 25);  // inside members 0 and 1
  EXPECT_TRUE(RADIOBUTTON_GETEVENT(group, index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(group[0].CHECKED, 1);
  EXPECT_EQ(group[1].CHECKED, 0);
  EXPECT_EQ(group[2].CHECKED, 0);
  EXPECT_EQ(group[3].CHECKED, 2);  // other states are left alone
  SETTEXT(300, 10, 200, 20, String{"(\xFE) eins"}, MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  SETTEXT(300, 60, 200, 20, "( ) drei", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 10, 300, 10, 201, 5));  // rows of member 0 not covered by member 1
  EXPECT_TRUE(same_block(10, 60, 300, 60, 201, 21));

  // A click on the member already set reports it and redraws nothing of it.
  headless::click(headless::now_ms(), 50, 70);
  RADIOBUTTON_SETCHECK(group[2], 1);
  SCREEN_PSET(nullptr, 150, 65, 0x123456);
  EXPECT_TRUE(RADIOBUTTON_GETEVENT(group, index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(rgb(150, 65), 0x123456u);
  EXPECT_EQ(group[0].CHECKED, 0);
}

TEST_F(GuiTest, RadioGroupAsCheckedArray) {
  Array<RADIOBUTTON> group(0, 1);
  group[0] = RADIOBUTTON_NEW(10, 10, 200, 20, "a");
  group[1] = RADIOBUTTON_NEW(10, 40, 200, 20, "b");
  Integer index = -5;
  headless::click(headless::now_ms(), 50, 50);
  EXPECT_TRUE(RADIOBUTTON_GETEVENT(group, index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(group[1].CHECKED, 1);
}

TEST_F(GuiTest, RadioGroupNotStartingAtZeroStopsWithBoundsReport) {
  EXPECT_EXIT(
      {
        Array<RADIOBUTTON> group(1, 2);
        Integer index = 0;
        RADIOBUTTON_GETEVENT(group, index);
      },
      ::testing::ExitedWithCode(6),
      "\nAborting due to runtime error 6 \\(out of bounds array access\\) at line [0-9]+ of "
      "Inc/GUI::RADIOBUTTON_GETEVENT\\(\\)\n\n");
}

TEST_F(GuiTest, LabelIsAPlainTextCell) {
  const LABEL l = LABEL_NEW(10, 10, 120, 20, "Geschwindigkeit vx0");
  SETTEXT(10, 100, 120, 20, "Geschwindigkeit vx0", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 121, 21));
  EXPECT_EQ(l.CAPTION, "Geschwindigkeit vx0");
  EXPECT_EQ(l.W, 120);
}

TEST_F(GuiTest, PressedFaceShowsWhileTheButtonIsHeld) {
  BUTTON b = BUTTON_NEW(100, 100, 60, 20, "Ok");
  // A long virtual hold; the event runs on a worker while this thread watches the face. The script
  // is complete before the worker starts, and pixel reads take the surface lock.
  headless::click(headless::now_ms(), 110, 110, 200000);
  std::atomic<bool> done{false};
  Boolean fired = false;
  std::thread worker([&] {
    fired = BUTTON_GETEVENT(b);
    done = true;
  });
  bool seen_pressed = false;
  while (!done && !seen_pressed) seen_pressed = rgb(102, 102) == COLOR_BUTTON_PRESSED;
  worker.join();
  EXPECT_TRUE(seen_pressed);
  EXPECT_TRUE(fired);
  EXPECT_EQ(rgb(102, 102), COLOR_BUTTON_FACE);
}
