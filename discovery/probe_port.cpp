#include "discovery/probe_port.h"

#include <chrono>
#include <functional>
#include <random>
#include <thread>

namespace refloq::discovery {
namespace {

std::mt19937& ThreadGenerator() {
  thread_local std::mt19937 generator = [] {
    std::random_device device;
    const auto now = static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    const auto thread =
        std::hash<std::thread::id>{}(std::this_thread::get_id());
    std::seed_seq seed{device(), device(), static_cast<std::uint32_t>(now),
                       static_cast<std::uint32_t>(now >> 32),
                       static_cast<std::uint32_t>(thread)};
    return std::mt19937(seed);
  }();
  return generator;
}

}  // namespace

std::uint16_t DrawProbePort() {
  std::uniform_int_distribution<int> offset(0, kProbePortCount - 1);
  return static_cast<std::uint16_t>(kFirstProbePort +
                                    offset(ThreadGenerator()));
}

}  // namespace refloq::discovery
