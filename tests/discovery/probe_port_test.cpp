// Probe ports: always 52515 to 52614, and a sequence of each thread's own.
#include "discovery/probe_port.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace refloq::discovery {
namespace {

std::vector<std::uint16_t> Draws() {
  std::vector<std::uint16_t> ports;
  for (int i = 0; i < 200; ++i) ports.push_back(DrawProbePort());
  return ports;
}

TEST(ProbePortTest, ThreadsDrawInRangeAndApart) {
  std::vector<std::vector<std::uint16_t>> sequences(4);
  std::vector<std::thread> threads;
  for (auto& sequence : sequences) {
    threads.emplace_back([&sequence] { sequence = Draws(); });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& sequence : sequences) {
    for (const std::uint16_t port : sequence) {
      EXPECT_GE(port, kFirstProbePort);
      EXPECT_LT(port, kFirstProbePort + kProbePortCount);
    }
  }
  // Unseeded, every thread drew the same sequence; 200 equal draws from
  // independent generators will not happen.
  for (std::size_t i = 1; i < sequences.size(); ++i) {
    EXPECT_NE(sequences[i], sequences[0]);
  }
}

}  // namespace
}  // namespace refloq::discovery
