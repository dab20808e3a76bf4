#pragma once
// What `refloq-cli update` shows: one entry per address given, in the
// order given, each with the texts written for it, first by the login
// step, then by its update job's reports.  Each text is printed as it is
// written (ADDRESS<TAB>TEXT, or a JSON object), or, on a terminal, drawn
// into the live table.  The commands decide from the job's last report,
// never from a text.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "cli/live_table.h"
#include "update/job_host.h"

namespace refloq::cli {

class JobDisplay final : public update::RowWriter {
 public:
  // job_stage: the stage of the jobs' texts in the JSON objects.
  JobDisplay(Context& context, std::vector<std::string> addresses, bool live,
             std::string job_stage = "update");

  // A text for the scanner at `index` of the addresses; `stage` names the
  // step that wrote it in the JSON object ("login", "probe", "update",
  // "recover").
  void Show(int index, std::string_view text, std::string_view stage);
  std::string LastText(int index) const;
  // The last report of the scanner's job (cleared while it has none).
  update::JobReport LastReport(int index) const;

  // The Update Table: its row r is the scanner at update_rows[r].
  void SetUpdateTable(std::vector<int> update_rows);
  // A job's report for its Update Table row, shown as its text
  // (StatusText with the context's texts).  An empty text, such as the
  // starter's clearing of a row, is not shown.
  void WriteRowReport(int row, const update::JobReport& report) override;

 private:
  bool HasIndex(int index) const;
  // Keeps `text` as the scanner's last and prints it, or draws it with the
  // job's report (when given) into the live table.
  void Print(int index, std::string_view text, std::string_view stage,
             const update::JobReport* report);

  Context& context_;
  const std::vector<std::string> addresses_;
  const std::string job_stage_;
  std::unique_ptr<LiveTable> live_;
  mutable std::mutex mutex_;
  std::vector<std::string> last_texts_;
  std::vector<update::JobReport> last_reports_;
  std::vector<int> update_rows_;
};

// The controls of the window: enabled once the last job has ended.
class JobsEnded final : public update::ControlsSwitch {
 public:
  void EnableControls() override;
  // Waits until the controls were enabled.
  void Wait();

 private:
  std::mutex mutex_;
  std::condition_variable enabled_cv_;
  bool enabled_ = false;
};

}  // namespace refloq::cli
