// The gallery on the headless backend: a scripted session through every widget and dialog.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gallery.hpp"
#include "surface/headless.hpp"

namespace {

std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }

// Colours of the block (x0, y0)-(x1, y1).
std::vector<std::uint32_t> block(int x0, int y0, int x1, int y1) {
  std::vector<std::uint32_t> px;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) px.push_back(rgb(x, y));
  return px;
}

class GalleryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    gallery::open_window(g);
  }
  // Polls until the virtual clock has passed `ms` from now.
  void run_for(double ms) {
    const double end = headless::now_ms() + ms;
    while (headless::now_ms() < end) gallery::poll_widgets(g);
  }
  // A click held long enough for a loop that passes every 50 ms, then polled through.
  void click(int x, int y) {
    headless::click(headless::now_ms() + 1, x, y, 80);
    run_for(150);
  }
  gallery::Gallery g;
};

}  // namespace

TEST_F(GalleryTest, ScriptedSessionDrivesEveryWidget) {
  EXPECT_EQ(rgb(575, 44), COLOR_BUTTON_FACE);  // knob at value 0
  EXPECT_EQ(rgb(572, 80), COLOR_SELECTION);    // one-pixel bar
  EXPECT_EQ(rgb(335, 35), COLOR_SELECTION);    // first list row chosen and in view
  EXPECT_EQ(rgb(400, 165), COLOR_TITLE);       // panel title bar

  click(40, 136);  // "Grid"
  EXPECT_EQ(g.grid_box.CHECKED, 1);
  EXPECT_EQ(g.choice_label.CAPTION, "Grid on, sound off, Medium");
  click(220, 196);  // "Large"
  EXPECT_EQ(g.sizes[2].CHECKED, 1);
  EXPECT_EQ(g.sizes[1].CHECKED, 0);
  EXPECT_EQ(g.choice_label.CAPTION, "Grid on, sound off, Large");

  click(340, 32 + 2 * 16 + 5);  // third list row
  EXPECT_EQ(g.list.INDEX, 2);
  EXPECT_EQ(g.list_label.CAPTION, "List: Item 3");

  // Drag the knob from value 50 to 100: the progress bar follows.
  double t = headless::now_ms() + 1;
  headless::move(t, 675, 44);
  headless::press(t);
  run_for(120);
  EXPECT_EQ(TRACKBAR_GETVALUE(g.slider), 50);
  EXPECT_EQ(g.progress.VALUE, 50);
  EXPECT_EQ(rgb(675, 80), COLOR_SELECTION);  // 572 + 50 * 206 / 100
  EXPECT_EQ(rgb(676, 80), COLOR_FIELD);
  headless::move(headless::now_ms(), 775, 44);
  run_for(120);
  headless::release(headless::now_ms());
  run_for(60);
  EXPECT_EQ(g.progress.VALUE, 100);
  EXPECT_EQ(g.slider_label.CAPTION, "Value: 100");
  EXPECT_EQ(rgb(778, 80), COLOR_SELECTION);

  // Digits only: the letter is dropped.
  headless::click(headless::now_ms() + 1, 280, 286, 80);
  t = headless::now_ms() + 120;
  headless::type(t, "7x");
  headless::key(t + 10, 13);
  run_for(200);
  EXPECT_EQ(TEXTBOX_GETTEXT(g.number_field), "427");
}

TEST_F(GalleryTest, DialogsAnswerAndLeaveThePictureAsItWas) {
  const auto under_input = block(250, 110, 550, 230);
  // The input box opens at (250, 110), 300 wide: field (260, 170)-(540, 190), "Ok" at x 370, y 200.
  double t = headless::now_ms() + 1;
  headless::click(t, 60, 40, 80);
  headless::click(t + 150, 530, 180, 20);  // field, cursor after "Hello"
  headless::type(t + 300, ", world");
  headless::key(t + 310, 13);
  headless::click(t + 400, 400, 210, 20);
  run_for(600);
  EXPECT_EQ(TEXTBOX_GETTEXT(g.name_field), "Hello, world");
  EXPECT_EQ(g.answer.CAPTION, "Answer: Hello, world");
  EXPECT_EQ(block(250, 110, 550, 230), under_input);

  // The message box at (220, 120): "Yes" at 230 (40 wide), "No" at 280 (32), "Not sure" at 332 (80).
  const auto under_message = block(220, 120, 580, 210);
  t = headless::now_ms() + 1;
  headless::click(t, 200, 40, 80);
  headless::click(t + 150, 275, 190, 20);  // between "Yes" and "No": nothing
  headless::click(t + 300, 290, 190, 20);
  run_for(400);
  EXPECT_EQ(g.answer.CAPTION, "Answer: No");
  EXPECT_EQ(block(220, 120, 580, 210), under_message);
}

TEST(GalleryRun, EndsOnTheCloseRequest) {
  headless::reset();
  headless::click(100, 200, 40, 80);  // message box
  headless::click(250, 400, 190, 20);  // "Not sure"
  headless::close_request(350);
  EXPECT_EQ(gallery::run(), 0);
  EXPECT_GE(headless::now_ms(), 350);
  const auto answer = block(20, 66, 290, 86);
  LABEL_NEW(20, 66, 270, 20, "Answer: Not sure");
  EXPECT_EQ(block(20, 66, 290, 86), answer);
  EXPECT_LT(headless::now_ms(), 550);
}

TEST_F(GalleryTest, OffersEveryKindOfControlAndInsideTheMessageBoxOnlyItsButtons) {
  run_for(200);
  const auto& idle = headless::offered().controls();
  ASSERT_EQ(idle.size(), 12u);  // 2 buttons, 2 check boxes, 3 radio buttons, 3 fields, the list, the track bar
  std::vector<std::string> seen;
  for (const surf::Control& c : idle) {
    switch (c.kind) {
      case surf::ControlKind::Radio:
        seen.push_back("radio " + c.name + (c.checked ? " checked" : "") + " of group at " + std::to_string(c.group_x));
        break;
      case surf::ControlKind::Field: seen.push_back("field " + c.name + "=" + c.text); break;
      case surf::ControlKind::List:
        seen.push_back("list of " + std::to_string(c.items.size()) + ", " + std::to_string(c.rows) + " rows");
        break;
      case surf::ControlKind::Slider:
        seen.push_back("slider " + std::to_string(c.min) + ".." + std::to_string(c.max) + " at " + std::to_string(c.value));
        break;
      default: seen.push_back(c.name); break;
    }
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Input box...", "Message box...", "Grid", "Sound", "radio Small of group at 20",
                                            "radio Medium checked of group at 20", "radio Large of group at 20",
                                            "field Text:=Hello", "field Digits:=42", "field Secret:=******",
                                            "list of 12, 6 rows", "slider 0..100 at 0"}));

  // Inside the message box only its three buttons are polled, and it is announced as it opens.
  const double t = headless::now_ms() + 1;
  auto inside = std::make_shared<std::vector<std::string>>();
  std::string said;
  headless::at(t + 300, [inside, &said] {
    for (const surf::Control& c : headless::offered().controls()) inside->push_back(c.name);
    said = headless::offered().status_text();
  });
  headless::click(t, 200, 40, 80);
  headless::click(t + 400, 250, 190, 20);  // "Yes"
  run_for(600);
  EXPECT_EQ(*inside, (std::vector<std::string>{"Yes", "No", "Not sure"}));
  EXPECT_EQ(said, "Message box: Do you like the toolkit?");
  // The answer's label drawn anew is news.
  EXPECT_EQ(headless::offered().status_text(), "Answer: Yes");
}
