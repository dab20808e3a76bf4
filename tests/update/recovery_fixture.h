#pragma once
// The recovery jobs against one simulated USB scanner: the workflow
// fixture, plus the program's firmware container (resource BINARY 139)
// made at test time from a small payload, the scanner put into recovery
// mode, the Device Table row writer of "Recover FW", and the console.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "firmware/container_writer.h"
#include "platform/console.h"
#include "platform/resources.h"
#include "sim/recovery_timeline.h"
#include "tests/update/workflow_fixture.h"
#include "update/recovery_workflow.h"

namespace refloq::update::testing {

// A payload with a recognisable pattern, other than TestImage's.
inline std::vector<std::uint8_t> RecoveryPayload(std::size_t size) {
  std::vector<std::uint8_t> payload(size);
  for (std::size_t i = 0; i < size; ++i) {
    payload[i] = static_cast<std::uint8_t>((i * 13 + (i >> 9) + 5) & 0xFF);
  }
  return payload;
}

class RecoveryFixture : public WorkflowFixture {
 public:
  RecoveryFixture() {
    UsePayload(RecoveryPayload(64 * 1024 + 16));
    platform::SetConsoleCapture([this](std::string_view text) {
      std::lock_guard lock(console_mutex_);
      console_ += text;
    });
  }
  ~RecoveryFixture() override { platform::SetConsoleCapture({}); }

  // Makes `payload` the program's embedded image.
  void UsePayload(std::vector<std::uint8_t> payload) {
    payload_ = std::move(payload);
    UseContainer(firmware::PackFirmwareContainer(payload_));
  }
  // Makes `container` (any bytes) resource BINARY 139.
  void UseContainer(std::vector<std::uint8_t> container) {
    resource_.reset();
    container_ = std::move(container);
    resource_.emplace(platform::kFirmwareContainerResourceId, container_);
  }

  void EnterRecovery(sim::RecoveryTimelineOptions options = {}) {
    recovery_.emplace(engine(), options);
  }

  // Runs the recovery-mode job for the "USB" row 0 on the test's thread.
  void RunRecoveryJob() {
    TraceThisThread();
    ASSERT_TRUE(board_.slots().TryClaim(0));
    Job job(board_, 0, "USB");
    RecoveryUsbThreadProc(job, environment_);
    EXPECT_FALSE(board_.slots().IsBusy(0));
  }
  // Runs the Recover FW job, its texts in the Device Table's row 0.
  void RunRecoverFw() {
    TraceThisThread();
    ASSERT_TRUE(board_.slots().TryClaim(0));
    Job job(board_, 0, "USB", device_rows_);
    RecoverFwThreadProc(job, environment_);
    EXPECT_FALSE(board_.slots().IsBusy(0));
  }

  std::string Console() const {
    std::lock_guard lock(console_mutex_);
    return console_;
  }
  // The images the scanner took through a recovery transfer (parameter
  // 4 or 2), and through the general update (257).
  std::vector<sim::ReceivedImage> ImagesWith(std::uint16_t parameter) {
    std::vector<sim::ReceivedImage> found;
    for (const sim::ReceivedImage& image : Images()) {
      if (image.wParameter == parameter) found.push_back(image);
    }
    return found;
  }
  // Record entries of one command after the first block of another.
  int BlocksAfter(std::uint8_t first_command, std::uint16_t first_parameter,
                  std::uint8_t command) {
    bool seen = false;
    int count = 0;
    for (const sim::WireEntry& entry : engine().Record()) {
      if (entry.kind != sim::WireEntry::Kind::kBlock) continue;
      if (entry.block.bCommand == first_command &&
          entry.block.wParameter == first_parameter) {
        seen = true;
      } else if (seen && entry.block.bCommand == command) {
        ++count;
      }
    }
    return count;
  }

  std::vector<std::uint8_t> payload_;
  std::vector<std::uint8_t> container_;
  RecordingRowWriter device_rows_;
  std::optional<sim::RecoveryTimeline> recovery_;

 private:
  std::optional<platform::ScopedBinaryResource> resource_;
  mutable std::mutex console_mutex_;
  std::string console_;
};

}  // namespace refloq::update::testing
