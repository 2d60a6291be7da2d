// Whole sessions of the orbit program on the headless backend, driven by scripted input.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

constexpr Integer kEnd = 255 + 256 * 'O';
constexpr Integer kEnter = 13;
constexpr std::uint32_t kRed = 0xAA0000, kWhite = 0xFFFFFF, kBlack = 0, kBackground = 0xEEEEEE;

// Control positions: inside the Start and Stop buttons, the three fields and list row 3.
constexpr int kStartX = 245, kStartY = 230, kStopX = 245, kStopY = 260;
constexpr int kFieldX = 280, kY0Y = 140, kFensterY = 200;
constexpr int kOscillatorX = 100, kOscillatorY = 106;

// A hold long enough to meet one poll of the 60 ms loop.
constexpr double kHold = 100;

struct Sample {
  int x, y;
};

// What the pass observer saw.
struct Seen {
  int runs = 0;
  long passes = 0;
  std::vector<std::pair<Double, Double>> first_point;  // per run
  std::vector<std::vector<std::uint32_t>> first_pixels;  // per run, at `samples`
  double last_pass_ms = 0;
  std::vector<Sample> samples;
};
Seen seen;

std::uint32_t rgb(int x, int y) { return headless::pixel(x, y) & 0xFFFFFF; }

void observe(const orbit::Run& run) {
  ++seen.passes;
  seen.last_pass_ms = headless::now_ms();
  if (run.t == orbit::kStep) {
    ++seen.runs;
    seen.first_point.emplace_back(run.x, run.y);
    std::vector<std::uint32_t> px;
    for (const Sample& s : seen.samples) px.push_back(rgb(s.x, s.y));
    seen.first_pixels.push_back(px);
  }
}

// A fresh process state: module variables, the backend and the toolkit's wheel reading.
void fresh(std::vector<Sample> samples = {}) {
  orbit::reset_module();
  headless::reset();
  LASTWHEEL = 0;
  seen = Seen{};
  seen.samples = std::move(samples);
  orbit::pass_observer = observe;
}

// Clicks a field at `at`, clears its three characters and types `text` followed by Enter.
void retype(double at, int y, const std::string& text) {
  headless::click(at, kFieldX, y, kHold);
  headless::key(at + 200, kEnd);
  headless::type(at + 210, "\b\b\b");
  headless::type(at + 220, text);
  headless::key(at + 230, kEnter);
}

}  // namespace

TEST(Session, StartPictureWithDefaults) {
  fresh({{746, 89}, {520, 249}, {746, 470}, {990, 490}, {499, 300}, {746, 249}});
  headless::click(100, kStartX, kStartY, kHold);
  headless::click(300, kStopX, kStopY, kHold);
  headless::close_request(600);
  EXPECT_EQ(orbit::main_sequence(), 0);

  EXPECT_EQ(LISTBOX_GETINDEX(LIST_AUSWAHL), 0);
  EXPECT_EQ(LISTBOX_GETMAXINDEX(LIST_AUSWAHL), 3);
  EXPECT_EQ(POTENTIAL, 0);
  EXPECT_EQ(Y0, 2.0);
  EXPECT_EQ(VX0, 0.4);
  EXPECT_EQ(FENSTER, 3.0);
  ASSERT_EQ(seen.runs, 1);
  EXPECT_NEAR(seen.first_point[0].first, 0.00012, 1e-8);
  EXPECT_LT(seen.first_point[0].second, 2.0);
  EXPECT_GT(seen.first_point[0].second, 1.9999);
  // First point, both axes, the black area and the untouched background beside it.
  EXPECT_EQ(seen.first_pixels[0], (std::vector<std::uint32_t>{kRed, kWhite, kWhite, kBlack, kBackground, kWhite}));
  // The run went on until the Stop press and the loop then read the close request.
  EXPECT_GT(seen.passes, 5000);
  EXPECT_GE(seen.last_pass_ms, 300);
  EXPECT_EQ(rgb(746, 89), kRed);
  EXPECT_EQ(BUTTON_STOP.PRESSED, 0);
}

TEST(Session, StopChooseOscillatorEditFieldRunAgain) {
  fresh({{746, 89}, {746, 129}});
  headless::click(100, kStartX, kStartY, kHold);
  headless::click(250, kStopX, kStopY, kHold);
  headless::click(500, kOscillatorX, kOscillatorY, kHold);
  retype(800, kY0Y, "1.5");
  headless::click(1300, kStartX, kStartY, kHold);
  headless::click(1500, kStopX, kStopY, kHold);
  headless::close_request(1800);
  EXPECT_EQ(orbit::main_sequence(), 0);

  EXPECT_EQ(POTENTIAL, 3);
  EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_Y0), "1.5");
  EXPECT_EQ(Y0, 1.5);
  ASSERT_EQ(seen.runs, 2);
  // y = 1.5 lands on row 10 + 480 - round(4.5 * 481 / 6) = 129.
  EXPECT_NEAR(seen.first_point[1].second, 1.5, 1e-6);
  // The second run cleared the first path: its first point, on the y axis, is axis-white again
  // (the oscillator never reaches y = 2 from 1.5 with vx 0.4).
  EXPECT_EQ(seen.first_pixels[0], (std::vector<std::uint32_t>{kRed, kWhite}));
  EXPECT_EQ(seen.first_pixels[1], (std::vector<std::uint32_t>{kWhite, kRed}));
  EXPECT_EQ(rgb(746, 89), kWhite);
}

TEST(Session, NonNumericWindowSizeReadsAsZero) {
  // Without logical coordinates the axes shrink to the area's corner and points are pixels.
  fresh({{500, 10}, {500, 12}, {501, 10}});
  retype(100, kFensterY, "abc");
  headless::click(500, kStartX, kStartY, kHold);
  headless::click(700, kStopX, kStopY, kHold);
  headless::close_request(900);
  EXPECT_EQ(orbit::main_sequence(), 0);
  EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_FENSTER), "abc");
  EXPECT_EQ(FENSTER, 0);
  ASSERT_EQ(seen.runs, 1);
  EXPECT_EQ(seen.first_pixels[0], (std::vector<std::uint32_t>{kWhite, kRed, kBlack}));
}

TEST(Session, CloseDuringRunTakesEffectAfterStop) {
  fresh();
  headless::click(100, kStartX, kStartY, kHold);
  headless::close_request(250);
  headless::click(400, kStopX, kStopY, kHold);
  EXPECT_EQ(orbit::main_sequence(), 0);
  ASSERT_EQ(seen.runs, 1);
  EXPECT_GE(seen.last_pass_ms, 400);    // the run ignored the close request
  EXPECT_LT(headless::now_ms(), 700);  // and the next pass of the loop ended the program
}

TEST(Session, StopWhileIdleDoesNothing) {
  fresh();
  headless::click(100, kStopX, kStopY, kHold);
  headless::close_request(400);
  EXPECT_EQ(orbit::main_sequence(), 0);
  EXPECT_EQ(seen.runs, 0);
  EXPECT_EQ(rgb(746, 249), kBackground);
}

TEST(Session, AnyFieldTextGivesARunThatEnds) {
  const std::string all_bytes = [] {
    std::string s;
    for (int b = 1; b <= 255; ++b) s.push_back(static_cast<char>(b));
    return s;
  }();
  const std::vector<std::string> texts = {"",     "abc",  "1,5", "1e999", "-inf", "nan", "&HFFFFFFFFFFFFFFFF",
                                          "1e-300", "-3", std::string(100000, '9'), all_bytes};
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
      // The run left the whole screen in pixel coordinates again.
      SCREEN_PSET(nullptr, 0, 0, 0x123456);
      EXPECT_EQ(rgb(0, 0), 0x123456u);
      if (field == &TEXTBOX_Y0) {
        const Double expected = STR_TO_DOUBLE(text);
        EXPECT_TRUE(Y0 == expected || (std::isnan(Y0) && std::isnan(expected))) << text.substr(0, 20);
      }
    }
  }
  EXPECT_TRUE(std::isinf(STR_TO_DOUBLE("1e999")));
}
