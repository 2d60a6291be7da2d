// Opening the window, the close test and the shared text cell.
#include "gui_test_support.hpp"

using namespace guitest;

TEST(OpenWindow, GridBackgroundAndFailures) {
  headless::reset();
  OPENWINDOW(480, 600, "Fenster");
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(0, 0), 60 | (37 << 16));
  EXPECT_EQ(count_of(0, 0, 479, 599, COLOR_BACKGROUND), 480 * 600);
  const std::string illegal = report("1 \\(illegal function call\\)", "OPENWINDOW");
  EXPECT_EXIT((headless::reset(), OPENWINDOW(0, 0, "x")), ::testing::ExitedWithCode(1), illegal);
  // Too small for one cell: the grid call merely queries, which must not pass for success.
  EXPECT_EXIT((headless::reset(), OPENWINDOW(7, 15, "x")), ::testing::ExitedWithCode(1), illegal);
}

TEST_F(GuiTest, WindowEventCloseTakesOneKeyPerCall) {
  headless::key(0, 'a');
  headless::close_request(0);
  headless::key(0, 'b');
  EXPECT_FALSE(WINDOW_EVENT_CLOSE());
  EXPECT_TRUE(WINDOW_EVENT_CLOSE());
  EXPECT_EQ(INPUT_KEY(), "b");
}

TEST_F(GuiTest, SetTextCellsByWidthAndMode) {
  SCREEN_LINE(nullptr, 10, 10, 110, 30, 0x123456, 2);
  SETTEXT(10, 10, 100, 20, "12a4", MODE_DIGITS, COLOR_TEXT, COLOR_FIELD);
  SETTEXT(10, 10, 100, 20, "12", MODE_DECIMAL + 1, COLOR_TEXT, COLOR_FIELD);  // unknown mode
  EXPECT_EQ(count_of(10, 10, 110, 30, 0x123456), 101 * 21);     // cell exactly as it was
  SETTEXT(10, 10, 100, 20, String(20, '\xDB'), MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_GT(count_of(94, 11, 101, 29, COLOR_TEXT), 0);  // 11th character, (100 - 8) \ 8 = 11
  EXPECT_EQ(count_of(102, 11, 109, 29, COLOR_TEXT), 0);
  EXPECT_EQ(count_of(10, 10, 110, 10, 0x123456) + count_of(110, 11, 110, 30, 0x123456), 101 + 20);  // edge kept
  SETTEXT(10, 10, 100, 20, "", MODE_DIGITS, COLOR_TEXT, COLOR_FIELD);  // empty counts as digits
  SETTEXT(200, 10, 15, 20, "abc", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);  // w < 16: fill only
  EXPECT_EQ(count_of(11, 11, 109, 29, COLOR_FIELD) + count_of(201, 11, 214, 29, COLOR_FIELD), 99 * 19 + 14 * 19);

  for (const auto& [text, stars] : {std::pair{"abcdefghij", "******"}, {"abc", "***"}}) {
    SETTEXT(10, 10, 60, 20, text, MODE_MASKED, COLOR_TEXT, COLOR_FIELD);
    SETTEXT(10, 100, 60, 20, stars, MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
    EXPECT_TRUE(same_block(11, 11, 11, 101, 59, 19)) << text;
  }
  SETTEXT(-2147483647 - 1, 5, 2147483647, 2147483647, "x", MODE_MASKED, COLOR_TEXT, COLOR_FIELD);  // no UB
}

TEST_F(GuiTest, TapsAreOneClickEachInAPollingLoop) {
  // Polled like the orbit program's loop: the list box's 50 ms pause comes first.
  LISTBOX list = LISTBOX_NEW(10, 10, 200, 40);
  LISTBOX_ADD(list, "zero");
  LISTBOX_ADD(list, "one");
  CHECKBOX box = CHECKBOX_NEW(10, 60, 200, 20, "check");
  TRACKBAR bar = TRACKBAR_NEW(10, 100, 210, 20);
  BUTTON button = BUTTON_NEW(10, 140, 100, 30, "Go");
  // A press and its release at the same instant, each between two polls of its widget.
  headless::click(105, 100, 30, 0);   // list row 1
  headless::click(405, 100, 70, 0);   // check box
  headless::click(705, 115, 110, 0);  // track bar at its middle
  headless::click(1005, 50, 155, 0);  // button
  int chosen = 0, checked = 0, dragged = 0, clicked = 0;
  while (headless::now_ms() < 1500) {
    chosen += LISTBOX_GETEVENT(list);
    checked += CHECKBOX_GETEVENT(box);
    dragged += TRACKBAR_GETEVENT(bar);
    clicked += BUTTON_GETEVENT(button);
    TIME_SLEEP(10);
  }
  EXPECT_EQ(std::tuple(chosen, list.INDEX, checked, box.CHECKED, clicked), std::tuple(1, 1, 1, 1, 1));
  EXPECT_GE(dragged, 1);  // a drag while held
  EXPECT_EQ(bar.VALUE, 50);
}
