#pragma once
// Where the reports of the jobs land: the row each job was started for,
// found by the row's key, so that a report never reaches another
// scanner's row whatever moved since.  A job's final report also tells the
// window that the job is over (the controls come back only when every job
// has written its final text, not merely freed its slot).
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>

#include "app/window/window_model.h"
#include "update/job_host.h"

namespace refloq::window {

class JobRows final : public update::RowWriter {
 public:
  // list: the list the jobs write into; ended: called after each final
  // report, from the job's thread.
  JobRows(WindowModel& model, int list, std::function<void()> ended);

  // Row `index` (the job's row or slot) writes into the row with `key`;
  // a job is awaited there when `awaited`.
  void Bind(int index, std::uint64_t key, bool awaited);
  // Jobs whose final report has not come yet.
  bool AnyAwaited() const;

  void WriteRowReport(int row, const update::JobReport& report) override;

 private:
  WindowModel& model_;
  const int list_;
  const std::function<void()> ended_;
  mutable std::mutex mutex_;
  std::map<int, std::uint64_t> keys_;
  std::set<std::uint64_t> awaited_;
};

}  // namespace refloq::window
