// Whole sessions of the orbit program on the headless backend, driven by scripted input.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

constexpr std::uint32_t kRed = 0xAA0000, kWhite = 0xFFFFFF, kBlack = 0, kBackground = 0xEEEEEE;
constexpr int kButtonX = 245, kStartY = 230, kStopY = 260, kFieldX = 280;
constexpr double kHold = 100;  // long enough to meet one poll of the 60 ms loop

std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFF; }

// The colours at `points` when the virtual clock reaches `at_ms` (read during a run, before its Stop).
std::shared_ptr<std::vector<std::uint32_t>> pixels_at(double at_ms, std::vector<std::pair<int, int>> points) {
  auto seen = std::make_shared<std::vector<std::uint32_t>>();
  headless::at(at_ms, [seen, points] {
    for (const auto& [x, y] : points) seen->push_back(rgb(x, y));
  });
  return seen;
}

// Counts the input polls from `from_ms` until `to_ms` with an action that falls due again just
// after each poll. A run polls Stop once per step without sleeping; the idle loop a few times in 60 ms.
void count_polls(double at_ms, double to_ms, const std::shared_ptr<long>& count) {
  headless::at(at_ms, [to_ms, count] {
    const double now = headless::now_ms();
    if (now >= to_ms) return;
    ++*count;
    count_polls(now + 0.001, to_ms, count);  // less than one poll's step of the clock
  });
}
std::shared_ptr<long> polls_between(double from_ms, double to_ms) {
  auto count = std::make_shared<long>(0);
  count_polls(from_ms, to_ms, count);
  return count;
}

// A fresh process: the program's module state, the toolkit and the backend.
void fresh() { headless::reset(); }

// Clicks the field at row y, replaces its three characters with `text` (End, 3 x Backspace) and presses Enter.
void retype(double at, int y, const std::string& text) {
  headless::click(at, kFieldX, y, kHold);
  headless::key(at + 200, KEY_END);
  headless::type(at + 210, "\b\b\b" + text + "\r");
}

// Start at `at`, Stop 150 ms later.
void run_once(double at) {
  headless::click(at, kButtonX, kStartY, kHold);
  headless::click(at + 150, kButtonX, kStopY, kHold);
}

}  // namespace

TEST(Session, StartPictureWithDefaults) {
  fresh();
  run_once(100);
  // First point, both axes, a black corner and the background beside the area, just before Stop.
  const auto during = pixels_at(249, {{746, 89}, {520, 249}, {746, 470}, {990, 490}, {499, 300}});
  // One poll per step from the release at 200 ms to the Stop press at 250 ms.
  const auto polls = polls_between(200, 250);
  headless::close_request(600);
  EXPECT_EQ(orbit::main_sequence(), 0);

  EXPECT_EQ(LISTBOX_GETINDEX(LIST_AUSWAHL), 0);
  EXPECT_EQ(POTENTIAL, 0);
  EXPECT_EQ(Y0, 2.0);
  EXPECT_EQ(VX0, 0.4);
  EXPECT_EQ(FENSTER, 3.0);
  EXPECT_EQ(*during, (std::vector<std::uint32_t>{kRed, kWhite, kWhite, kBlack, kBackground}));
  EXPECT_GT(*polls, 4000);

  // The first step from the default fields: x = vx0 h, y just below y0.
  orbit::Run run;
  orbit::begin_run(run);
  EXPECT_FALSE(orbit::run_pass(run));
  EXPECT_NEAR(run.x, 0.00012, 1e-8);
  EXPECT_LT(run.y, 2.0);
}

TEST(Session, StopChooseOscillatorEditFieldRunAgain) {
  fresh();
  run_once(100);
  const auto first = pixels_at(249, {{746, 89}, {746, 129}});
  headless::click(500, 100, 106, kHold);  // list row 3
  retype(800, 140, "1.5");
  run_once(1300);
  const auto second = pixels_at(1449, {{746, 89}, {746, 129}});
  headless::close_request(1800);
  EXPECT_EQ(orbit::main_sequence(), 0);

  EXPECT_EQ(POTENTIAL, 3);
  EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_Y0), "1.5");
  EXPECT_EQ(Y0, 1.5);
  // y = 1.5 lands on row 10 + 480 - round(4.5 * 481 / 6) = 129. The second run cleared the first
  // path: its first point, on the y axis, is axis-white again (the oscillator stays below y = 2).
  EXPECT_EQ(*first, (std::vector<std::uint32_t>{kRed, kWhite}));
  EXPECT_EQ(*second, (std::vector<std::uint32_t>{kWhite, kRed}));
}

TEST(Session, NonNumericWindowSizeReadsAsZero) {
  // Without logical coordinates the axes shrink to the area's corner and points are pixels.
  fresh();
  retype(100, 200, "abc");
  run_once(500);
  const auto during = pixels_at(649, {{500, 10}, {500, 12}, {501, 10}});
  headless::close_request(900);
  EXPECT_EQ(orbit::main_sequence(), 0);
  EXPECT_EQ(FENSTER, 0);
  EXPECT_EQ(*during, (std::vector<std::uint32_t>{kWhite, kRed, kBlack}));
}

TEST(Session, StopWhileIdleIsIgnoredAndCloseWaitsForTheRunToEnd) {
  fresh();
  headless::click(100, kButtonX, kStopY, kHold);
  headless::click(300, kButtonX, kStartY, kHold);
  headless::close_request(450);
  headless::click(600, kButtonX, kStopY, kHold);
  const auto idle = polls_between(100, 300);
  const auto running = polls_between(450, 600);
  EXPECT_EQ(orbit::main_sequence(), 0);
  EXPECT_LT(*idle, 100);               // the Stop click started nothing
  EXPECT_GT(*running, 10000);          // the run ignored the close request and went on until Stop
  EXPECT_LT(headless::now_ms(), 900);  // and the next pass of the loop ended the program
}

TEST(Session, ResetStartsTheNextSessionAsANewProcess) {
  fresh();
  headless::click(100, 100, 106, kHold);  // list row 3
  headless::wheel(150, 2);
  headless::move(300, 700, 400);  // off the list
  headless::close_request(400);
  EXPECT_EQ(orbit::main_sequence(), 0);
  MATH_RANDOM(1);
  ASSERT_EQ(std::tuple(POTENTIAL, LIST_AUSWAHL.MAXINDEX, TEXTBOX_Y0.TEXT, LASTWHEEL), std::tuple(3, 3, "2.0", 2));

  headless::reset();
  // The program's module, the toolkit's wheel reading and the random generator start afresh.
  EXPECT_EQ(std::tuple(POTENTIAL, LIST_AUSWAHL.MAXINDEX, TEXTBOX_Y0.TEXT, LASTWHEEL), std::tuple(0, 0, "", 0));
  EXPECT_EQ(MATH_RANDOM(0), 0.0);
}

TEST(Session, AnyFieldTextGivesARunThatEnds) {
  std::string all_bytes;
  for (int b = 1; b <= 255; ++b) all_bytes.push_back(static_cast<char>(b));
  const std::string texts[] = {"",   "abc", "1e999", "-inf", "nan", "&HFFFFFFFFFFFFFFFF", "1e-300",
                               "-3", std::string(100000, '9'), all_bytes};
  TEXTBOX* const fields[] = {&TEXTBOX_Y0, &TEXTBOX_VX0, &TEXTBOX_FENSTER};
  for (TEXTBOX* field : fields) {
    for (const std::string& text : texts) {
      fresh();
      CREATEWINDOW_MAIN();
      TEXTBOX_SETTEXT(*field, text);
      orbit::Run run;
      orbit::begin_run(run);
      for (int pass = 0; pass < 2000; ++pass) ASSERT_FALSE(orbit::run_pass(run));
      orbit::end_run();
      const Double read = field == &TEXTBOX_Y0 ? Y0 : field == &TEXTBOX_VX0 ? VX0 : FENSTER;
      const Double expected = STR_TO_DOUBLE(text);
      EXPECT_TRUE(read == expected || (std::isnan(read) && std::isnan(expected))) << text.substr(0, 20);
      // The whole screen is back in pixel coordinates.
      SCREEN_PSET(nullptr, 0, 0, 0x123456);
      EXPECT_EQ(rgb(0, 0), 0x123456u);
    }
  }
}

TEST(Session, ADecimalCommaIsReadAsThePoint) {
  const std::pair<std::string, Double> cases[] = {{"0,4", 0.4}, {"2,5", 2.5}, {"-1,25e1", -12.5}, {"1,5,3", 1.5}};
  TEXTBOX* const fields[] = {&TEXTBOX_Y0, &TEXTBOX_VX0, &TEXTBOX_FENSTER};
  for (TEXTBOX* field : fields) {
    for (const auto& [text, value] : cases) {
      fresh();
      CREATEWINDOW_MAIN();
      TEXTBOX_SETTEXT(*field, text);
      orbit::Run run;
      orbit::begin_run(run);
      orbit::end_run();
      EXPECT_EQ(field == &TEXTBOX_Y0 ? Y0 : field == &TEXTBOX_VX0 ? VX0 : FENSTER, value) << text;
      EXPECT_EQ(TEXTBOX_GETTEXT(*field), text);  // the field keeps what was typed
    }
  }
}

TEST(Session, StartLetGoOutsideTheWindowStartsNoRun) {
  // Pressed on Start and dragged off the window: let go out there, or still held when the close
  // request comes. Either way no run starts, not even when the pointer comes back, and the close
  // request ends the program.
  for (const bool release_outside : {true, false}) {
    fresh();
    headless::move(100, kButtonX, kStartY);
    headless::press(100);
    headless::move(300, 1200, 900);
    if (release_outside) headless::release(500);
    headless::close_request(700);
    headless::move(900, 700, 300);
    headless::release(1000);
    EXPECT_EQ(orbit::main_sequence(), 0);
    EXPECT_LT(headless::now_ms(), 900) << release_outside;
    EXPECT_EQ(std::tuple(rgb(700, 250), rgb(746, 89), rgb(172, 225)),
              std::tuple(kBackground, kBackground, static_cast<std::uint32_t>(COLOR_BUTTON_FACE)))
        << release_outside;
  }
}
