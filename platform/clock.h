#pragma once
// The one source of time for every tick count, pause and time limit.
//
// Production runs at scale 1.  Tests, refloq-cli and scanner-sim may
// compress time: at scale S, TickCount() advances S milliseconds for every
// real millisecond and Sleep(ms) pauses ms / S real milliseconds, so an
// 80-second countdown runs its exact course in 80 / S seconds and no
// constant of the system changes.  Socket time limits pass through
// ToRealMs() for the same reason.
#include <cstdint>

namespace refloq::platform {

class Clock {
 public:
  // Milliseconds since the clock's start, scaled; wraps like a 32-bit tick.
  static std::uint32_t TickCount();
  // Pauses the calling thread for ms scaled milliseconds.
  static void Sleep(std::uint32_t ms);
  // Real milliseconds that ms scaled milliseconds take (at least 1 when ms
  // is not 0), for limits handed to the operating system.
  static std::uint32_t ToRealMs(std::uint32_t ms);
  // True when the tick count has passed start + limit (32-bit arithmetic).
  static bool HasPassed(std::uint32_t start, std::uint32_t limit);

  static double Scale();
  // Sets the scale (values below 1 are taken as 1).
  static void SetScale(double scale);
  // Reads REFLOQ_TIME_SCALE; the window program never calls this.
  static void SetScaleFromEnvironment();
};

}  // namespace refloq::platform
