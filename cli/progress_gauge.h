#pragma once
// How far an update job has come, judged from the reports it writes: the
// live table of `refloq-cli update` draws a bar from it.  Only the reports'
// data counts (text id, percentage, countdown), so a language library
// changes nothing.
#include "update/job_report.h"

namespace refloq::cli {

// The percentage a job has reached once it wrote `report`, given the
// percentage before (never lower than it: "Checking..." comes at the start
// and again after the restart).
int ProgressAfter(int before, const update::JobReport& report);

}  // namespace refloq::cli
