#include "sim/recovery_timeline.h"

#include <chrono>
#include <utility>

#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "protocol/device_status.h"

namespace refloq::sim {
namespace {

using platform::Clock;

bool IsRecoveryTransfer(std::uint16_t parameter) {
  return parameter == protocol::FIRMWARE_TRANSFER_RECOVERY_MODE ||
         parameter == protocol::FIRMWARE_TRANSFER_RECOVERY_IMAGE;
}

}  // namespace

RecoveryTimeline::RecoveryTimeline(DeviceEngine& engine,
                                   RecoveryTimelineOptions options)
    : engine_(engine), options_(options) {
  previous_firmware_transfer_ = engine_.HandlerOf(protocol::FIRMWARE_TRANSFER);
  engine_.UpdateState([](ScannerState& s) {
    s.status.wFWInfo = protocol::SCANNER_STATUS_RECOVERY;
    s.info_record1_readable = false;
  });
  engine_.SetHandler(protocol::FIRMWARE_TRANSFER,
                     [this](ScannerState& state, const Request& request) {
                       return OnFirmwareTransfer(state, request);
                     });
  thread_ = std::thread([this] { Run(); });
}

RecoveryTimeline::~RecoveryTimeline() {
  // Handlers run under the engine's lock: once replaced, none of them is
  // still using this object.
  engine_.SetHandler(protocol::FIRMWARE_TRANSFER, previous_firmware_transfer_);
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

RecoveryPhase RecoveryTimeline::phase() const {
  std::lock_guard lock(mutex_);
  return phase_;
}

Response RecoveryTimeline::OnFirmwareTransfer(ScannerState& state,
                                              const Request& request) {
  Response response = previous_firmware_transfer_
                          ? previous_firmware_transfer_(state, request)
                          : Response{};
  if (IsRecoveryTransfer(request.block.wParameter) &&
      state.status.wFWInfo == protocol::SCANNER_STATUS_RECOVERY &&
      request.data.size() == request.block.dwLength) {
    {
      std::lock_guard lock(mutex_);
      image_taken_ = true;
    }
    changed_.notify_all();
  }
  return response;
}

bool RecoveryTimeline::Pause(std::uint32_t ms) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock,
                            std::chrono::milliseconds(Clock::ToRealMs(ms)),
                            [&] { return stopping_; });
}

void RecoveryTimeline::SetPhase(RecoveryPhase phase) {
  std::lock_guard lock(mutex_);
  phase_ = phase;
}

void RecoveryTimeline::Return() {
  const RecoveryReturn how = options_.return_as;
  const std::uint16_t working = options_.working_status;
  engine_.UpdateState([how, working](ScannerState& s) {
    s.status = {};
    s.status.wFWInfo = how == RecoveryReturn::kWorking
                           ? working
                           : protocol::SCANNER_STATUS_READY;
    s.info_record1_readable = how == RecoveryReturn::kWorking;
    s.lock_key.reset();
    s.control_pipe_locked = false;
  });
  if (how == RecoveryReturn::kSilent) {
    Fault silent;
    silent.command = protocol::GET_DEVICE_STATUS;
    silent.phase = FaultPhase::kReply;
    silent.action = FaultAction::kSilent;
    engine_.AddFault(silent);
  }
  engine_.SetRefuseConnections(false);
}

void RecoveryTimeline::Run() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopping_ || image_taken_; });
    if (stopping_) return;
  }
  SetPhase(RecoveryPhase::kWriting);
  if (!Pause(options_.writing_ms)) return;
  engine_.SetRefuseConnections(true);
  SetPhase(RecoveryPhase::kRestarting);
  if (options_.return_as == RecoveryReturn::kStaysAway ||
      !Pause(options_.restart_ms)) {
    return;
  }
  Return();
  SetPhase(RecoveryPhase::kBack);
}

}  // namespace refloq::sim
