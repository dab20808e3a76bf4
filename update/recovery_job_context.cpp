#include "update/recovery_job_context.h"

#include "link/control_pipe.h"
#include "texts/string_ids.h"

namespace refloq::update {

RecoveryJobContext::RecoveryJobContext(Job& job,
                                       const UpdateEnvironment& environment)
    : JobConnection(job), job_(job), environment_(environment) {}

CWIAControl& RecoveryJobContext::wia() {
  return JobWia(wia_, environment_.service_control);
}

void RecoveryJobContext::UnlockAndClose() {
  link::UnlockControlPipe(connection());
  Close();
}

bool StopServiceForRecovery(RecoveryJobContext& c) {
  bool stopped = c.wia().StopWIA();
  if (stopped && c.wia().IsWIARunning()) stopped = c.wia().StopWIA();
  if (!stopped) {
    c.job().Finish(texts::kTextStopWiaFailed);
    return false;
  }
  return true;
}

}  // namespace refloq::update
