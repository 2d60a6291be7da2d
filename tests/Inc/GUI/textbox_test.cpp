// The text field and the line editor: key rules on the record, then whole editing sessions.
#include <chrono>
#include <climits>

#include "gui_test_support.hpp"

using namespace guitest;

namespace {

const String kL{"\xFF" "K"}, kR{"\xFF" "M"}, kHomeKey{"\xFF" "G"}, kEndKey{"\xFF" "O"}, kDel{"\xFF" "S"}, kBs{"\b"};

// A text box record driven by the editor's key rules without a window.
struct Editor {
  TEXTBOX box;
  gui::EditView view;
  Editor(Integer w, String text, Integer mode = MODE_TEXT, Integer readonly = 0)
      : box{0, 0, w, 20, std::move(text), readonly, mode, 0}, view{w / 8} {}
  Editor& press(const String& key, int times = 1) {
    for (int i = 0; i < times; ++i) gui::edit_key(box, view, key);
    return *this;
  }
  Editor& type(const String& text) {
    for (const char ch : text) press(String(1, ch));
    return *this;
  }
  long long column() const { return box.CURSOR - view.start; }
};

}  // namespace

TEST(LineEditorKeys, TypingHomeAndEndScrollTheView) {
  Editor e(80, "");  // c = 10: nine characters shown
  e.type("abcdefghijkl");
  EXPECT_EQ(e.box.TEXT, "abcdefghijkl");
  EXPECT_EQ(e.box.CURSOR, 12);
  EXPECT_EQ(e.view.start, 3);
  EXPECT_EQ(e.column(), 9);
  e.press(kHomeKey);
  EXPECT_EQ(e.box.CURSOR, 0);
  EXPECT_EQ(e.view.start, 0);
  e.press(kEndKey);  // v = n - c: cursor in column c, last character hidden
  EXPECT_EQ(e.box.CURSOR, 12);
  EXPECT_EQ(e.view.start, 2);
  EXPECT_EQ(e.column(), 10);

  Editor shortText(80, "abc");
  shortText.press(kEndKey);
  EXPECT_EQ(shortText.box.CURSOR, 3);
  EXPECT_EQ(shortText.view.start, 0);
}

TEST(LineEditorKeys, ArrowsKeepTheCursorInTheField) {
  Editor e(80, "abcdefghijkl");
  e.press(kR, 10);
  EXPECT_EQ(e.box.CURSOR, 10);
  EXPECT_EQ(e.view.start, 1);
  e.press(kR, 5);  // stops at the end of the text
  EXPECT_EQ(e.box.CURSOR, 12);
  EXPECT_EQ(e.view.start, 3);
  e.press(kL, 4);
  EXPECT_EQ(e.box.CURSOR, 8);
  EXPECT_EQ(e.view.start, 3);
  e.press(kL, 20);
  EXPECT_EQ(e.box.CURSOR, 0);
  EXPECT_EQ(e.view.start, 0);
}

TEST(LineEditorKeys, DeleteAndBackspace) {
  Editor e(80, "");
  e.type("abcdefghijkl").press(kL, 5);  // cursor 7, v 3
  e.press(kBs);  // removes 'g' and scrolls back although the cursor is mid-field
  EXPECT_EQ(e.box.TEXT, "abcdefhijkl");
  EXPECT_EQ(e.box.CURSOR, 6);
  EXPECT_EQ(e.view.start, 2);
  e.press(kDel);  // removes 'h'; cursor and view stay
  EXPECT_EQ(e.box.TEXT, "abcdefijkl");
  EXPECT_EQ(e.box.CURSOR, 6);
  EXPECT_EQ(e.view.start, 2);
  e.press(kEndKey).press(kDel);  // nothing after the cursor
  EXPECT_EQ(e.box.TEXT, "abcdefijkl");
  e.press(kHomeKey).press(kBs);  // nothing before it
  EXPECT_EQ(e.box.TEXT, "abcdefijkl");
  e.press(kDel);
  EXPECT_EQ(e.box.TEXT, "bcdefijkl");
}

TEST(LineEditorKeys, ModesAndReadOnly) {
  Editor digits(80, "", MODE_DIGITS);
  digits.type("7a8");
  EXPECT_EQ(digits.box.TEXT, "78");
  EXPECT_EQ(digits.box.CURSOR, 2);

  Editor masked(80, "", MODE_MASKED);
  masked.type("xyz");
  EXPECT_EQ(masked.box.TEXT, "xyz");

  Editor other(80, "", 9);  // unknown mode: nothing is inserted
  other.type("q");
  EXPECT_EQ(other.box.TEXT, "");

  Editor ro(80, "abcdef", MODE_TEXT, 1);
  ro.press(kR, 3).press(kL);
  EXPECT_EQ(ro.box.CURSOR, 2);
  ro.press(kDel).press(kBs).type("zz");
  EXPECT_EQ(ro.box.TEXT, "abcdef");
  EXPECT_EQ(ro.box.CURSOR, 2);
  ro.press(kEndKey);
  EXPECT_EQ(ro.box.CURSOR, 6);
  ro.press(kHomeKey);
  EXPECT_EQ(ro.box.CURSOR, 0);
}

TEST(LineEditorKeys, IgnoredKeys) {
  Editor e(80, "abc");
  e.press(kR);
  for (const String& key : {String{"\r"}, String{"\t"}, String{"\x1B"}, String{"\x1E"}, String{"\xFF" "H"},
                            String{"\xFF" "P"}, String{"\xFF" "I"}, String{}, String{"ab"}})
    e.press(key);
  EXPECT_EQ(e.box.TEXT, "abc");
  EXPECT_EQ(e.box.CURSOR, 1);
  e.type(" ");  // code 32 is printable
  EXPECT_EQ(e.box.TEXT, "a bc");
}

TEST(LineEditorKeys, CursorPastTheText) {
  Editor e(80, "abc");
  e.box.CURSOR = 6;  // left so by a shorter TEXTBOX_SETTEXT
  e.press(kR);
  EXPECT_EQ(e.box.CURSOR, 6);
  e.type("x");  // appends at the end
  EXPECT_EQ(e.box.TEXT, "abcx");
  EXPECT_EQ(e.box.CURSOR, 7);
  e.press(kBs, 3);  // only moves back until inside the text again
  EXPECT_EQ(e.box.TEXT, "abcx");
  EXPECT_EQ(e.box.CURSOR, 4);
  e.press(kBs);
  EXPECT_EQ(e.box.TEXT, "abc");
}

TEST(LineEditorKeys, ExtremeCursorsAndWidthsAreDefined) {
  Editor high(80, "abc");
  high.box.CURSOR = INT_MAX;
  high.type("x").press(kR).press(kDel);
  EXPECT_EQ(high.box.TEXT, "abcx");
  EXPECT_EQ(high.box.CURSOR, INT_MAX);  // saturated, not wrapped

  Editor low(80, "abc");
  low.box.CURSOR = INT_MIN;
  low.press(kL).press(kBs).press(kDel);
  EXPECT_EQ(low.box.TEXT, "abc");
  EXPECT_GE(low.view.start, 0);
  low.type("x");
  EXPECT_EQ(low.box.TEXT, "xabc");
  EXPECT_EQ(low.box.CURSOR, INT_MIN + 1);

  for (const Integer w : {0, 5, -80, INT_MIN, INT_MAX}) {
    Editor e(w, "");
    e.type("hello").press(kL, 2).press(kBs).press(kEndKey).press(kR).press(kHomeKey).press(kDel);
    EXPECT_EQ(e.box.TEXT, "elo") << "w = " << w;
  }
}

TEST(LineEditorKeys, ClickColumnsCountFromTheView) {
  Editor e(80, "abcdefghijkl");
  e.box.X = 100;
  e.view.start = 2;
  gui::edit_click(e.box, e.view, 102);
  EXPECT_EQ(e.box.CURSOR, 2);
  gui::edit_click(e.box, e.view, 100 + 4 + 8 * 5);
  EXPECT_EQ(e.box.CURSOR, 7);
  gui::edit_click(e.box, e.view, 100 + 4 + 8 * 30);
  EXPECT_EQ(e.box.CURSOR, 12);
}

// ---- Whole sessions on the headless surface ----------------------------------------

TEST_F(GuiTest, TextBoxNewAndSetTextDrawTheField) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "1.5", 0, MODE_TEXT);
  EXPECT_EQ(t.CURSOR, 0);
  EXPECT_EQ(rgb(100, 100), COLOR_BORDER);
  SETTEXT(100, 300, 80, 20, "1.5", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(101, 101, 101, 301, 79, 19));

  t.CURSOR = 3;
  t.READONLY = 1;
  TEXTBOX_SETTEXT(t, "7");  // not blocked by READONLY; CURSOR kept
  EXPECT_EQ(TEXTBOX_GETTEXT(t), "7");
  EXPECT_EQ(t.CURSOR, 3);
  SETTEXT(100, 300, 80, 20, "7", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(101, 101, 101, 301, 79, 19));
}

TEST_F(GuiTest, TextBoxEventPlacesTheCursor) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "abcdef", 1, MODE_TEXT);
  headless::click(headless::now_ms(), 111, 110);
  EXPECT_TRUE(TEXTBOX_GETEVENT(t));
  EXPECT_EQ(t.CURSOR, 0);
  headless::click(headless::now_ms(), 112, 110);
  EXPECT_TRUE(TEXTBOX_GETEVENT(t));
  EXPECT_EQ(t.CURSOR, 1);
  headless::click(headless::now_ms(), 180, 120);  // corner, past the text
  EXPECT_TRUE(TEXTBOX_GETEVENT(t));
  EXPECT_EQ(t.CURSOR, 6);
  headless::click(headless::now_ms(), 181, 110);
  EXPECT_FALSE(TEXTBOX_GETEVENT(t));
}

TEST_F(GuiTest, EditEndsOnEnterAndRedrawsWithoutCursor) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "", 0, MODE_TEXT);
  headless::type(headless::now_ms(), "abcdefghijkl");
  headless::key(headless::now_ms() + 30, kEnter);
  TEXTBOX_EDIT(t);
  EXPECT_EQ(t.TEXT, "abcdefghijkl");
  EXPECT_EQ(t.CURSOR, 12);
  EXPECT_EQ(count_of(101, 101, 179, 119, COLOR_CURSOR), 0);
  SETTEXT(100, 300, 80, 20, "abcdefghijkl", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_TRUE(same_block(101, 101, 101, 301, 79, 19));
  EXPECT_EQ(INPUT_KEY(), "");  // Enter was consumed, not inserted
}

TEST_F(GuiTest, EditClickInsideMovesCursorFromTheView) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "abcdefghijkl", 0, MODE_TEXT);
  const double t0 = headless::now_ms();
  headless::key(t0, kEnd);  // v = 2
  headless::click(t0 + 5, 102, 110);
  headless::key(t0 + 60, kEnter);
  TEXTBOX_EDIT(t);
  EXPECT_EQ(t.CURSOR, 2);
}

TEST_F(GuiTest, EditEndsOnlyOnAClearOutsideClick) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "abc", 0, MODE_TEXT);
  t.CURSOR = 2;
  const double t0 = headless::now_ms();
  headless::click(t0 + 1, 100, 110);  // on the outline: ignored
  headless::move(t0 + 40, 300, 300);  // both buttons outside: ignored
  headless::press(t0 + 40, 3);
  headless::release(t0 + 50, 3);
  headless::click(t0 + 60, 300, 300);  // ends editing
  TEXTBOX_EDIT(t);
  EXPECT_GE(headless::now_ms(), t0 + 60);
  EXPECT_LT(headless::now_ms(), t0 + 63);
  EXPECT_EQ(t.CURSOR, 2);
  EXPECT_EQ(t.TEXT, "abc");
}

TEST_F(GuiTest, EditOfDigitFieldWithLetterLeavesOnlyCursorMarks) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "12a4", 0, MODE_DIGITS);
  headless::key(headless::now_ms() + 3, kEnter);
  TEXTBOX_EDIT(t);
  EXPECT_GT(count_of(101, 101, 179, 119, COLOR_CURSOR), 0);  // never repainted by the text cell
}

TEST_F(GuiTest, EditOfAHugeTextStaysResponsive) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, String(100000, 'x'), 0, MODE_TEXT);
  const double t0 = headless::now_ms();
  headless::key(t0, kEnd);
  for (int i = 0; i < 500; ++i) headless::key(t0 + 1 + 4 * i, i % 2 ? kBackspace : 'y');
  headless::key(t0 + 1 + 4 * 500 + 1, kHome);
  for (int i = 0; i < 500; ++i) headless::key(t0 + 2010 + 4 * i, i % 2 ? kDelete : 'z');
  headless::key(t0 + 4100, kEnter);
  const auto start = std::chrono::steady_clock::now();
  TEXTBOX_EDIT(t);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(t.TEXT.size(), 100000u);
  EXPECT_EQ(t.CURSOR, 250);
  EXPECT_EQ(t.TEXT.substr(0, 251), String(250, 'z') + "x");
  EXPECT_LT(seconds, 3.0);  // about 4000 passes
}
