// RecoverFwThreadProc and the job side of "Recover FW": the recovery
// transfer with parameter 2 into the USB scanner, reported in row 0 of the
// Device Table.  The scanner is not contacted after the image: the user
// restarts it, as the final text says.
#include <memory>
#include <utility>

#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "texts/string_ids.h"
#include "update/recovery_job_context.h"
#include "update/recovery_workflow.h"

namespace refloq::update {
namespace {

inline constexpr int kRecoverFwSlot = 0;
inline constexpr char kRecoverFwAddress[] = "USB";
inline constexpr std::uint32_t kRecoverFwPauseMs = 1000;

const RecoveryValues kRecoverFwValues{
    .parameter = protocol::FIRMWARE_TRANSFER_RECOVERY_IMAGE,
    .check_sum = true,
    .progress_ms = 120000,
    .progress_pause_ms = 1250,
    .progress_cap = std::nullopt,
    .closing_pause_ms = 2000,
    .closing_text_id = texts::kTextRecoverFwSuccess,
};

}  // namespace

void RecoverFwThreadProc(Job& job, const UpdateEnvironment& environment) {
  RecoveryJobContext c(job, environment);
  if (!StopServiceForRecovery(c)) return;
  if (!RecoveryTransfer(c, kRecoverFwValues)) return;
  if (!c.wia().StartWIA()) {
    job.Finish(texts::kTextStartWiaFailed);
    return;
  }
  job.Finish(texts::kTextRecoverFwSuccess);
}

bool StartRecoverFw(JobBoard& board, RowWriter& device_rows,
                    UpdateEnvironment environment, ThreadLauncher& launcher) {
  bool started = false;
  if (board.slots().TryClaim(kRecoverFwSlot)) {
    board.slots().JoinThread(kRecoverFwSlot);
    device_rows.WriteRowReport(kRecoverFwSlot, JobReport::Cleared());
    auto shared =
        std::make_shared<const UpdateEnvironment>(std::move(environment));
    started = LaunchClaimedJob(
        board, kRecoverFwSlot, kRecoverFwAddress,
        [shared](Job& job) { RecoverFwThreadProc(job, *shared); }, launcher,
        &device_rows);
  }
  platform::Clock::Sleep(kRecoverFwPauseMs);
  return started;
}

}  // namespace refloq::update
