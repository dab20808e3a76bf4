#pragma once
// "Update Start" without the window: one job per Update Table row with the
// update engine's workflows, 1000 ms apart, and the wait until the last
// one has ended.
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/job_display.h"
#include "firmware/firmware_image.h"
#include "update/job_board.h"

namespace refloq::cli {

// update_rows: the indices into `addresses` of the Update Table's rows.
// Returns once every job has written its final text, and after a USB job
// once the still-image service has been started again.
void RunUpdateJobs(Context& context, JobDisplay& display,
                   const std::vector<std::string>& addresses,
                   const std::vector<int>& update_rows,
                   const firmware::FirmwareImage& image);

// Waits until the board's last job has ended and written its final text.
void WaitForJobs(update::JobBoard& board, JobsEnded& ended);

}  // namespace refloq::cli
