#include "update/update_workflow.h"

#include <memory>
#include <utility>

#include "update/update_job_context.h"

namespace refloq::update {

void UpdateThreadProc(Job& job, const UpdateEnvironment& environment) {
  UpdateJobContext context(job, environment);
  if (RunUpdateChecks(context)) RunTransferAndFinish(context);
}

void RunPostRecoveryUpdate(Job& job, const UpdateEnvironment& environment) {
  UpdateJobContext context(job, environment, WorkflowVariant::kPostRecovery);
  if (RunUpdateChecks(context)) RunTransferAndFinish(context);
}

JobWorker MakeUpdateWorker(UpdateEnvironment environment) {
  auto shared =
      std::make_shared<const UpdateEnvironment>(std::move(environment));
  return [shared](Job& job) { UpdateThreadProc(job, *shared); };
}

}  // namespace refloq::update
