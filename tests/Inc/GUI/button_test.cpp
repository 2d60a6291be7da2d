// Push buttons, check boxes, radio buttons and labels.
#include <cstdint>

#include "gui_test_support.hpp"

using namespace guitest;

TEST_F(GuiTest, ButtonCaptionIsCentredInFloatingPoint) {
  const struct { Integer w, h; const char* caption; int dx, dy; } cases[] = {
      {60, 20, "Ok", 22, 2}, {150, 20, "Simulation Start", 11, 2}, {60, 20, "Zu breit!", -6, 2},
      {60, 20, "abc", 18, 2}, {61, 21, "abc", 19, 3}};  // odd slack: half a pixel right and down
  for (const auto& c : cases) {
    SCREEN_LINE(nullptr, 0, 0, 639, 479, COLOR_BACKGROUND, 2);
    BUTTON_NEW(100, 100, c.w, c.h, c.caption);
    SCREEN_DRAW_TEXT(nullptr, 100, 300, 4, c.caption, COLOR_TEXT);
    EXPECT_EQ(points_of(0, 90, 639, 140, COLOR_TEXT, 100 + c.dx, 100 + c.dy),
              points_of(0, 290, 639, 340, COLOR_TEXT, 100, 300))
        << c.caption;
  }
}

TEST_F(GuiTest, ClickGeometryEdgesAndButtonState) {
  BUTTON b = BUTTON_NEW(100, 100, 60, 20, "Ok");
  CHECKBOX box = CHECKBOX_NEW(100, 200, 60, 20, "cb");
  headless::click(headless::now_ms(), 160, 120);  // corner pixel X+W, Y+H
  EXPECT_TRUE(BUTTON_GETEVENT(b));
  headless::click(headless::now_ms(), 161, 110);
  EXPECT_FALSE(BUTTON_GETEVENT(b));
  headless::click(headless::now_ms(), 160, 210);  // edge column: not inside a check box
  EXPECT_FALSE(CHECKBOX_GETEVENT(box));
  headless::click(headless::now_ms(), 159, 219);
  EXPECT_TRUE(CHECKBOX_GETEVENT(box));
  EXPECT_EQ(box.CHECKED, 1);

  const double t = headless::now_ms();
  headless::move(t, 130, 110);
  headless::press(t, 3);  // left and right together
  EXPECT_FALSE(BUTTON_GETEVENT(b));
}

TEST_F(GuiTest, PressedFaceShowsWhileHeldOnlyOnTheWholeScreen) {
  BUTTON b = BUTTON_NEW(100, 100, 60, 20, "Ok");
  // The face is read on the virtual clock half-way through the hold, not by racing a thread.
  const double t = headless::now_ms();
  headless::click(t, 110, 110, 200);
  std::uint32_t face_while_held = 0;
  headless::at(t + 100, [&] { face_while_held = rgb(102, 102); });
  EXPECT_TRUE(BUTTON_GETEVENT(b));
  EXPECT_EQ(face_while_held, COLOR_BUTTON_PRESSED);
  EXPECT_EQ(b.PRESSED, 0);
  EXPECT_EQ(rgb(102, 102), COLOR_BUTTON_FACE);

  SCREEN_LINE(nullptr, 100, 100, 160, 120, 0x123456, 2);
  SCREEN_SET_VIEW(0, 0, 639, 470, 0, 0, SCREEN_VIEW_NO_BORDER | SCREEN_VIEW_NO_FILL);
  headless::click(headless::now_ms(), 110, 110);
  EXPECT_TRUE(BUTTON_GETEVENT(b));
  EXPECT_EQ(b.PRESSED, 0);
  EXPECT_EQ(count_of(100, 100, 160, 120, 0x123456), 61 * 21);  // nothing drawn
}

TEST_F(GuiTest, CheckBoxMarkersAndOddStates) {
  CHECKBOX box = CHECKBOX_NEW(10, 10, 200, 20, "Gitter");
  CHECKBOX_SETCHECK(box, 1);
  SETTEXT(10, 100, 200, 20, "[X] Gitter", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 201, 21));
  CHECKBOX_SETCHECK(box, 2);  // stored, no picture
  headless::click(headless::now_ms(), 50, 20);
  EXPECT_TRUE(CHECKBOX_GETEVENT(box));
  EXPECT_EQ(CHECKBOX_GETCHECK(box), 3);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 201, 21));

  CHECKBOX_NEW(10, 200, 40, 20, "abc");  // room for the marker only
  SETTEXT(10, 300, 40, 20, "[ ] ", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 200, 10, 300, 41, 21));
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

  headless::click(headless::now_ms(), 50, 25);  // inside members 0 and 1
  EXPECT_TRUE(RADIOBUTTON_GETEVENT(group, index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(group[0].CHECKED + group[1].CHECKED + group[2].CHECKED, 1);
  EXPECT_EQ(group[3].CHECKED, 2);  // other states are left alone
  SETTEXT(300, 10, 200, 20, "(\xFE) eins", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  SETTEXT(300, 60, 200, 20, "( ) drei", MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  EXPECT_TRUE(same_block(10, 10, 300, 10, 201, 20));  // row 30 lies under member 1
  EXPECT_TRUE(same_block(10, 60, 300, 60, 201, 21));

  Array<RADIOBUTTON> from_one(1, 2);  // a group must start at 0
  EXPECT_EXIT(RADIOBUTTON_GETEVENT(from_one, index), ::testing::ExitedWithCode(6),
              report("6 \\(out of bounds array access\\)", "RADIOBUTTON_GETEVENT"));
}
