#include "cli/update_jobs.h"

#include <algorithm>
#include <memory>

#include "cli/search_window.h"
#include "cli/still_image_service.h"
#include "cli/usb_probe.h"
#include "discovery/rediscovery.h"
#include "update/job_board.h"
#include "update/job_starter.h"
#include "update/recovery_workflow.h"
#include "update/update_workflow.h"

namespace refloq::cli {

void WaitForJobs(update::JobBoard& board, JobsEnded& ended) {
  ended.Wait();
  // A job frees its slot just before its final text: join every worker,
  // as the window does at close (100 waits of 1000 ms).
  board.slots().WaitForWorkers(100, 1000);
}

void RunUpdateJobs(Context& context, JobDisplay& display,
                   const std::vector<std::string>& addresses,
                   const std::vector<int>& update_rows,
                   const firmware::FirmwareImage& image) {
  // The rediscovery after a restart reads only the window's trace path and
  // shows at most the missing-template message.
  auto search = std::make_shared<SearchWindow>(context, /*list_rows=*/false);
  update::UpdateEnvironment environment;
  environment.firmware = image.Bytes();
  environment.firmware_owner = image.m_pFirmwareData;
  environment.wait_for_wake = true;  // the hidden check box, checked
  environment.enable_downgrade = context.settings.enable_downgrade;
  environment.service_control = context.service_control;
  environment.rediscover = [search](std::string_view wanted_id) {
    return discovery::RediscoverDevice(search->window(), wanted_id);
  };

  update::JobWorkers workers;
  workers.update = update::MakeUpdateWorker(environment);
  // The recovery-mode job deciphers the program's own container (resource
  // BINARY 139), whatever image the other jobs got.
  workers.usb_recovery = update::MakeRecoveryUsbWorker(environment);
  workers.query_usb_status = QueryUsbStatus;

  std::vector<update::CheckedRow> rows;
  for (std::size_t row = 0; row < update_rows.size(); ++row) {
    rows.push_back({static_cast<int>(row),
                    addresses[static_cast<std::size_t>(update_rows[row])]});
  }
  JobsEnded ended;
  update::JobBoard board(display, ended);
  update::StartJobs(board, rows, workers);
  WaitForJobs(board, ended);
  const bool usb_job =
      std::any_of(rows.begin(), rows.end(),
                  [](const auto& row) { return row.address == "USB"; });
  if (usb_job) RestartStillImageService(context.service_control);
}

}  // namespace refloq::cli
