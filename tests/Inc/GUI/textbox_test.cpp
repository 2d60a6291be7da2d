// The text field and the line editor: key rules on the record, then whole editing sessions.
#include <climits>

#include "gui_test_support.hpp"

using namespace guitest;

namespace {

const String kL{KEY_LEFT}, kR{KEY_RIGHT}, kHome{KEY_HOME}, kEnd{KEY_END}, kDel{KEY_DELETE}, kBs{KEY_BACKSPACE};

// A record driven by the editor's key rules without a window.
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
  // Expects TEXT, CURSOR and the view start v.
  void is(const String& text, Integer cursor, long long start) const {
    EXPECT_EQ(box.TEXT, text);
    EXPECT_EQ(box.CURSOR, cursor);
    EXPECT_EQ(view.start, start);
  }
};

}  // namespace

TEST(LineEditorKeys, ScrollingByTypingArrowsHomeEndAndBackspace) {
  Editor e(80, "");  // c = 10: nine characters shown
  e.type("abcdefghijkl").is("abcdefghijkl", 12, 3);
  e.press(kHome).is("abcdefghijkl", 0, 0);
  e.press(kEnd).is("abcdefghijkl", 12, 2);  // v = n - c: cursor in column c
  e.press(kHome).press(kR, 10).is("abcdefghijkl", 10, 1);
  e.press(kR, 5).press(kL, 4).is("abcdefghijkl", 8, 3);
  e.press(kBs).is("abcdefgijkl", 7, 2);  // scrolls back though the cursor is mid-field
  e.press(kDel).is("abcdefgjkl", 7, 2);
  e.press(kEnd).press(kDel).press(kHome).press(kBs);  // nothing after / before the cursor
  using std::string_view;
  for (const string_view key : {KEY_ENTER, KEY_TAB, string_view("\x1E"), KEY_UP, string_view(), string_view("ab")})
    e.press(String(key));
  e.is("abcdefgjkl", 0, 0);
}

TEST(LineEditorKeys, ModesReadOnlyAndCursorPastTheText) {
  Editor(80, "", MODE_DIGITS).type("7a8").is("78", 2, 0);
  Editor(80, "abcdef", MODE_TEXT, 1).press(kR, 3).press(kL).press(kDel).press(kBs).type("zz").is("abcdef", 2, 0);

  Editor past(80, "abc");
  past.box.CURSOR = 6;  // as a shorter TEXTBOX_SETTEXT leaves it
  past.press(kR).type("x").is("abcx", 7, 0);
  past.press(kBs, 3).is("abcx", 4, 0);  // only moves back into the text
}

TEST(LineEditorKeys, ExtremeCursorsAndWidthsAreDefined) {
  Editor high(80, "abc");
  high.box.CURSOR = INT_MAX;
  high.type("x").press(kR).press(kDel).is("abcx", INT_MAX, 2);  // saturated, not wrapped
  Editor low(80, "abc");
  low.box.CURSOR = INT_MIN;
  low.press(kL).press(kBs).press(kDel).type("x").is("xabc", INT_MIN + 1, 0);
  for (const Integer w : {0, 5, -80, INT_MIN, INT_MAX}) {
    Editor e(w, "");
    e.type("hello").press(kL, 2).press(kBs).press(kEnd).press(kR).press(kHome).press(kDel);
    EXPECT_EQ(e.box.TEXT, "elo") << "w = " << w;
  }
}

TEST_F(GuiTest, FieldClicksAndAnEditingSession) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "abcdefghijkl", 0, MODE_TEXT);
  for (const auto& [x, cursor] : {std::pair{111, 0}, {112, 1}, {180, 9}}) {  // 180: the right edge
    headless::click(headless::now_ms(), x, 110);
    EXPECT_TRUE(TEXTBOX_GETEVENT(t));
    EXPECT_EQ(t.CURSOR, cursor);
  }
  const double t0 = headless::now_ms();
  headless::key(t0, KEY_END);  // v = 2
  headless::click(t0 + 5, 102, 110);   // column 0 of the view
  headless::click(t0 + 40, 100, 110);  // on the outline: ignored
  headless::move(t0 + 80, 300, 300);   // both buttons outside: ignored
  headless::press(t0 + 80, 3);
  headless::release(t0 + 90, 3);
  headless::type(t0 + 100, "Z\r");
  TEXTBOX_EDIT(t);
  EXPECT_EQ(TEXTBOX_GETTEXT(t), "abZcdefghijkl");
  EXPECT_EQ(t.CURSOR, 3);
  SETTEXT(100, 300, 80, 20, t.TEXT, MODE_TEXT, COLOR_TEXT, COLOR_FIELD);  // from the start, no cursor
  EXPECT_TRUE(same_block(101, 101, 101, 301, 79, 19));

  TEXTBOX_SETTEXT(t, "12a4");
  t.MODE = MODE_DIGITS;
  headless::click(headless::now_ms() + 5, 300, 300);  // a click outside ends editing too
  TEXTBOX_EDIT(t);
  EXPECT_GT(count_of(101, 101, 179, 119, COLOR_CURSOR), 0);  // a non-digit text is never repainted
}

TEST_F(GuiTest, ABurstOfKeysArrivesWholeAndStopsAtEnter) {
  // Twenty letters and Enter at one moment, more than the key queue holds, while the editor runs.
  TEXTBOX t = TEXTBOX_NEW(100, 100, 200, 20, "", 0, MODE_TEXT);
  headless::type(headless::now_ms() + 5, "abcdefghijklmnopqrst\r");
  TEXTBOX_EDIT(t);
  EXPECT_EQ(t.TEXT, "abcdefghijklmnopqrst");
  // Keys behind Enter, all waiting at once, are left for the program.
  headless::type(headless::now_ms(), "xy\rz");
  TEXTBOX_EDIT(t);
  EXPECT_EQ(t.TEXT, "abcdefghijklmnopqrstxy");
  EXPECT_EQ(INPUT_KEY(), "z");
}

TEST_F(GuiTest, TheEditorAsksForTextInputAtItsFieldWhileItEdits) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, "ab", 0, MODE_TEXT);
  EXPECT_EQ(headless::text_input(), headless::Field{});
  headless::Field during;
  headless::at(headless::now_ms() + 20, [&] { during = headless::text_input(); });
  headless::key(headless::now_ms() + 30, KEY_END);
  headless::type(headless::now_ms() + 40, "c\r");
  TEXTBOX_EDIT(t);
  EXPECT_EQ(during, (headless::Field{100, 100, 80, 20}));
  EXPECT_EQ(headless::text_input(), headless::Field{});
  EXPECT_EQ(t.TEXT, "abc");
  // Any numbers name a field of at least one pixel.
  SCREEN_TEXT_INPUT(INT_MIN, 5, 0, -3);
  EXPECT_EQ(headless::text_input(), (headless::Field{-(1 << 24), 5, 1, 1}));
  SCREEN_TEXT_INPUT_END();
  EXPECT_EQ(headless::text_input(), headless::Field{});
}

TEST_F(GuiTest, EditOfAHugeTextKeepsEveryCharacter) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 80, 20, String(100000, 'x'), 0, MODE_TEXT);
  const double t0 = headless::now_ms();
  // One key per pass: each pass's frame waits for the presenter (a pass every 10 ms) to take
  // the one before.
  headless::key(t0, KEY_END);
  for (int i = 0; i < 500; ++i) headless::key(t0 + 1 + 12 * i, i % 2 ? 8 : 'y');  // 8: Backspace
  headless::key(t0 + 6005, KEY_HOME);
  for (int i = 0; i < 500; ++i) headless::key(t0 + 6010 + 12 * i, i % 2 ? KEY_DELETE : "z");
  headless::key(t0 + 12100, 13);  // Enter
  TEXTBOX_EDIT(t);  // about 1200 passes; their cost is measured by bench_gui
  EXPECT_EQ(t.TEXT.size(), 100000u);
  EXPECT_EQ(t.TEXT.substr(0, 251), String(250, 'z') + "x");
}

// The cursor may stand on the right border (last column), right of it (after End) or reach
// above and below a low field; none of that may stay once editing ends. The field sits on a
// patterned background so that a pixel put back in the wrong place shows.
TEST_F(GuiTest, CursorLeavesNoMarkOutsideTheInterior) {
  struct Case {
    Integer w, h;
    String text;
    std::vector<Integer> keys;  // Enter follows
  };
  const Integer kEndKey = surf::key_code(KEY_END), kHomeKey = surf::key_code(KEY_HOME),
                kRightKey = surf::key_code(KEY_RIGHT);
  const Case cases[] = {
      {80, 20, "2.0", {kEndKey, '1', '2', '3', '4', '5', '6', '7'}},   // ends in the last column
      {80, 20, String(30, 'x'), {kEndKey, kRightKey, 'y', kEndKey}},   // after End: column c
      {85, 20, "abc", {kEndKey, 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', kEndKey}},
      {12, 20, "ab", {kEndKey, 'c', kHomeKey, kRightKey, kRightKey}},  // narrow fields
      {3, 20, "", {'a', 'b', kEndKey}},
      {80, 10, "abc", {kEndKey, kHomeKey, kRightKey}},                  // lower than a text row
      {80, 2, "abc", {kRightKey, kRightKey, kEndKey}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "w " << k.w << " h " << k.h);
    SetUp();
    constexpr int kX = 200, kY = 200, kMargin = 20;
    for (int y = kY - kMargin; y <= kY + k.h + kMargin; ++y)
      for (int x = kX - kMargin; x <= kX + k.w + kMargin; ++x)
        SCREEN_PSET(nullptr, x, y, static_cast<Integer>(0x10000 * (x & 0x7F) + 0x100 * (y & 0x7F) + (x ^ y)), 4);
    TEXTBOX t = TEXTBOX_NEW(kX, kY, k.w, k.h, k.text, 0, MODE_TEXT);
    const auto outside = [&] {
      std::vector<std::uint32_t> px;
      for (int y = kY - kMargin; y <= kY + k.h + kMargin; ++y)
        for (int x = kX - kMargin; x <= kX + k.w + kMargin; ++x)
          if (x <= kX || x >= kX + k.w || y <= kY || y >= kY + k.h) px.push_back(headless::pixel(x, y));
      return px;
    };
    const auto before = outside();
    const double t0 = headless::now_ms();
    for (std::size_t i = 0; i < k.keys.size(); ++i) headless::key(t0 + 2 + 2 * i, k.keys[i]);
    bool cursor_seen = false;  // while editing, after the last key
    headless::at(t0 + 3 + 2 * k.keys.size(), [&] { cursor_seen = count_of(0, 0, 639, 479, COLOR_CURSOR) > 0; });
    headless::key(t0 + 5 + 2 * k.keys.size(), KEY_ENTER);
    TEXTBOX_EDIT(t);
    EXPECT_EQ(outside(), before);
    EXPECT_TRUE(cursor_seen);
  }
}

TEST(LineEditorKeys, DecimalModeKeepsTheTextABeginningOfANumber) {
  // One sign, one point or comma, an exponent after a digit; everything else is refused.
  Editor(200, "", MODE_DECIMAL).type("-0,01e-5x+.a3").is("-0,01e-53", 9, 0);
  Editor(200, "", MODE_DECIMAL).type("e+.,5E2").is("+.5E2", 5, 0);
  Editor(200, "", MODE_DECIMAL).type("1e2e3.4E").is("1e234", 5, 0);
  // The whole text counts, not the keys next to the cursor.
  Editor e(200, "12", MODE_DECIMAL);
  e.press(kHome).type("-+").press(kEnd).type(".,").is("-12.", 4, 0);
  e.press(kHome).press(kR, 2).type(".5").is("-152.", 3, 0);
  // Deleting may leave half a number; typing then repairs it or is refused.
  Editor d(200, "1e5", MODE_DECIMAL);
  d.press(kHome).press(kDel).is("e5", 0, 0);
  d.type("-").is("e5", 0, 0);
  d.type("2").is("2e5", 1, 0);
  Editor(200, "", MODE_DECIMAL, 1).type("12").is("", 0, 0);  // read-only stays so
}

TEST_F(GuiTest, DecimalFieldIsDrawnAndEditedLikeAnyText) {
  TEXTBOX t = TEXTBOX_NEW(100, 100, 120, 20, "-1,5e3", 0, MODE_DECIMAL);
  SETTEXT(100, 300, 120, 20, "-1,5e3", MODE_TEXT, COLOR_TEXT, COLOR_FIELD);
  EXPECT_GT(count_of(101, 101, 219, 119, COLOR_TEXT), 20);
  EXPECT_TRUE(same_block(101, 101, 101, 301, 119, 19));
  headless::click(headless::now_ms(), 219, 110);
  EXPECT_TRUE(TEXTBOX_GETEVENT(t));
  headless::type(headless::now_ms() + 10, "x7,\r");
  TEXTBOX_EDIT(t);
  EXPECT_EQ(TEXTBOX_GETTEXT(t), "-1,5e37");
  Double v = 0;
  EXPECT_TRUE(STR_READ_DECIMAL(t.TEXT, v));
  EXPECT_EQ(v, -1.5e37);
}
