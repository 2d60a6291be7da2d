// The list box: items, selection, paging and its polling pass.
#include "gui_test_support.hpp"

using namespace guitest;

namespace {

// A 4-row list (70 pixels high) at (100, 100) holding n items "item 0", "item 1", ...
LISTBOX filled(int n) {
  LISTBOX list = LISTBOX_NEW(100, 100, 200, 70);
  for (int i = 0; i < n; ++i) LISTBOX_ADD(list, "item " + std::to_string(i));
  return list;
}

// Pure paging on a record: MAXINDEX and ROWS as given.
LISTBOX paged(Integer maxindex, Integer rows, Integer top) {
  LISTBOX list;
  list.MAXINDEX = maxindex;
  list.ROWS = rows;
  list.TOPINDEX = top;
  return list;
}

}  // namespace

TEST(ListPaging, DownClampsToTheLastItemAndUpStopsAtZero) {
  LISTBOX list = paged(10, 4, 0);
  EXPECT_TRUE(gui::page_down(list));
  EXPECT_EQ(list.TOPINDEX, 4);
  EXPECT_TRUE(gui::page_down(list));
  EXPECT_EQ(list.TOPINDEX, 7);  // clamped from 8
  EXPECT_FALSE(gui::page_down(list));
  EXPECT_EQ(list.TOPINDEX, 7);
  gui::page_up(list);
  EXPECT_EQ(list.TOPINDEX, 3);
  gui::page_up(list);
  EXPECT_EQ(list.TOPINDEX, 0);

  LISTBOX five = paged(4, 4, 0);
  EXPECT_TRUE(gui::page_down(five));
  EXPECT_EQ(five.TOPINDEX, 1);

  for (LISTBOX odd : {paged(1000, 0, 5), paged(1000, -3, 2), paged(2147483647, 2147483647, 2147483647),
                      paged(-1, 4, 0)}) {
    gui::page_down(odd);
    gui::page_up(odd);
    EXPECT_GE(odd.TOPINDEX, 0);
  }
}

TEST_F(GuiTest, NewListIsEmptyAndIgnoresClicks) {
  LISTBOX list = LISTBOX_NEW(100, 100, 200, 70);
  EXPECT_EQ(LISTBOX_GETMAXINDEX(list), -1);
  EXPECT_EQ(LISTBOX_GETINDEX(list), -1);
  EXPECT_EQ(list.ROWS, 4);
  EXPECT_EQ(rgb(100, 100), COLOR_BORDER);
  EXPECT_EQ(rgb(300, 170), COLOR_BORDER);
  EXPECT_EQ(count_of(101, 101, 299, 169, COLOR_FIELD), 199 * 69);
  headless::click(headless::now_ms(), 150, 110);
  EXPECT_FALSE(LISTBOX_GETEVENT(list));
  EXPECT_EQ(LISTBOX_GETINDEX(list), -1);
}

TEST_F(GuiTest, AddingFollowsTheNewestItemUpToTheLimit) {
  LISTBOX list = filled(5);
  EXPECT_EQ(list.TOPINDEX, 1);
  SETTEXT(100, 300, 200, 16, "item 1", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(101, 101, 101, 301, 199, 15));

  for (int i = 5; i < 1001; ++i) LISTBOX_ADD(list, "more");
  EXPECT_EQ(LISTBOX_GETMAXINDEX(list), 1000);
  const Integer top = list.TOPINDEX;
  LISTBOX_ADD(list, "one too many");
  EXPECT_EQ(LISTBOX_GETMAXINDEX(list), 1000);
  EXPECT_EQ(list.TOPINDEX, top);
  EXPECT_EQ(LISTBOX_GETITEM(list, 1000), "more");

  LISTBOX_CLEAR(list);
  EXPECT_EQ(LISTBOX_GETMAXINDEX(list), -1);
  EXPECT_EQ(list.TOPINDEX, 0);
  EXPECT_EQ(LISTBOX_GETITEM(list, 3), "");
  EXPECT_EQ(LISTBOX_GETITEM(list, -7), "");
  EXPECT_EQ(count_of(101, 101, 299, 169, COLOR_FIELD), 199 * 69);
}

TEST_F(GuiTest, SelectionIsDrawnAndOutOfRangeIndexIgnored) {
  LISTBOX list = filled(3);
  LISTBOX_SETINDEX(list, 1);
  EXPECT_EQ(rgb(102, 118), COLOR_SELECTION);
  EXPECT_EQ(rgb(102, 102), COLOR_FIELD);
  SCREEN_PSET(nullptr, 102, 118, 0x123456);
  for (const Integer bad : {-1, 3, 1000, 1001, -2147483647 - 1}) LISTBOX_SETINDEX(list, bad);
  EXPECT_EQ(LISTBOX_GETINDEX(list), 1);
  EXPECT_EQ(rgb(102, 118), 0x123456u);

  const String longItem(60, 'w');  // (200 - 8) \ 8 = 24 characters shown
  LISTBOX_ADD(list, longItem);
  EXPECT_EQ(LISTBOX_GETITEM(list, 3), longItem);
  SETTEXT(100, 300, 200, 16, String(24, 'w'), MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(101, 149, 101, 301, 199, 15));
}

TEST_F(GuiTest, ClickSelectsAnItemRowOnly) {
  LISTBOX list = filled(10);  // TOPINDEX 6: rows show items 6..9
  headless::click(headless::now_ms(), 150, 100 + 16 + 5);
  EXPECT_TRUE(LISTBOX_GETEVENT(list));
  EXPECT_EQ(LISTBOX_GETINDEX(list), 7);
  EXPECT_EQ(rgb(102, 118), COLOR_SELECTION);

  // The strip below the last full row and the bottom border are not rows.
  list.TOPINDEX = 0;
  for (const int y : {166, 170}) {
    headless::click(headless::now_ms(), 150, y);
    EXPECT_FALSE(LISTBOX_GETEVENT(list));
    EXPECT_EQ(LISTBOX_GETINDEX(list), 7);
  }
  // Last pixel of the strip stays the white of the new field.
  EXPECT_EQ(count_of(101, 165, 299, 169, COLOR_FIELD), 199 * 5);
}

TEST_F(GuiTest, ClickOnEmptyRowStillHandlesKeys) {
  LISTBOX list = filled(5);  // TOPINDEX 1
  list.TOPINDEX = 2;         // rows show items 2, 3, 4 and one empty row
  DISPLAYITEMS(list);
  headless::click(headless::now_ms(), 150, 100 + 3 * 16 + 4);
  headless::key(headless::now_ms(), kUp);
  EXPECT_FALSE(LISTBOX_GETEVENT(list));
  EXPECT_EQ(LISTBOX_GETINDEX(list), -1);
  EXPECT_EQ(list.TOPINDEX, 0);
}

TEST_F(GuiTest, KeysAndWheelPageWhileThePointerIsInside) {
  LISTBOX list = filled(5);
  list.TOPINDEX = 0;
  headless::move(headless::now_ms(), 150, 120);
  headless::key(headless::now_ms(), kDown);
  LISTBOX_GETEVENT(list);
  EXPECT_EQ(list.TOPINDEX, 1);
  headless::key(headless::now_ms(), kUp);
  LISTBOX_GETEVENT(list);
  EXPECT_EQ(list.TOPINDEX, 0);
  headless::wheel(headless::now_ms(), -1);
  LISTBOX_GETEVENT(list);
  EXPECT_EQ(list.TOPINDEX, 1);
  EXPECT_EQ(LASTWHEEL, -1);
  headless::wheel(headless::now_ms(), 1);
  LISTBOX_GETEVENT(list);
  EXPECT_EQ(list.TOPINDEX, 0);
  EXPECT_EQ(LASTWHEEL, 0);

  headless::key(headless::now_ms(), 'q');  // consumed although it is no paging key
  LISTBOX_GETEVENT(list);
  headless::move(headless::now_ms(), 400, 300);
  headless::key(headless::now_ms(), 'r');  // pointer outside: left for others
  const double before = headless::now_ms();
  EXPECT_FALSE(LISTBOX_GETEVENT(list));
  EXPECT_GE(headless::now_ms(), before + 50);  // the pause happens on every call
  EXPECT_EQ(INPUT_KEY(), "r");
}

TEST_F(GuiTest, FailedPollLeavesTheWheelReading) {
  LISTBOX list = filled(10);  // TOPINDEX 6
  LASTWHEEL = 0;
  LISTBOX_GETEVENT(list);  // pointer not in the window yet
  EXPECT_EQ(LASTWHEEL, 0);
  headless::move(headless::now_ms(), 150, 120);  // straight onto the list, wheel unmoved
  LISTBOX_GETEVENT(list);
  EXPECT_EQ(LASTWHEEL, 0);
  EXPECT_EQ(list.TOPINDEX, 6);
}

TEST_F(GuiTest, ReleaseWaitOutlastsThePointerLeaving) {
  LISTBOX list = filled(3);
  const double t0 = headless::now_ms();
  headless::move(t0, 150, 110);
  headless::press(t0, 1);
  headless::leave(t0 + 10);
  headless::release(t0 + 20, 1);
  headless::move(t0 + 100, 150, 110);
  EXPECT_TRUE(LISTBOX_GETEVENT(list));
  EXPECT_GE(headless::now_ms(), t0 + 100);
  EXPECT_EQ(LISTBOX_GETINDEX(list), 0);
}

TEST(ListBoxDeathTest, IndexPastTheItemArrayStopsWithTheBoundsReport) {
  EXPECT_EXIT(
      {
        headless::reset();
        OPENWINDOW(640, 480, "t");
        LISTBOX list = LISTBOX_NEW(10, 10, 100, 70);
        LISTBOX_GETITEM(list, 1001);
      },
      ::testing::ExitedWithCode(6),
      "^\nAborting due to runtime error 6 \\(out of bounds array access\\) at line [0-9]+ of "
      "Inc/GUI::LISTBOX_GETITEM\\(\\)\n\n$");
  // More rows than items can exist: the redraw reaches item 1001.
  EXPECT_EXIT(
      {
        headless::reset();
        OPENWINDOW(640, 480, "t");
        LISTBOX list = LISTBOX_NEW(10, 10, 100, 16 * 1002);
        LISTBOX_ADD(list, "a");
      },
      ::testing::ExitedWithCode(6),
      "^\nAborting due to runtime error 6 \\(out of bounds array access\\) at line [0-9]+ of "
      "Inc/GUI::DISPLAYITEMS\\(\\)\n\n$");
}
