#pragma once
// Compressed time for the discovery tests.  Answers must arrive within the
// 600 ms a cycle listens, so tests that expect a scanner found run at a
// scale that leaves the answer a real margin; tests that expect nothing
// found (15 cycles per address) run faster.
#include "platform/clock.h"

namespace refloq::discovery::testing {

inline constexpr double kFindScale = 5.0;
inline constexpr double kMissScale = 25.0;

class ScopedTimeScale {
 public:
  explicit ScopedTimeScale(double scale) : before_(platform::Clock::Scale()) {
    platform::Clock::SetScale(scale);
  }
  ~ScopedTimeScale() { platform::Clock::SetScale(before_); }
  ScopedTimeScale(const ScopedTimeScale&) = delete;
  ScopedTimeScale& operator=(const ScopedTimeScale&) = delete;

 private:
  double before_;
};

}  // namespace refloq::discovery::testing
