// Whole sessions of the orbit program on the headless backend, driven by scripted input.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

constexpr std::uint32_t kRed = 0xAA0000, kWhite = 0xFFFFFF, kBlack = 0, kBackground = 0xEEEEEE;
constexpr int kButtonX = 245, kStartY = 230, kStopY = 260, kFieldX = 280;
constexpr double kHold = 100;  // long enough to meet one poll of the 60 ms loop

// What the pass observer saw: per run the first point and the pixels at `samples` after it.
struct Seen {
  std::vector<std::pair<int, int>> samples;
  std::vector<std::pair<Double, Double>> first_point;
  std::vector<std::vector<std::uint32_t>> first_pixels;
  long passes = 0;
  double last_pass_ms = 0;
} seen;

std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFF; }

void observe(const orbit::Run& run) {
  ++seen.passes;
  seen.last_pass_ms = headless::now_ms();
  if (run.t != orbit::kStep) return;
  seen.first_point.emplace_back(run.x, run.y);
  seen.first_pixels.emplace_back();
  for (const auto& [x, y] : seen.samples) seen.first_pixels.back().push_back(rgb(x, y));
}

// A fresh process: module variables, backend, the toolkit's wheel reading.
void fresh(std::vector<std::pair<int, int>> samples = {}) {
  orbit::reset_module();
  headless::reset();
  LASTWHEEL = 0;
  seen = Seen{};
  seen.samples = std::move(samples);
  orbit::pass_observer = observe;
}

// Clicks the field at row y, replaces its three characters with `text` (End, 3 x Backspace) and presses Enter.
void retype(double at, int y, const std::string& text) {
  headless::click(at, kFieldX, y, kHold);
  headless::key(at + 200, 255 + 256 * 'O');
  headless::type(at + 210, "\b\b\b" + text + "\r");
}

// Start at `at`, Stop 150 ms later.
void run_once(double at) {
  headless::click(at, kButtonX, kStartY, kHold);
  headless::click(at + 150, kButtonX, kStopY, kHold);
}

}  // namespace

TEST(Session, StartPictureWithDefaults) {
  // First point, both axes, a black corner and the background beside the area.
  fresh({{746, 89}, {520, 249}, {746, 470}, {990, 490}, {499, 300}});
  run_once(100);
  headless::close_request(600);
  EXPECT_EQ(orbit::main_sequence(), 0);

  EXPECT_EQ(LISTBOX_GETINDEX(LIST_AUSWAHL), 0);
  EXPECT_EQ(POTENTIAL, 0);
  EXPECT_EQ(Y0, 2.0);
  EXPECT_EQ(VX0, 0.4);
  EXPECT_EQ(FENSTER, 3.0);
  ASSERT_EQ(seen.first_point.size(), 1u);
  EXPECT_NEAR(seen.first_point[0].first, 0.00012, 1e-8);
  EXPECT_LT(seen.first_point[0].second, 2.0);
  EXPECT_EQ(seen.first_pixels[0], (std::vector<std::uint32_t>{kRed, kWhite, kWhite, kBlack, kBackground}));
  EXPECT_GT(seen.passes, 4000);  // one poll per step from the release at 200 ms to the Stop press at 250 ms
  EXPECT_GE(seen.last_pass_ms, 250);
}

TEST(Session, StopChooseOscillatorEditFieldRunAgain) {
  fresh({{746, 89}, {746, 129}});
  run_once(100);
  headless::click(500, 100, 106, kHold);  // list row 3
  retype(800, 140, "1.5");
  run_once(1300);
  headless::close_request(1800);
  EXPECT_EQ(orbit::main_sequence(), 0);

  EXPECT_EQ(POTENTIAL, 3);
  EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_Y0), "1.5");
  EXPECT_EQ(Y0, 1.5);
  ASSERT_EQ(seen.first_point.size(), 2u);
  EXPECT_NEAR(seen.first_point[1].second, 1.5, 1e-6);
  // y = 1.5 lands on row 10 + 480 - round(4.5 * 481 / 6) = 129. The second run cleared the first
  // path: its first point, on the y axis, is axis-white again (the oscillator stays below y = 2).
  EXPECT_EQ(seen.first_pixels[0], (std::vector<std::uint32_t>{kRed, kWhite}));
  EXPECT_EQ(seen.first_pixels[1], (std::vector<std::uint32_t>{kWhite, kRed}));
}

TEST(Session, NonNumericWindowSizeReadsAsZero) {
  // Without logical coordinates the axes shrink to the area's corner and points are pixels.
  fresh({{500, 10}, {500, 12}, {501, 10}});
  retype(100, 200, "abc");
  run_once(500);
  headless::close_request(900);
  EXPECT_EQ(orbit::main_sequence(), 0);
  EXPECT_EQ(FENSTER, 0);
  ASSERT_EQ(seen.first_pixels.size(), 1u);
  EXPECT_EQ(seen.first_pixels[0], (std::vector<std::uint32_t>{kWhite, kRed, kBlack}));
}

TEST(Session, StopWhileIdleIsIgnoredAndCloseWaitsForTheRunToEnd) {
  fresh();
  headless::click(100, kButtonX, kStopY, kHold);
  headless::click(300, kButtonX, kStartY, kHold);
  headless::close_request(450);
  headless::click(600, kButtonX, kStopY, kHold);
  EXPECT_EQ(orbit::main_sequence(), 0);
  EXPECT_EQ(seen.first_point.size(), 1u);
  EXPECT_GE(seen.last_pass_ms, 600);   // the run ignored the close request
  EXPECT_LT(headless::now_ms(), 900);  // and the next pass of the loop ended the program
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
