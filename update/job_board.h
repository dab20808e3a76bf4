#pragma once
// The state the window shares with its update jobs: the slot table, the
// status column of the Update Table and the controls.  The window owns one
// board and keeps it alive while any worker may still run.
#include <atomic>

#include "update/job_host.h"
#include "update/slot_table.h"

namespace refloq::update {

class JobBoard {
 public:
  JobBoard(RowWriter& rows, ControlsSwitch& controls);
  JobBoard(const JobBoard&) = delete;
  JobBoard& operator=(const JobBoard&) = delete;

  SlotTable& slots() { return slots_; }
  const SlotTable& slots() const { return slots_; }

  void WriteRowReport(int row, const JobReport& report);

  // Enables the controls if, and only if, no slot is busy and no start is
  // under way (a job that ends while later rows are still being started
  // must not enable the controls under the starter).
  void EnableControls();

  // The starter holds this while it starts jobs; see StartGuard.
  void BeginStart();
  void EndStart();

 private:
  RowWriter& rows_;
  ControlsSwitch& controls_;
  SlotTable slots_;
  std::atomic<int> starts_under_way_{0};
};

}  // namespace refloq::update
