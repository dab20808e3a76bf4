#pragma once
// The job context of the two recovery jobs and the recovery transfer they
// share: the service stop, the presence test, the job's own deciphered
// image copy, the recovery-mode check and the transfer with its simulated
// progress.  Lives on the worker thread for the whole job.
#include <cstdint>
#include <memory>
#include <optional>

#include "firmware/firmware_bytes.h"
#include "update/job.h"
#include "update/job_connection.h"
#include "update/update_environment.h"
#include "update/wia_control.h"

namespace refloq::update {

class RecoveryJobContext : public JobConnection {
 public:
  RecoveryJobContext(Job& job, const UpdateEnvironment& environment);
  RecoveryJobContext(const RecoveryJobContext&) = delete;
  RecoveryJobContext& operator=(const RecoveryJobContext&) = delete;

  Job& job() { return job_; }
  const UpdateEnvironment& environment() const { return environment_; }
  CWIAControl& wia();

  // UnlockControlPipe on the current connection (sent only where a device
  // is open), then CloseConnection.
  void UnlockAndClose();

  // The job's deciphered copy of the program's image (null when released).
  std::unique_ptr<firmware::FirmwareBytes> image;

 private:
  Job& job_;
  const UpdateEnvironment& environment_;
  std::optional<CWIAControl> wia_;
};

// What tells the two jobs' transfers apart.
struct RecoveryValues {
  std::uint16_t parameter = 0;  // FIRMWARE_TRANSFER parameter
  bool check_sum = false;       // CheckFirmwareSum on the copy
  // The simulated progress: its length, the pause between texts, and the
  // highest value shown (no cap when unset).
  std::uint32_t progress_ms = 0;
  std::uint32_t progress_pause_ms = 0;
  std::optional<int> progress_cap;
  // After "100%": a pause and a text before the connection closes (none
  // when the text id is 0).
  std::uint32_t closing_pause_ms = 0;
  int closing_text_id = 0;
};

// Stops the still-image service, and once more if it still runs; a failed
// stop ends the job with "Stop, WIA Failed, FW Update Aborted.".
bool StopServiceForRecovery(RecoveryJobContext& context);

// The recovery transfer: presence test, image copy (and checksum),
// recovery-mode check, "Ready", the firmware command, the image, the
// simulated progress and "100%".  True when the scanner took the image;
// false when the job has ended with a failure text.
bool RecoveryTransfer(RecoveryJobContext& context,
                      const RecoveryValues& values);

}  // namespace refloq::update
