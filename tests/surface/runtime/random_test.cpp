// The generator against a plain transcription of the twister with the fixed state fill.
#include <gtest/gtest.h>

#include <cstdint>

#include "surface/reset.hpp"
#include "surface/runtime.hpp"

namespace {

// MT19937 written out directly: state s[0] = 0, s[i] = s[i-1] * 1664525 + 1013904223.
struct ReferenceTwister {
  std::uint32_t mt[624];
  int index = 624;

  ReferenceTwister() {
    mt[0] = 0;
    for (int i = 1; i < 624; ++i) mt[i] = mt[i - 1] * 1664525u + 1013904223u;
  }
  std::uint32_t next() {
    if (index == 624) {
      for (int i = 0; i < 624; ++i) {
        const std::uint32_t y = (mt[i] & 0x80000000u) | (mt[(i + 1) % 624] & 0x7FFFFFFFu);
        mt[i] = mt[(i + 397) % 624] ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
      }
      index = 0;
    }
    std::uint32_t y = mt[index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    return y ^ (y >> 18);
  }
};

TEST(Random, FollowsTheReferenceAndRepeatsOnZero) {
  rt::reset_all();  // the generator is one per process: start its sequence anew
  EXPECT_EQ(MATH_RANDOM(0.0f), 0.0) << "no previous value before the first draw";
  ReferenceTwister ref;
  for (int i = 0; i < 1500; ++i) {  // past 624 draws: the second twist is covered too
    const Double got = MATH_RANDOM(i % 2 == 0 ? 1.0f : -3.5f);
    ASSERT_EQ(got, ref.next() / 4294967296.0) << "draw " << i;
    if (i % 100 == 0) {
      ASSERT_EQ(MATH_RANDOM(0.0f), got);
    }
  }
}

}  // namespace
