// TIME_MS: exact on the virtual clock, so that real-time stepping stays deterministic in tests,
// and monotonic on the real one.
#include <gtest/gtest.h>

#include "surface/headless.hpp"
#include "surface/surface.hpp"

TEST(Clock, VirtualClockMovesExactlyByEachSleepAndNotByReading) {
  headless::reset();
  EXPECT_EQ(TIME_MS(), 0);  // no window needed
  ASSERT_EQ(SCREEN_OPEN(64, 64, 32, 1, 4, 0), 0);
  Double expected = TIME_MS();
  // Below 100 ms in one piece, from 100 ms on in pieces that look for a key; neither may drift.
  for (const Integer ms : {1, 7, 10, 99, 100, 149, 250, 1234}) {
    TIME_SLEEP(ms);
    expected += ms;
    EXPECT_EQ(TIME_MS(), expected) << ms;
    EXPECT_EQ(TIME_MS(), headless::now_ms());
  }
  TIME_SLEEP(0);
  TIME_SLEEP(-5);
  EXPECT_EQ(TIME_MS(), expected);
  // A key ends a long sleep early, and the clock tells how long it really waited.
  headless::key(expected + 120, 'x');
  TIME_SLEEP(5000);
  EXPECT_GE(TIME_MS(), expected + 120);
  EXPECT_LE(TIME_MS(), expected + 200);
  headless::reset();
  EXPECT_EQ(TIME_MS(), 0);
}

TEST(Clock, RealClockNeverRunsBackAndCoversEverySleep) {
  headless::reset();
  ASSERT_EQ(SCREEN_OPEN(64, 64, 32, 1, 4, 0), 0);
  headless::use_real_clock(true);
  Double last = TIME_MS();
  for (int i = 0; i < 20000; ++i) {
    const Double now = TIME_MS();
    ASSERT_GE(now, last);
    last = now;
  }
  const Double before = TIME_MS();
  TIME_SLEEP(15);
  EXPECT_GE(TIME_MS() - before, 15);
  headless::reset();
}
