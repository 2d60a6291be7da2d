// Input at the edges of the window: clicks that end outside it, the pointer leaving during a
// choice, a key queue that overflows while nothing polls, and a close request while editing.
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

TEST_F(Edges, ButtonReleasedOutsideTheWindowClicksOnceWhenThePointerIsBack) {
  BUTTON button = BUTTON_NEW(100, 100, 80, 30, "Go");
  headless::move(0, 120, 110);
  headless::press(1);
  headless::move(20, 700, 110);  // dragged off the 640-pixel-wide window
  headless::release(40);         // let go out there
  std::uint32_t face_meanwhile = 0;
  headless::at(100, [&] { face_meanwhile = rgb(102, 102); });
  headless::move(200, 300, 300);  // back in the window, away from the button, nothing held
  until(5);

  EXPECT_TRUE(BUTTON_GETEVENT(button));
  // Outside, the poll fails: the wait cannot tell a release from a held button and goes on.
  EXPECT_GE(headless::now_ms(), 200);
  EXPECT_EQ(std::tuple(face_meanwhile, button.PRESSED, rgb(102, 102)), std::tuple(kPressedFace, 0, kFace));
  for (int pass = 0; pass < 20; ++pass) EXPECT_FALSE(BUTTON_GETEVENT(button)) << "second click at pass " << pass;
}

TEST_F(Edges, ButtonHeldWhileTheWindowLosesAndRegainsTheFocus) {
  BUTTON button = BUTTON_NEW(100, 100, 80, 30, "Go");
  headless::move(0, 120, 110);
  headless::press(1);
  headless::activate(30, false);  // clears the buttons; polls fail while inactive
  headless::activate(150, true);
  until(5);

  EXPECT_TRUE(BUTTON_GETEVENT(button));
  EXPECT_GE(headless::now_ms(), 150);
  EXPECT_FALSE(BUTTON_GETEVENT(button));
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
