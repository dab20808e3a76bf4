#pragma once
// Simulated network scanners for the CLI's tests: scanner i on
// 127.0.0.(2 + i) at a port of this run's own (the link is pointed at it),
// each optionally running an update timeline.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "link/device_connection.h"
#include "platform/clock.h"
#include "sim/fleet.h"
#include "tests/cli/package_file.h"

namespace refloq::cli::testing {

inline std::string FleetAddress(int i) {
  return "127.0.0." + std::to_string(2 + i);
}

// A scanner that passes the downgrade guard and goes through an update.
inline sim::ScannerSetup UpdatableScanner(int i) {
  sim::ScannerSetup setup;
  setup.address = FleetAddress(i);
  setup.state.uuid_text =
      sim::NumberedUuidText(static_cast<std::uint32_t>(i + 1));
  setup.state.downgrade_permission = 1;
  setup.timeline = sim::UpdateTimelineOptions{};
  return setup;
}

class CliFleet {
 public:
  // scale: nothing waits for a time limit to pass; a gentle scale keeps a
  // slow connection (Wine, sanitizers, a loaded host) inside the limits.
  explicit CliFleet(std::vector<sim::ScannerSetup> scanners,
                    double scale = 50.0) {
    platform::Clock::SetScale(scale);
    sim::Scenario scenario;
    scenario.port =
        static_cast<std::uint16_t>(30000 + std::random_device{}() % 20000);
    scenario.scanners = std::move(scanners);
    std::string error;
    EXPECT_TRUE(fleet_.Start(scenario, error)) << error;
    link::SetScannerTcpPort(scenario.port);
  }
  ~CliFleet() {
    fleet_.Stop();
    link::SetScannerTcpPort(0);
  }
  CliFleet(const CliFleet&) = delete;
  CliFleet& operator=(const CliFleet&) = delete;

  sim::DeviceEngine& engine(int i) {
    return fleet_.engine(static_cast<std::size_t>(i));
  }

 private:
  sim::Fleet fleet_;
};

}  // namespace refloq::cli::testing
