#include "platform/clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace refloq::platform {
namespace {

std::atomic<double> g_scale{1.0};

std::chrono::steady_clock::time_point Origin() {
  static const auto origin = std::chrono::steady_clock::now();
  return origin;
}

}  // namespace

std::uint32_t Clock::TickCount() {
  const auto real = std::chrono::duration<double, std::milli>(
      std::chrono::steady_clock::now() - Origin());
  const double scaled = real.count() * g_scale.load(std::memory_order_relaxed);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(scaled));
}

void Clock::Sleep(std::uint32_t ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  const double real_us = ms * 1000.0 / g_scale.load(std::memory_order_relaxed);
  std::this_thread::sleep_for(
      std::chrono::microseconds(static_cast<std::int64_t>(real_us)));
}

std::uint32_t Clock::ToRealMs(std::uint32_t ms) {
  if (ms == 0) return 0;
  const double real = ms / g_scale.load(std::memory_order_relaxed);
  return std::max<std::uint32_t>(1, static_cast<std::uint32_t>(real));
}

bool Clock::HasPassed(std::uint32_t start, std::uint32_t limit) {
  // Elapsed time in 32-bit arithmetic, so the tick count may wrap.
  return TickCount() - start > limit;
}

double Clock::Scale() { return g_scale.load(std::memory_order_relaxed); }

void Clock::SetScale(double scale) {
  Origin();
  g_scale.store(std::max(1.0, scale), std::memory_order_relaxed);
}

void Clock::SetScaleFromEnvironment() {
  if (const char* text = std::getenv("REFLOQ_TIME_SCALE")) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end != text && value >= 1.0) SetScale(value);
  }
}

}  // namespace refloq::platform
