#include "sim/update_timeline.h"

#include <algorithm>
#include <chrono>

#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "protocol/device_status.h"
#include "sim/standard_handlers.h"

namespace refloq::sim {
namespace {

using platform::Clock;

constexpr std::uint8_t kFullProgress = 100;

std::chrono::milliseconds RealMs(std::uint32_t scaled_ms) {
  return std::chrono::milliseconds(Clock::ToRealMs(scaled_ms));
}

}  // namespace

UpdateTimeline::UpdateTimeline(DeviceEngine& engine,
                               UpdateTimelineOptions options)
    : engine_(engine), options_(std::move(options)) {
  const std::map<std::uint8_t, CommandHandler> standard = StandardHandlers();
  standard_firmware_transfer_ = standard.at(protocol::FIRMWARE_TRANSFER);
  standard_read_uuid_ = standard.at(protocol::GET_UUID_FROM_NVRAM);
  engine_.SetHandler(protocol::FIRMWARE_TRANSFER,
                     [this](ScannerState& state, const Request& request) {
                       return OnFirmwareTransfer(state, request);
                     });
  engine_.SetHandler(protocol::GET_UUID_FROM_NVRAM,
                     [this](ScannerState& state, const Request& request) {
                       return OnReadUuid(state, request);
                     });
  thread_ = std::thread([this] { Run(); });
}

UpdateTimeline::~UpdateTimeline() {
  // Handlers run under the engine's lock: once they are replaced, none of
  // them is still using this object.
  engine_.SetHandler(protocol::FIRMWARE_TRANSFER, standard_firmware_transfer_);
  engine_.SetHandler(protocol::GET_UUID_FROM_NVRAM, standard_read_uuid_);
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

TimelinePhase UpdateTimeline::phase() const {
  std::lock_guard lock(mutex_);
  return phase_;
}

bool UpdateTimeline::WaitForPhase(TimelinePhase phase,
                                  std::uint32_t timeout_ms) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, RealMs(timeout_ms),
                           [&] { return phase_ == phase; });
}

Response UpdateTimeline::OnFirmwareTransfer(ScannerState& state,
                                            const Request& request) {
  Response response = standard_firmware_transfer_(state, request);
  if (request.block.wParameter != protocol::FIRMWARE_TRANSFER_UPDATE) {
    return response;
  }
  protocol::sKestoDeviceStatus reply = state.status;
  reply.dwLastErr = options_.image_reply_error;
  const protocol::StatusReply bytes = protocol::EncodeDeviceStatus(reply);
  response.reply.assign(bytes.begin(), bytes.end());
  if (options_.image_reply_error == 0) {
    {
      std::lock_guard lock(mutex_);
      image_taken_ = true;
    }
    changed_.notify_all();
  }
  return response;
}

Response UpdateTimeline::OnReadUuid(ScannerState& state,
                                    const Request& request) {
  if (++uuid_reads_ == 2 && !options_.uuid_after_first_read.empty()) {
    state.uuid_text = options_.uuid_after_first_read;
  }
  return standard_read_uuid_(state, request);
}

bool UpdateTimeline::Pause(std::uint32_t ms) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, RealMs(ms), [&] { return stopping_; });
}

void UpdateTimeline::SetPhase(TimelinePhase phase) {
  {
    std::lock_guard lock(mutex_);
    phase_ = phase;
  }
  changed_.notify_all();
}

void UpdateTimeline::Run() {
  // Before the image: a sleeping scanner wakes at its time.
  const std::uint32_t start = Clock::TickCount();
  bool wake_pending = options_.wake_after_ms != kNever;
  {
    std::unique_lock lock(mutex_);
    while (!stopping_ && !image_taken_) {
      if (!wake_pending) {
        changed_.wait(lock);
        continue;
      }
      const std::uint32_t elapsed = Clock::TickCount() - start;
      if (elapsed >= options_.wake_after_ms) {
        lock.unlock();
        engine_.UpdateState([](ScannerState& s) { s.status.bSleep = 0; });
        lock.lock();
        wake_pending = false;
        continue;
      }
      changed_.wait_for(lock, RealMs(options_.wake_after_ms - elapsed));
    }
    if (stopping_) return;
  }

  SetPhase(TimelinePhase::kUpdating);
  const std::uint8_t step = std::max<std::uint8_t>(options_.progress_step, 1);
  for (int next = step;; next += step) {
    const auto progress =
        static_cast<std::uint8_t>(std::min<int>(next, kFullProgress));
    const bool failed = options_.fail_at != 0 && progress >= options_.fail_at;
    engine_.UpdateState([&](ScannerState& s) {
      s.status.wFWInfo = protocol::SCANNER_STATUS_UPDATING;
      s.status.bProgress = progress;
      s.status.bSleep = 0;
      if (failed) s.status.dwLastErr = protocol::LAST_ERR_UPDATE_FAILED;
    });
    if (failed) {
      SetPhase(TimelinePhase::kFailed);
      return;
    }
    if (options_.stuck_at != 0 && progress >= options_.stuck_at) return;
    if (!Pause(options_.progress_step_ms)) return;
    if (progress == kFullProgress) break;
  }

  engine_.UpdateState([](ScannerState& s) {
    s.status.wFWInfo = protocol::SCANNER_STATUS_READY;
    s.status.bProgress = 0;
    s.status.dwLastErr = 0;
  });
  SetPhase(TimelinePhase::kDone);
  if (!Pause(options_.done_ms)) return;

  engine_.SetRefuseConnections(true);
  SetPhase(TimelinePhase::kRestarting);
  if (options_.restart_ms == kNever || !Pause(options_.restart_ms)) return;

  if (options_.on_return) options_.on_return();
  const bool busy = options_.busy_after_restart_ms != 0;
  engine_.UpdateState([busy](ScannerState& s) {
    s.status = {};
    if (busy) s.status.wFWInfo = protocol::SCANNER_STATUS_BUSY;
    s.lock_key.reset();  // the restart forgets the lock
    s.control_pipe_locked = false;
  });
  engine_.SetRefuseConnections(false);
  SetPhase(TimelinePhase::kBack);
  if (busy && Pause(options_.busy_after_restart_ms)) {
    engine_.UpdateState([](ScannerState& s) {
      s.status.wFWInfo = protocol::SCANNER_STATUS_READY;
    });
  }
}

}  // namespace refloq::sim
