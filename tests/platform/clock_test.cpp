#include "platform/clock.h"

#include <gtest/gtest.h>

namespace refloq::platform {
namespace {

struct ScaleCase {
  double scale;
  std::uint32_t scaled_ms;
  std::uint32_t real_ms;
};

class ClockScale : public ::testing::TestWithParam<ScaleCase> {
 protected:
  void TearDown() override { Clock::SetScale(1.0); }
};

TEST_P(ClockScale, ConvertsScaledLimitsToRealOnes) {
  Clock::SetScale(GetParam().scale);
  EXPECT_EQ(Clock::ToRealMs(GetParam().scaled_ms), GetParam().real_ms);
}

INSTANTIATE_TEST_SUITE_P(Limits, ClockScale,
                         ::testing::Values(ScaleCase{1.0, 12000, 12000},
                                           ScaleCase{1000.0, 12000, 12},
                                           ScaleCase{1000.0, 10, 1},
                                           ScaleCase{1000.0, 0, 0},
                                           ScaleCase{0.5, 300, 300}));

TEST(Clock, CompressedSleepAdvancesTheScaledTickCount) {
  Clock::SetScale(1000.0);
  const std::uint32_t start = Clock::TickCount();
  Clock::Sleep(80000);  // 80 s scaled, 80 ms real
  const std::uint32_t elapsed = Clock::TickCount() - start;
  EXPECT_GE(elapsed, 80000u);
  EXPECT_TRUE(Clock::HasPassed(start, 79999));
  EXPECT_FALSE(Clock::HasPassed(Clock::TickCount(), 1000000));
  Clock::SetScale(1.0);
}

}  // namespace
}  // namespace refloq::platform
