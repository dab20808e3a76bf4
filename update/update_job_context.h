#pragma once
// The job context of UpdateThreadProc and the failure exits that its two
// halves share.  Lives on the worker thread for the whole job.
#include <optional>
#include <string>
#include <string_view>

#include "link/device_connection.h"
#include "protocol/command_block.h"
#include "protocol/device_status.h"
#include "protocol/lock_key.h"
#include "update/job.h"
#include "update/job_connection.h"
#include "update/update_environment.h"
#include "update/wia_control.h"

namespace refloq::update {

// The general workflow as its own job, or as the second half of a USB
// recovery-mode job whose scanner came back ready without its information
// record: then the downgrade guard, the record check before the firmware
// command (and its pause) and two trace lines of the progress loop are
// left out.
enum class WorkflowVariant { kUpdate, kPostRecovery };

class UpdateJobContext : public JobConnection {
 public:
  UpdateJobContext(Job& job, const UpdateEnvironment& environment,
                   WorkflowVariant variant = WorkflowVariant::kUpdate);
  // The service handles close with it, then the connection.
  UpdateJobContext(const UpdateJobContext&) = delete;
  UpdateJobContext& operator=(const UpdateJobContext&) = delete;

  Job& job() { return job_; }
  const UpdateEnvironment& environment() const { return environment_; }
  const std::string& address() const { return job_.address(); }
  bool usb() const { return job_.is_usb(); }
  bool post_recovery() const {
    return variant_ == WorkflowVariant::kPostRecovery;
  }
  CWIAControl& wia();

  void Trace(std::string_view line) const;

  // The failure exits; each writes the final report `text_id` and ends the
  // job.
  void ExitText(int text_id);
  void ExitClose(int text_id);
  void ExitTextClose(int text_id);
  void ExitPipeRelease(int text_id);
  void ExitUnlock(int text_id);
  // The firmware unlock exit, with the two trace lines around the key.
  void ExitFirmwareUnlock(std::string_view key_start,
                          std::string_view key_finish);

  // USB: unlocks the control pipe, through a connection of its own when
  // the job's connection holds no device.  Network: nothing.
  void ReleaseControlPipe();
  // Sends REFLOQ_UNLOCK_SCANNER with the job's key on the open connection;
  // the trace lines around the key are written only when given.
  bool SendUnlock(std::string_view key_start = {},
                  std::string_view key_finish = {});

  protocol::LockKey lock_key{};
  std::string uuid_before;
  bool asleep = false;

 private:
  Job& job_;
  const UpdateEnvironment& environment_;
  const WorkflowVariant variant_;
  std::optional<CWIAControl> wia_;
};

// The two halves of the workflow.  Each returns true when the job goes on;
// false when it has ended through an exit.
bool RunUpdateChecks(UpdateJobContext& context);       // steps 1 to 9
void RunTransferAndFinish(UpdateJobContext& context);  // steps 10 to 15

}  // namespace refloq::update
