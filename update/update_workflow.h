#pragma once
// The general update workflow (UpdateThreadProc): one network scanner, or
// the USB scanner in normal mode, from the first status check to the
// restarted scanner and the final text in the job's row.
#include "update/job.h"
#include "update/job_starter.h"
#include "update/update_environment.h"

namespace refloq::update {

// Runs the whole job and ends it (final text, slot idle, controls).
void UpdateThreadProc(Job& job, const UpdateEnvironment& environment);

// RunPostRecoveryUpdate: the same workflow on the calling thread of a USB
// recovery-mode job, for its own row and address, without the downgrade
// guard and without the information record check and its pause.  Ends the
// job as UpdateThreadProc does.
void RunPostRecoveryUpdate(Job& job, const UpdateEnvironment& environment);

// The worker for StartJobs.  The jobs share one copy of `environment`,
// which lives as long as any of them.
JobWorker MakeUpdateWorker(UpdateEnvironment environment);

}  // namespace refloq::update
