#pragma once
// The two recovery jobs of the USB scanner, both built on one recovery
// transfer (FIRMWARE_TRANSFER parameter 4 or 2 with the image deciphered
// from the program's own container, resource BINARY 139):
//  - RecoveryUsbThreadProc, for the "USB" row of "Update Start" when the
//    scanner is in recovery mode: after the transfer it waits up to 180 s
//    for the scanner, ends with "Success." when it is back on working
//    firmware, or runs the general update in the same job when it answers
//    ready without its information record;
//  - RecoverFwThreadProc, the job of the "Recover FW" button: the transfer
//    with the image checksum applied, reported in row 0 of the Device
//    Table, ending with "Recover FW Success, Please Reboot Device.".
#include "update/job.h"
#include "update/job_host.h"
#include "update/job_starter.h"
#include "update/update_environment.h"

namespace refloq::update {

// Runs the recovery-mode job and ends it.  `environment` serves the
// post-recovery update (the window's image, its settings, the service
// layer).
void RecoveryUsbThreadProc(Job& job, const UpdateEnvironment& environment);

// Runs the Recover FW job and ends it; only the service layer of
// `environment` is used.
void RecoverFwThreadProc(Job& job, const UpdateEnvironment& environment);

// RecoveryUsbThreadProc as the worker for JobWorkers::usb_recovery.  The
// jobs share one copy of `environment`.
JobWorker MakeRecoveryUsbWorker(UpdateEnvironment environment);

// The job side of "Recover FW": when slot 0 of `board` is free, clears row
// 0 of `device_rows`, claims slot 0 and starts RecoverFwThreadProc on a
// thread of its own with its texts in `device_rows` row 0; then, whether
// or not a job started, pauses 1000 ms.  Returns whether a job started.
// The caller disables its controls first; the job enables them as it ends.
bool StartRecoverFw(JobBoard& board, RowWriter& device_rows,
                    UpdateEnvironment environment,
                    ThreadLauncher& launcher = DefaultThreadLauncher());

}  // namespace refloq::update
