#pragma once
// The live table of `refloq-cli update` on a terminal: one line per
// scanner with its address, a progress bar and its latest status text,
// redrawn in place (ANSI cursor movement) whenever a text is written.
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "cli/report.h"
#include "update/job_report.h"

namespace refloq::cli {

class LiveTable {
 public:
  LiveTable(Reporter& report, const std::vector<std::string>& addresses);

  // Sets the text of row `row` and redraws the table; the bar stays (a
  // login or probe text).
  void Write(int row, std::string_view text);
  // The same with a job's report and its text: the bar follows the report.
  void WriteReport(int row, const update::JobReport& report,
                   std::string_view text);
  // The line of one row as drawn (for the tests).
  std::string Line(int row) const;

 private:
  struct Row {
    std::string address;
    std::string text;
    int percent = 0;
  };
  static std::string LineOf(const Row& entry);
  void WriteLocked(int row, std::string_view text,
                   const update::JobReport* report);
  void DrawLocked();

  Reporter& report_;
  mutable std::mutex mutex_;
  std::vector<Row> rows_;
  bool drawn_ = false;
};

}  // namespace refloq::cli
