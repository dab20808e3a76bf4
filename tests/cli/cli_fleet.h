#pragma once
// Simulated network scanners for the CLI's tests: scanner i on
// 127.0.0.(2 + i) at a port of this run's own (the link is pointed at it),
// each optionally running an update timeline, and a small firmware
// container on disk for --package.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "firmware/container_writer.h"
#include "link/device_connection.h"
#include "platform/clock.h"
#include "sim/digest.h"
#include "sim/fleet.h"

namespace refloq::cli::testing {

inline std::string FleetAddress(int i) {
  return "127.0.0." + std::to_string(2 + i);
}

// A scanner that passes the downgrade guard and goes through an update.
inline sim::ScannerSpec UpdatableScanner(int i) {
  sim::ScannerSpec spec;
  spec.address = FleetAddress(i);
  spec.state.uuid_text =
      sim::NumberedUuidText(static_cast<std::uint32_t>(i + 1));
  spec.state.downgrade_permission = 1;
  spec.timeline = sim::UpdateTimelineOptions{};
  return spec;
}

class CliFleet {
 public:
  // scale: nothing waits for a time limit to pass; a gentle scale keeps a
  // slow connection (Wine, sanitizers, a loaded host) inside the limits.
  explicit CliFleet(std::vector<sim::ScannerSpec> scanners,
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

// A firmware container of a small payload, written to a file of its own.
class PackageFile {
 public:
  PackageFile() : payload_(4096 + 7) {
    for (std::size_t i = 0; i < payload_.size(); ++i) {
      payload_[i] = static_cast<std::uint8_t>(i * 31 + 5);
    }
    path_ = std::filesystem::temp_directory_path() /
            ("refloq-cli-package-" + std::to_string(std::random_device{}()));
    const std::vector<std::uint8_t> container =
        firmware::PackFirmwareContainer(payload_);
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(container.data()),
               static_cast<std::streamsize>(container.size()));
  }
  ~PackageFile() { std::filesystem::remove(path_); }
  PackageFile(const PackageFile&) = delete;
  PackageFile& operator=(const PackageFile&) = delete;

  std::string path() const { return path_.string(); }
  std::string sha256() const { return sim::Sha256Hex(payload_); }

 private:
  std::vector<std::uint8_t> payload_;
  std::filesystem::path path_;
};

}  // namespace refloq::cli::testing
