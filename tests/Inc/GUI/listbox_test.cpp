// The list box: items, selection, paging and its polling pass.
#include "gui_test_support.hpp"

using namespace guitest;

namespace {

// A 4-row list (70 pixels high) at (100, 100) holding n items.
LISTBOX filled(int n) {
  LISTBOX list = LISTBOX_NEW(100, 100, 200, 70);
  for (int i = 0; i < n; ++i) LISTBOX_ADD(list, "item " + std::to_string(i));
  return list;
}

}  // namespace

TEST(ListPaging, DownClampsToTheLastItemAndUpStopsAtZero) {
  LISTBOX list;
  list.MAXINDEX = 10, list.ROWS = 4;
  for (const Integer expected : {4, 7, 7}) EXPECT_EQ((gui::page_down(list), list.TOPINDEX), expected);
  for (const Integer expected : {3, 0}) EXPECT_EQ((gui::page_up(list), list.TOPINDEX), expected);
  list.ROWS = list.TOPINDEX = list.MAXINDEX = 2147483647;
  gui::page_down(list);
  gui::page_up(list);
  EXPECT_GE(list.TOPINDEX, 0);
}

TEST_F(GuiTest, ItemsFollowTheNewestUpToTheLimit) {
  LISTBOX list = filled(0);
  EXPECT_EQ(LISTBOX_GETMAXINDEX(list) + LISTBOX_GETINDEX(list), -2);
  headless::click(headless::now_ms(), 150, 110);
  EXPECT_FALSE(LISTBOX_GETEVENT(list));
  for (int i = 0; i < 5; ++i) LISTBOX_ADD(list, "item " + std::to_string(i));
  EXPECT_EQ(list.TOPINDEX, 1);
  for (int i = 5; i < 1002; ++i) LISTBOX_ADD(list, String(60, 'w'));  // the last one is dropped
  EXPECT_EQ(LISTBOX_GETMAXINDEX(list), 1000);
  EXPECT_EQ(list.TOPINDEX, 997);
  EXPECT_EQ(LISTBOX_GETITEM(list, 1000), String(60, 'w'));  // whole, though shown cut to 24
  SETTEXT(100, 300, 200, 16, String(24, 'w'), MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(101, 149, 101, 301, 199, 15));
  LISTBOX_CLEAR(list);
  EXPECT_EQ(LISTBOX_GETITEM(list, 3) + LISTBOX_GETITEM(list, -7), "");
  EXPECT_EQ(count_of(101, 101, 299, 169, COLOR_FIELD), 199 * 69);
}

TEST_F(GuiTest, SelectionByIndexAndByClick) {
  LISTBOX list = filled(10);  // TOPINDEX 6: rows show items 6..9
  LISTBOX_SETINDEX(list, 6);
  EXPECT_EQ(rgb(102, 102), COLOR_SELECTION);
  SCREEN_PSET(nullptr, 102, 102, 0x123456);
  for (const Integer bad : {-1, 10, 1001}) LISTBOX_SETINDEX(list, bad);
  EXPECT_EQ(LISTBOX_GETINDEX(list), 6);
  EXPECT_EQ(rgb(102, 102), 0x123456u);  // not redrawn

  headless::click(headless::now_ms(), 150, 100 + 16 + 5);
  EXPECT_TRUE(LISTBOX_GETEVENT(list));
  EXPECT_EQ(LISTBOX_GETINDEX(list), 7);
  EXPECT_EQ(rgb(102, 118), COLOR_SELECTION);

  // The strip below the last full row and the bottom border are no rows, though item 4 exists.
  list.TOPINDEX = 0;
  for (const int y : {166, 170}) {
    headless::click(headless::now_ms(), 150, y);
    EXPECT_FALSE(LISTBOX_GETEVENT(list));
  }
  EXPECT_EQ(LISTBOX_GETINDEX(list), 7);
  EXPECT_EQ(count_of(101, 164, 299, 169, COLOR_FIELD), 199 * 6);  // the strip keeps its white
}

TEST_F(GuiTest, KeysAndWheelPageWhileThePointerIsInside) {
  LISTBOX list = filled(10);  // TOPINDEX 6
  LISTBOX_GETEVENT(list);     // the pointer is outside the window: its -1 wheel is not stored
  EXPECT_EQ(LASTWHEEL, 0);
  list.TOPINDEX = 8;  // items 8, 9 and two empty rows
  headless::click(headless::now_ms(), 150, 100 + 3 * 16 + 4);
  headless::key(headless::now_ms(), KEY_UP);
  EXPECT_FALSE(LISTBOX_GETEVENT(list));  // no wheel turn on coming back; empty row; key handled
  EXPECT_EQ(list.TOPINDEX, 4);

  const struct { int wheel; std::string_view key; Integer top; } steps[] = {
      {0, KEY_DOWN, 6}, {0, KEY_UP, 2}, {-1, {}, 6}, {1, {}, 2}};
  for (const auto& s : steps) {
    if (s.wheel) headless::wheel(headless::now_ms(), s.wheel);
    if (!s.key.empty()) headless::key(headless::now_ms(), s.key);
    LISTBOX_GETEVENT(list);
    EXPECT_EQ(list.TOPINDEX, s.top);
  }
  headless::key(headless::now_ms(), 'q');  // consumed inside although no paging key
  LISTBOX_GETEVENT(list);
  headless::move(headless::now_ms(), 400, 300);
  headless::key(headless::now_ms(), 'r');  // pointer outside: left for others
  const double before = headless::now_ms();
  EXPECT_FALSE(LISTBOX_GETEVENT(list));
  EXPECT_GE(headless::now_ms(), before + 50);  // the pause happens on every call
  EXPECT_EQ(INPUT_KEY(), "r");
}

TEST(ListBoxDeathTest, IndexPastTheItemArrayStopsWithTheBoundsReport) {
  headless::reset();
  OPENWINDOW(640, 480, "t");
  LISTBOX tall = LISTBOX_NEW(10, 10, 100, 16 * 1002);  // more rows than items can exist
  EXPECT_EXIT(LISTBOX_ADD(tall, "a"), ::testing::ExitedWithCode(6),
              report("6 \\(out of bounds array access\\)", "DISPLAYITEMS"));
}
