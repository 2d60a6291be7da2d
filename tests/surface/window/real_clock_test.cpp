// The headless backend's switch to a real clock: pauses really pass, the clock never runs
// backwards across a switch, and a reset returns to the virtual clock.
#include <gtest/gtest.h>

#include <chrono>

#include "surface/headless.hpp"
#include "surface/keys.hpp"
#include "surface/surface.hpp"

namespace {

using Steady = std::chrono::steady_clock;

double wall_ms_since(Steady::time_point t0) {
  return std::chrono::duration<double, std::milli>(Steady::now() - t0).count();
}

TEST(RealClock, SleepsAndKeysGoByRealTimeAndSwitchingBackNeverJumpsBack) {
  headless::reset();
  ASSERT_EQ(SCREEN_OPEN(64, 64, 32, 1, 4, 0), 0);
  TIME_SLEEP(40);  // virtual: no wall time
  EXPECT_DOUBLE_EQ(headless::now_ms(), 40);

  headless::use_real_clock(true);
  const auto t0 = Steady::now();
  TIME_SLEEP(30);
  EXPECT_GE(wall_ms_since(t0), 30);
  EXPECT_GE(headless::now_ms(), 70);  // 40 virtual + at least 30 real
  EXPECT_LE(headless::now_ms(), 40 + wall_ms_since(t0) + 1);
  // Scripted keys come due by real time: a long pause ends soon after the key's time.
  headless::key(headless::now_ms() + 20, 'a');
  TIME_SLEEP(2000);
  EXPECT_LT(wall_ms_since(t0), 1000);
  EXPECT_EQ(INPUT_KEY(), "a");

  headless::use_real_clock(false);
  const double at_switch = headless::now_ms();  // not behind the real time reached
  EXPECT_GE(at_switch, 70);
  const auto t1 = Steady::now();
  TIME_SLEEP(1000);  // virtual again: returns at once
  EXPECT_LT(wall_ms_since(t1), 500);
  EXPECT_DOUBLE_EQ(headless::now_ms(), at_switch + 1000);

  headless::use_real_clock(true);
  headless::reset();
  EXPECT_DOUBLE_EQ(headless::now_ms(), 0);
  TIME_SLEEP(5000);
  EXPECT_DOUBLE_EQ(headless::now_ms(), 5000);  // a reset is virtual again
}

}  // namespace
