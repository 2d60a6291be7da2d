// Opening the window, the close test and the shared text cell.
#include "gui_test_support.hpp"

using namespace guitest;

namespace {

constexpr Integer kBlock = 0xDB;  // a glyph with ink in every column of its cell

String blocks(int n) { return String(static_cast<std::size_t>(n), static_cast<char>(kBlock)); }

}  // namespace

TEST(OpenWindow, SetsTheCellGridAndClearsToBackground) {
  headless::reset();
  OPENWINDOW(480, 600, "Fenster");
  EXPECT_EQ(SCREEN_SET_TEXT_GRID(0, 0), 60 | (37 << 16));
  EXPECT_EQ(count_of(0, 0, 479, 599, COLOR_BACKGROUND), 480 * 600);
}

TEST(OpenWindowDeathTest, FailuresNameTheProcedure) {
  const char* report = "\nAborting due to runtime error 1 \\(illegal function call\\) at line [0-9]+ of "
                       "Inc/GUI::OPENWINDOW\\(\\)\n\n";
  EXPECT_EXIT((headless::reset(), OPENWINDOW(0, 0, "x")), ::testing::ExitedWithCode(1), report);
  // Too small for one 8x16 cell: the grid call only queries, which must not pass for success.
  EXPECT_EXIT((headless::reset(), OPENWINDOW(7, 15, "x")), ::testing::ExitedWithCode(1), report);
}

TEST_F(GuiTest, WindowEventCloseTakesOneKeyPerCall) {
  headless::key(0, 'a');
  headless::close_request(0);
  headless::key(0, 'b');
  EXPECT_FALSE(WINDOW_EVENT_CLOSE());  // 'a' is consumed
  EXPECT_TRUE(WINDOW_EVENT_CLOSE());
  EXPECT_EQ(INPUT_KEY(), "b");
  EXPECT_FALSE(WINDOW_EVENT_CLOSE());  // nothing waiting
}

TEST_F(GuiTest, SetTextCutsToTheCellWidthAndKeepsTheEdge) {
  SCREEN_LINE(nullptr, 10, 10, 110, 30, 0x123456, 2);
  SETTEXT(10, 10, 100, 20, blocks(20), MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  // (100 - 8) \ 8 = 11 characters from x + 4: ink up to x + 91, never beyond.
  EXPECT_GT(count_of(94, 11, 101, 29, COLOR_TEXT), 0);
  EXPECT_EQ(count_of(102, 11, 109, 29, COLOR_TEXT), 0);
  EXPECT_EQ(count_of(14, 11, 101, 29, COLOR_TEXT) + count_of(14, 11, 101, 29, COLOR_FIELD), 88 * 19);
  // The one-pixel edge is untouched.
  EXPECT_EQ(rgb(10, 10), 0x123456u);
  EXPECT_EQ(rgb(110, 30), 0x123456u);
  EXPECT_EQ(rgb(60, 30), 0x123456u);

  SETTEXT(200, 10, 15, 20, "abc", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);  // w < 16: fill only
  EXPECT_EQ(count_of(201, 11, 214, 29, COLOR_FIELD), 14 * 19);
}

TEST_F(GuiTest, SetTextCentresVerticallyWithHalvesDownward) {
  for (const Integer h : {20, 21, 16, 40}) {
    SCREEN_LINE(nullptr, 0, 0, 639, 479, COLOR_BACKGROUND, 2);
    SETTEXT(10, 10, 100, h, "Hg", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
    SCREEN_LINE(nullptr, 300, 100, 340, 140, COLOR_FIELD, 2);
    SCREEN_DRAW_TEXT(nullptr, 304, 110, 4, "Hg", COLOR_TEXT);
    const int top = h == 20 ? 12 : h == 21 ? 13 : h == 16 ? 10 : 22;  // y + (h - 16) / 2, half rounded down the page
    EXPECT_EQ(points_of(14, 10, 108, 10 + h, COLOR_TEXT, 14, top), points_of(300, 100, 340, 140, COLOR_TEXT, 304, 110))
        << "h = " << h;
  }
}

TEST_F(GuiTest, SetTextDigitsModeDrawsOnlyAllDigitTexts) {
  SCREEN_LINE(nullptr, 10, 10, 110, 30, 0x123456, 2);
  SETTEXT(10, 10, 100, 20, "12a4", MODE_DIGITS, COLOR_TEXT, COLOR_FIELD);
  EXPECT_EQ(count_of(10, 10, 110, 30, 0x123456), 101 * 21);  // cell exactly as it was

  SETTEXT(10, 10, 100, 20, "", MODE_DIGITS, COLOR_TEXT, COLOR_FIELD);  // empty clears the cell
  EXPECT_EQ(count_of(11, 11, 109, 29, COLOR_FIELD), 99 * 19);

  SETTEXT(10, 10, 100, 20, "1234", MODE_DIGITS, COLOR_TEXT, COLOR_FIELD);
  SETTEXT(10, 100, 100, 20, "1234", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(11, 11, 11, 101, 99, 19));

  SCREEN_LINE(nullptr, 10, 10, 110, 30, 0x123456, 2);
  SETTEXT(10, 10, 100, 20, "12", 3, COLOR_TEXT, COLOR_FIELD);  // unknown mode: nothing
  EXPECT_EQ(count_of(10, 10, 110, 30, 0x123456), 101 * 21);
}

TEST_F(GuiTest, SetTextMaskedShowsOneStarPerShownCharacter) {
  SETTEXT(10, 10, 60, 20, "abcdefghij", MODE_MASKED, COLOR_TEXT, COLOR_FIELD);
  SETTEXT(10, 100, 60, 20, "******", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 61, 21));

  SETTEXT(10, 10, 60, 20, "abc", MODE_MASKED, COLOR_TEXT, COLOR_FIELD);
  SETTEXT(10, 100, 60, 20, "***", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(10, 10, 10, 100, 61, 21));
}

TEST_F(GuiTest, SetTextWithExtremeGeometryIsDefined) {
  const Integer big = 2147483647, small = -2147483647 - 1;
  SETTEXT(big, big, big, big, blocks(40), MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  SETTEXT(small, small, small, small, blocks(40), MODE_MASKED, COLOR_TEXT, COLOR_FIELD);
  SETTEXT(-50, -50, big, 100, blocks(3), MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_EQ(rgb(0, 0), COLOR_FIELD);
}
