// RecoveryUsbThreadProc: the "USB" row of "Update Start" when the scanner
// is in recovery mode.  After the recovery transfer it waits for the
// scanner to come back: on working firmware the job succeeds; ready but
// without its information record, the general update runs in this job.
#include <memory>
#include <utility>

#include "link/control_pipe.h"
#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"
#include "texts/string_ids.h"
#include "update/recovery_job_context.h"
#include "update/recovery_workflow.h"
#include "update/update_workflow.h"

namespace refloq::update {
namespace {

using platform::Clock;

inline constexpr std::uint32_t kReturnLimitMs = 180000;
inline constexpr std::uint32_t kFailedPollPauseMs = 500;
inline constexpr int kFailedPollsTolerated = 11;  // the 12th failure ends
inline constexpr std::uint32_t kNotBackPauseMs = 1000;

const RecoveryValues kRecoveryModeValues{
    .parameter = protocol::FIRMWARE_TRANSFER_RECOVERY_MODE,
    .check_sum = false,
    .progress_ms = 24000,
    .progress_pause_ms = 240,
    .progress_cap = 99,
};

enum class DeviceReturn { kWorking, kReadyWithoutRecord, kJobEnded };

// Polls the scanner until it is back, at most 180 s.
DeviceReturn WaitForDevice(RecoveryJobContext& c) {
  const std::uint32_t start = Clock::TickCount();
  int failed_polls = 0;
  while (!Clock::HasPassed(start, kReturnLimitMs)) {
    bool read_status = false;
    if (c.Open()) {
      const bool exchanged = c.ExchangeStatus();
      c.Close();
      if (!exchanged) {
        if (failed_polls >= kFailedPollsTolerated) {
          link::UnlockControlPipe(c.connection());  // closed: sends nothing
          c.job().Finish(texts::kTextUpdateFailed);
          return DeviceReturn::kJobEnded;
        }
        ++failed_polls;
        Clock::Sleep(kFailedPollPauseMs);
        continue;
      }
      read_status = true;
    }
    if (protocol::IsUsbInfoReadable()) return DeviceReturn::kWorking;
    if (read_status && c.Status().wFWInfo == protocol::SCANNER_STATUS_READY) {
      return DeviceReturn::kReadyWithoutRecord;
    }
    c.job().WriteString(texts::kTextChecking);
    Clock::Sleep(kNotBackPauseMs);
  }
  c.UnlockAndClose();
  c.job().Finish(texts::kTextUpdateFailed);
  return DeviceReturn::kJobEnded;
}

}  // namespace

void RecoveryUsbThreadProc(Job& job, const UpdateEnvironment& environment) {
  RecoveryJobContext c(job, environment);
  if (!StopServiceForRecovery(c)) return;
  if (!RecoveryTransfer(c, kRecoveryModeValues)) return;
  switch (WaitForDevice(c)) {
    case DeviceReturn::kJobEnded:
      return;
    case DeviceReturn::kReadyWithoutRecord:
      RunPostRecoveryUpdate(job, environment);
      return;
    case DeviceReturn::kWorking:
      break;
  }
  if (!c.wia().StartWIA()) {
    job.Finish(texts::kTextStartWiaFailed);
    return;
  }
  job.Finish(texts::kTextSuccess);
}

JobWorker MakeRecoveryUsbWorker(UpdateEnvironment environment) {
  auto shared =
      std::make_shared<const UpdateEnvironment>(std::move(environment));
  return [shared](Job& job) { RecoveryUsbThreadProc(job, *shared); };
}

}  // namespace refloq::update
