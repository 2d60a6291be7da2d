// Input at the edges of the window: clicks let go outside it or cut short by a close request,
// the pointer leaving during a choice, a key queue that overflows while nothing polls, and a close request while editing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFFu; }
const auto kFace = static_cast<std::uint32_t>(COLOR_BUTTON_FACE);
const auto kPressedFace = static_cast<std::uint32_t>(COLOR_BUTTON_PRESSED);

class Edges : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    OPENWINDOW(640, 480, "edges");
  }
  // Lets the virtual clock pass `ms` so that scripted events due by then arrive.
  static void until(double ms) { TIME_SLEEP(static_cast<Integer>(ms - headless::now_ms()) + 1); }
};

TEST_F(Edges, ReleaseAwayFromTheWindowCancelsTheClick) {
  // Each way of letting go that the window cannot see ends the wait at once, with the released
  // face and no click, and the pointer coming back fires nothing. `away` scripts it from `t`.
  const std::vector<std::pair<const char*, void (*)(double)>> ways{
      {"released outside", [](double t) { headless::move(t, 700, 110), headless::release(t + 20); }},
      {"released after a leave", [](double t) { headless::leave(t), headless::release(t + 20); }},
      {"window deactivated", [](double t) { headless::activate(t + 20, false), headless::activate(t + 60, true); }},
      {"tap released outside", [](double t) { headless::move(t, 700, 110), headless::release(t + 1); }},
  };
  for (const auto& [what, away] : ways) {
    SetUp();
    BUTTON button = BUTTON_NEW(100, 100, 80, 30, "Go");
    headless::move(0, 120, 110);
    headless::press(1);
    away(20);
    headless::move(200, 130, 115);  // back over the button, nothing held
    until(5);
    EXPECT_FALSE(BUTTON_GETEVENT(button)) << what;
    EXPECT_LT(headless::now_ms(), 200) << what;
    EXPECT_EQ(std::tuple(button.PRESSED, rgb(102, 102)), std::tuple(0, kFace)) << what;
    until(250);
    for (int pass = 0; pass < 20; ++pass) EXPECT_FALSE(BUTTON_GETEVENT(button)) << what << ", pass " << pass;
  }
}

TEST_F(Edges, AButtonHeldOutsideStillClicksWhenReleasedBackInside) {
  BUTTON button = BUTTON_NEW(100, 100, 80, 30, "Go");
  CHECKBOX box = CHECKBOX_NEW(100, 200, 120, 20, "Box");
  headless::move(0, 120, 110);
  headless::press(1);
  headless::move(20, 700, 110);
  headless::move(100, 300, 300);  // back in, away from the button, still held
  headless::release(150);
  until(5);
  EXPECT_TRUE(BUTTON_GETEVENT(button));
  EXPECT_GE(headless::now_ms(), 150);
  // A check box let go outside: its mark goes back, no click.
  headless::move(300, 150, 210);
  headless::press(300);
  headless::move(320, 150, 600);
  headless::release(340);
  until(305);
  EXPECT_FALSE(CHECKBOX_GETEVENT(box));
  EXPECT_EQ(box.CHECKED, 0);
}

TEST_F(Edges, ACloseRequestDuringTheWaitEndsItAndStaysQueued) {
  BUTTON button = BUTTON_NEW(100, 100, 80, 30, "Go");
  headless::move(0, 120, 110);
  headless::press(1);
  headless::key(10, 'x');
  headless::move(20, 700, 110);  // held outside: no release comes
  headless::close_request(50);
  until(5);
  EXPECT_FALSE(BUTTON_GETEVENT(button));
  EXPECT_LT(headless::now_ms(), 60);
  EXPECT_EQ(std::tuple(button.PRESSED, rgb(102, 102)), std::tuple(0, kFace));
  EXPECT_EQ(INPUT_KEY(), "x");
  EXPECT_TRUE(WINDOW_EVENT_CLOSE());

  // A close request already waiting when the press comes does not cancel it: a run's Stop
  // button is pressed while the request waits for the run to end.
  headless::close_request(100);
  headless::click(200, 120, 110, 50);
  until(150);  // cut short by the request's key-hit flag
  until(205);
  EXPECT_TRUE(BUTTON_GETEVENT(button));
  EXPECT_TRUE(WINDOW_EVENT_CLOSE());
}

TEST_F(Edges, ListChoiceWaitsThroughThePointerLeavingAndComingBack) {
  LISTBOX list = LISTBOX_NEW(50, 50, 200, 100);
  for (const char* item : {"zero", "one", "two"}) LISTBOX_ADD(list, item);
  headless::move(0, 100, 50 + 16 + 4);  // row 1
  headless::press(1);
  headless::leave(80);
  headless::move(120, 100, 50 + 32 + 4);  // back over row 2, still held
  headless::leave(160);
  headless::wheel(170, 3);                // notches outside the window are not the list's
  headless::move(200, 100, 50 + 4);       // back over row 0, still held
  headless::release(260);
  until(5);

  EXPECT_TRUE(LISTBOX_GETEVENT(list));
  EXPECT_GE(headless::now_ms(), 260);
  // The row under the press, not where the pointer went afterwards; the failed polls outside
  // never stored -1 as the wheel.
  EXPECT_EQ(std::tuple(list.INDEX, list.TOPINDEX, LASTWHEEL), std::tuple(1, 0, 0));
  EXPECT_FALSE(LISTBOX_GETEVENT(list));
  EXPECT_EQ(list.INDEX, 1);
}

// ---- Whole orbit sessions ------------------------------------------------------------------------

constexpr int kButtonX = 245, kStartY = 230, kStopY = 260, kY0FieldX = 280, kY0FieldY = 140;
constexpr double kHold = 100;  // meets at least one poll of the 60 ms outer loop

// A run from `at` to a Stop click at `stop`; `keys` arrive in that order in between, when nothing
// reads the key queue. Returns the virtual time at which the program ended.
double session_with_keys_during_a_run(double at, double stop, const std::vector<String>& keys) {
  headless::reset();
  headless::click(at, kButtonX, kStartY, kHold);
  for (std::size_t i = 0; i < keys.size(); ++i) headless::key(at + kHold + 50 + static_cast<double>(i), keys[i]);
  headless::click(stop, kButtonX, kStopY, kHold);  // the pointer then rests off the list
  headless::close_request(5000);
  EXPECT_EQ(orbit::main_sequence(), 0);
  return headless::now_ms();
}

TEST(EdgeSession, CloseRequestSurvivesAFloodOfKeysDuringARun) {
  // Twenty keys while nothing reads the queue: the full queue drops plain keys, and the close
  // request that leads it ends the program right after Stop.
  std::vector<String> keys{String(KEY_CLOSE)};
  for (char c = 'a'; c < 'a' + 19; ++c) keys.emplace_back(1, c);
  EXPECT_LT(session_with_keys_during_a_run(100, 400, keys), 1000);
}

TEST(EdgeSession, CloseRequestEndsEditingKeepingTheText) {
  headless::reset();
  headless::click(100, kY0FieldX, kY0FieldY, kHold);
  headless::key(300, KEY_END);
  headless::type(310, "\b\b\b5.5");
  headless::close_request(400);
  headless::close_request(2000);
  EXPECT_EQ(orbit::main_sequence(), 0);
  // Editing ended as on Enter, and the program's close test then took the request.
  EXPECT_LT(headless::now_ms(), 600);
  EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_Y0), "5.5");
}

}  // namespace
