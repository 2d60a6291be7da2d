// Panel, frame and the two modal dialogs: geometry, answers and the restored picture.
#include <cstdint>
#include <vector>

#include "gui_test_support.hpp"

using namespace guitest;

namespace {

std::vector<std::uint32_t> snapshot() {
  std::vector<std::uint32_t> px;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) px.push_back(headless::pixel(x, y));
  return px;
}

// A busy picture behind the dialogs, so that a faulty restore cannot go unnoticed.
void busy_background() {
  for (int i = 0; i < 40; ++i)
    SCREEN_LINE(nullptr, static_cast<Single>(i * 16), 0, static_cast<Single>(639 - i * 16), 479, 0x102030 * i, 0);
}

}  // namespace

TEST_F(GuiTest, PanelAndFrameGeometry) {
  PANEL_NEW(100, 100, 200, 120, "Titel");
  EXPECT_EQ(count_of(100, 100, 300, 120, COLOR_TITLE) + count_of(100, 100, 300, 120, COLOR_FIELD), 201 * 21);
  EXPECT_EQ(rgb(100, 121), COLOR_TITLE);
  EXPECT_EQ(rgb(300, 220), COLOR_TITLE);
  EXPECT_EQ(count_of(101, 121, 299, 219, COLOR_BACKGROUND), 199 * 99);
  SCREEN_DRAW_TEXT(nullptr, 10, 300, 4, "Titel", COLOR_FIELD);
  EXPECT_EQ(points_of(100, 100, 300, 120, COLOR_FIELD, 110, 102), points_of(0, 290, 99, 330, COLOR_FIELD, 10, 300));

  SCREEN_LINE(nullptr, 0, 0, 639, 479, 0x336699, 2);
  FRAME_NEW(50, 100, 200, 80, "Optionen");
  EXPECT_EQ(rgb(58, 100), COLOR_BORDER);
  EXPECT_EQ(rgb(130, 100), COLOR_BORDER);
  EXPECT_EQ(rgb(250, 180), COLOR_BORDER);
  // Caption cell (59, 93)-(129, 107) cleared, its edge untouched, the caption at (62, 92).
  EXPECT_EQ(count_of(59, 93, 129, 107, COLOR_BACKGROUND) + count_of(59, 93, 129, 107, COLOR_TEXT), 71 * 15);
  EXPECT_EQ(rgb(59, 92), 0x336699u);
  EXPECT_EQ(rgb(58, 93), 0x336699u);
  SCREEN_DRAW_TEXT(nullptr, 300, 300, 4, "Optionen", COLOR_TEXT);
  EXPECT_EQ(points_of(0, 80, 290, 120, COLOR_TEXT, 62, 92), points_of(290, 290, 639, 330, COLOR_TEXT, 300, 300));
}

TEST(DialogLayout, ButtonPositions) {
  // The sessions below click at the positions; here the sums and the Integer limit.
  EXPECT_EQ(gui::msgbox_layout(0, "Ja", "Nein", "Abbruch").x[2], 32 + 48 + 40);
  EXPECT_EQ(gui::msgbox_layout(2147483600, "", "", "").x[0], 2147483610);

  EXPECT_EQ(gui::inputbox_ok_x(100, 201), 170);  // 170.5 to even
  EXPECT_EQ(gui::inputbox_ok_x(100, 203), 172);  // 171.5 to even
  EXPECT_EQ(gui::inputbox_ok_x(2147483647, 2147483647), 2147483647);
}

TEST_F(GuiTest, MsgboxAnswersWithTheClickedButtonAndRestoresThePicture) {
  busy_background();
  const auto before = snapshot();
  double t = headless::now_ms();
  headless::click(t + 5, 151, 170);  // gap between button 1 (110..142) and 2 (152..200)
  headless::click(t + 50, 152, 180);
  EXPECT_EQ(MSGBOX(100, 100, 300, "Frage", "Weiter?", "Ok", "Nein", ""), 1);
  EXPECT_EQ(snapshot(), before);

  t = headless::now_ms();
  headless::click(t + 5, 142, 160);
  EXPECT_EQ(MSGBOX(100, 100, 300, "Frage", "Weiter?", "Ok", "Nein", ""), 0);
  EXPECT_EQ(snapshot(), before);

  t = headless::now_ms();
  headless::click(t + 5, 160, 170);  // where button 2 would be
  headless::click(t + 50, 172, 170);
  EXPECT_EQ(MSGBOX(100, 100, 300, "Frage", "Text", "Ok", "", "Ende"), 2);
  EXPECT_GE(headless::now_ms(), t + 50);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(GuiTest, InputBoxReturnsTheTextAndRestoresThePicture) {
  busy_background();
  const auto before = snapshot();
  // Field (110, 160)-(290, 180); "Ok" (170, 190)-(230, 210).
  double t = headless::now_ms();
  headless::click(t + 5, 280, 170);  // cursor after the initial text
  headless::type(t + 40, "abc");
  headless::key(t + 60, KEY_ENTER);
  headless::click(t + 200, 169, 200);  // one left of "Ok"
  headless::click(t + 400, 170, 200);
  EXPECT_EQ(INPUTBOX(100, 100, 200, "Eingabe", "Name:", "xy", 0), "xyabc");
  EXPECT_GE(headless::now_ms(), t + 400);
  EXPECT_EQ(snapshot(), before);

  // A click on "Ok" while editing ends the editor and the dialog at once.
  t = headless::now_ms();
  headless::click(t + 5, 115, 170);
  headless::type(t + 40, "1");
  headless::click(t + 200, 200, 205);
  EXPECT_EQ(INPUTBOX(100, 100, 200, "Eingabe", "Zahl:", "23", 0), "123");
  EXPECT_EQ(snapshot(), before);

  t = headless::now_ms();
  headless::click(t + 5, 280, 170);
  headless::key(t + 40, KEY_BACKSPACE);
  headless::type(t + 41, "zz");
  headless::key(t + 60, KEY_ENTER);
  headless::click(t + 200, 229, 209);
  EXPECT_EQ(INPUTBOX(100, 100, 200, "Info", "Nur lesen:", "fest", 1), "fest");
  EXPECT_EQ(snapshot(), before);
}
