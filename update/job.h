#pragma once
// One running update job as its worker sees it: its row and address, handed
// over when the worker starts, and the ways it reports into its row and
// ends.  Every job's last report is a final one (WriteFinal or Finish).
#include <string>
#include <string_view>

#include "update/job_board.h"

namespace refloq::update {

// An address is kept to 19 characters, as the device routines read it.
inline constexpr std::size_t kJobAddressLength = 19;

class Job {
 public:
  Job(JobBoard& board, int row, std::string_view address);
  // A job whose reports go into another list than the Update Table (the
  // Recover FW job writes into the Device Table); slot `row` is still the
  // board's.
  Job(JobBoard& board, int row, std::string_view address, RowWriter& rows);
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  int row() const { return row_; }
  const std::string& address() const { return address_; }
  bool is_usb() const { return address_ == "USB"; }

  // Replaces the report in the job's row.
  void Write(const JobReport& report);
  // The text of a string id.
  void WriteString(int id);
  // A bare percentage ("NN%").
  void WriteProgress(int percent);
  // The restart countdown text with its minutes and seconds.
  void WriteCountdown(int minutes, int seconds);
  // The job's final report (JobReport::Final): its last write.  For exits
  // that still close their connection before they free the slot.
  void WriteFinal(int id);

  // Marks the slot idle and enables the controls when no job is left.
  // Only the first call acts, so the slot can be freed before the final
  // report and again as the job ends.
  void FreeSlot();
  // The end of most jobs: the final report, then FreeSlot.
  void Finish(int id);

 private:
  JobBoard& board_;
  RowWriter* rows_ = nullptr;  // null: the board's Update Table
  int row_;
  std::string address_;
  bool slot_freed_ = false;
};

}  // namespace refloq::update
