// The generator against a plain transcription of the twister with the fixed state fill.
#include <gtest/gtest.h>

#include <cstdint>

#include "surface/runtime.hpp"

namespace {

// MT19937 written out directly: state s[0] = 0, s[i] = s[i-1] * 1664525 + 1013904223.
class ReferenceTwister {
 public:
  ReferenceTwister() {
    mt_[0] = 0;
    for (int i = 1; i < kN; ++i) mt_[i] = mt_[i - 1] * 1664525u + 1013904223u;
  }

  std::uint32_t next() {
    if (index_ >= kN) {
      for (int i = 0; i < kN; ++i) {
        const std::uint32_t y = (mt_[i] & 0x80000000u) | (mt_[(i + 1) % kN] & 0x7FFFFFFFu);
        mt_[i] = mt_[(i + 397) % kN] ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
      }
      index_ = 0;
    }
    std::uint32_t y = mt_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
  }

 private:
  static constexpr int kN = 624;
  std::uint32_t mt_[kN];
  int index_ = kN;
};

// One test only: the generator is one per process, so its sequence is shared state.
TEST(Random, FollowsTheReferenceAndRepeatsOnZero) {
  EXPECT_EQ(MATH_RANDOM(0.0f), 0.0) << "no previous value before the first draw";
  ReferenceTwister ref;
  Double last = 0.0;
  // Past 624 draws, so the second twist of the block is covered too.
  for (int i = 0; i < 1500; ++i) {
    const Double expected = ref.next() / 4294967296.0;
    const Double got = MATH_RANDOM(i % 2 == 0 ? 1.0f : -3.5f);  // any non-zero argument draws
    ASSERT_EQ(got, expected) << "draw " << i;
    ASSERT_GE(got, 0.0);
    ASSERT_LT(got, 1.0);
    last = got;
    if (i % 100 == 0) {
      ASSERT_EQ(MATH_RANDOM(0.0f), last);
      ASSERT_EQ(MATH_RANDOM(-0.0f), last);
    }
  }
}

}  // namespace
