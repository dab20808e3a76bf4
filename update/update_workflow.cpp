#include "update/update_workflow.h"

#include "update/update_job_context.h"

namespace refloq::update {

void UpdateThreadProc(Job& job, const UpdateEnvironment& environment) {
  UpdateJobContext context(job, environment);
  if (RunUpdateChecks(context)) RunTransferAndFinish(context);
}

JobWorker MakeUpdateWorker(const UpdateEnvironment& environment) {
  return [&environment](Job& job) { UpdateThreadProc(job, environment); };
}

}  // namespace refloq::update
