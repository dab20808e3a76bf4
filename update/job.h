#pragma once
// One running update job as its worker sees it: its row and address, handed
// over when the worker starts, and the ways it reports into its row and
// ends.
#include <string>
#include <string_view>

#include "update/job_board.h"

namespace refloq::update {

// An address is kept to 19 characters, as the device routines read it.
inline constexpr std::size_t kJobAddressLength = 19;

class Job {
 public:
  Job(JobBoard& board, int row, std::string_view address);
  // A job whose texts go into another list than the Update Table (the
  // Recover FW job writes into the Device Table); slot `row` is still the
  // board's.
  Job(JobBoard& board, int row, std::string_view address, RowWriter& rows);
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  int row() const { return row_; }
  const std::string& address() const { return address_; }
  bool is_usb() const { return address_ == "USB"; }

  // Replaces the text of the job's row.
  void WriteText(std::string_view text);
  // The same with the text of a string id.
  void WriteString(int id);
  std::string UiString(int id) const;

  // Marks the slot idle and enables the controls when no job is left.
  // Only the first call acts, so the slot can be freed before the final
  // text and again as the job ends.
  void FreeSlot();
  // The end of every job: the final text, then FreeSlot.
  void Finish(int id);

 private:
  JobBoard& board_;
  RowWriter* rows_ = nullptr;  // null: the board's Update Table
  int row_;
  std::string address_;
  bool slot_freed_ = false;
};

}  // namespace refloq::update
