#pragma once
// One update job against one simulated scanner, run on the test's thread:
// the scanner over TCP on loopback and as USB device 0, a scripted
// still-image service, a recording row writer, and the step trace as the
// job wrote it (the link's own data-phase lines left out).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "link/trace.h"
#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "sim/update_timeline.h"
#include "tests/sim/simulated_scanner.h"
#include "tests/update/recording_host.h"
#include "tests/update/scripted_service_control.h"
#include "update/job.h"
#include "update/job_board.h"
#include "update/update_environment.h"
#include "update/update_workflow.h"

namespace refloq::update::testing {

enum class Transport { kTcp, kUsb };

inline const char* TransportName(Transport transport) {
  return transport == Transport::kUsb ? "USB" : "TCP";
}

struct TracedLine {
  std::string text;
  std::uint32_t tick = 0;
};

// A firmware image with a recognisable pattern.
inline std::vector<std::uint8_t> TestImage(std::size_t size) {
  std::vector<std::uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) {
    image[i] = static_cast<std::uint8_t>((i * 31 + 7) & 0xFF);
  }
  return image;
}

class WorkflowFixture : public ::testing::Test {
 public:
  WorkflowFixture() {
    environment_.firmware = image_;
    environment_.service_control = services_.get();
    environment_.rediscover = [this](std::string_view wanted) {
      std::lock_guard lock(mutex_);
      rediscover_calls_.emplace_back(wanted);
      return rediscover_answer_;
    };
    link::SetTraceObserver([this](std::string_view line) {
      if (std::this_thread::get_id() != job_thread_) return;
      if (IsLinkDataLine(line)) return;
      if (on_job_trace) on_job_trace(line);
      std::lock_guard lock(mutex_);
      trace_.push_back({std::string(line), platform::Clock::TickCount()});
    });
  }
  ~WorkflowFixture() override { link::SetTraceObserver({}); }

  static bool IsLinkDataLine(std::string_view line) {
    static const std::string_view kLinkLines[] = {
        "==>In send data do-while",  "==>Send data start",
        "==>Send data end",          "==>Send data time out",
        "==>Out send data do-while", "==>recv data time out",
        "==>Out recv data do-while"};
    return std::find(std::begin(kLinkLines), std::end(kLinkLines), line) !=
           std::end(kLinkLines);
  }

  static std::string AddressOf(Transport transport) {
    return transport == Transport::kUsb
               ? "USB"
               : sim::testing::SimulatedScanner::TcpAddress();
  }

  // The trace lines written on the calling thread are the job's.
  void TraceThisThread() { job_thread_ = std::this_thread::get_id(); }

  // Runs one job for row 0 to its end.
  void RunJob(Transport transport) {
    TraceThisThread();
    ASSERT_TRUE(board_.slots().TryClaim(0));
    Job job(board_, 0, AddressOf(transport));
    UpdateThreadProc(job, environment_);
    EXPECT_FALSE(board_.slots().IsBusy(0));
  }

  // A scanner that lets the update pass the downgrade guard.
  void PermitUpdate() {
    engine().UpdateState(
        [](sim::ScannerState& s) { s.downgrade_permission = 1; });
  }

  void StartTimeline(sim::UpdateTimelineOptions options = {}) {
    timeline_.emplace(engine(), std::move(options));
  }

  // Replaces the still-image service's script.
  void UseServiceScript(const ServiceScript& script) {
    services_ = std::make_unique<ScriptedServiceControl>(script);
    environment_.service_control = services_.get();
  }
  ScriptedServiceControl& services() { return *services_; }

  sim::DeviceEngine& engine() { return scanner_.engine(); }

  std::vector<std::string> Texts() const { return rows_.TextsOf(0); }
  std::vector<std::string> Trace() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> lines;
    for (const TracedLine& line : trace_) lines.push_back(line.text);
    return lines;
  }
  std::vector<TracedLine> TraceWithTicks() const {
    std::lock_guard lock(mutex_);
    return trace_;
  }
  std::vector<std::string> RediscoverCalls() const {
    std::lock_guard lock(mutex_);
    return rediscover_calls_;
  }

  // The data of every block the scanner received for the command.
  std::vector<std::vector<std::uint8_t>> DataOf(std::uint8_t command,
                                                std::uint16_t parameter) {
    std::vector<std::vector<std::uint8_t>> data;
    for (const sim::WireEntry& entry : scanner_.engine().Record()) {
      if (entry.kind == sim::WireEntry::Kind::kData &&
          entry.block.bCommand == command &&
          entry.block.wParameter == parameter) {
        data.push_back(entry.bytes);
      }
    }
    return data;
  }
  int BlocksOf(std::uint8_t command, std::uint16_t parameter) {
    int count = 0;
    for (const sim::WireEntry& entry : scanner_.engine().Record()) {
      if (entry.kind == sim::WireEntry::Kind::kBlock &&
          entry.block.bCommand == command &&
          entry.block.wParameter == parameter) {
        ++count;
      }
    }
    return count;
  }
  // The unlock ends with data from the host, which does not wait for the
  // scanner to take it: wait (real time, bounded) until it is recorded.
  void WaitForLockData(std::uint16_t parameter) {
    for (int round = 0; round < 200; ++round) {
      if (!DataOf(protocol::LOCK_FUNCTION, parameter).empty()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  void WaitForUnlock() { WaitForLockData(protocol::REFLOQ_UNLOCK_SCANNER); }
  std::vector<sim::ReceivedImage> Images() {
    return scanner_.engine().State().images;
  }

  // Called with each trace line of the job, on the job's thread (a test
  // changes the scanner at a given step).
  std::function<void(std::string_view)> on_job_trace;

  sim::testing::SimulatedScanner scanner_;
  std::vector<std::uint8_t> image_ = TestImage(256 * 1024 + 13);
  std::unique_ptr<ScriptedServiceControl> services_ =
      std::make_unique<ScriptedServiceControl>(ServiceScript{});
  RecordingRowWriter rows_;
  RecordingControls controls_;
  JobBoard board_{rows_, controls_};
  UpdateEnvironment environment_;
  std::optional<sim::UpdateTimeline> timeline_;
  int rediscover_answer_ = 0;

 private:
  mutable std::mutex mutex_;
  std::thread::id job_thread_;
  std::vector<TracedLine> trace_;
  std::vector<std::string> rediscover_calls_;
};

}  // namespace refloq::update::testing
