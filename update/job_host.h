#pragma once
// What the update engine needs of whoever shows the jobs (the window, the
// CLI, the tests): a writer for the status column of the Update Table and
// the enabling of the controls.  Jobs report data (JobReport); the host
// makes the text a user reads (StatusText) and decides from ids and
// outcomes.
#include "update/job_report.h"

namespace refloq::update {

// Column 1 of the Update Table.  Called from worker threads; each call
// returns when the report is in place.
class RowWriter {
 public:
  virtual ~RowWriter() = default;
  virtual void WriteRowReport(int row, const JobReport& report) = 0;
};

// The window's buttons and lists.  The engine calls this only when no job
// is busy and no start is under way.
class ControlsSwitch {
 public:
  virtual ~ControlsSwitch() = default;
  virtual void EnableControls() = 0;
};

}  // namespace refloq::update
