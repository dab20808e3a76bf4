#include "update/job.h"

namespace refloq::update {

Job::Job(JobBoard& board, int row, std::string_view address)
    : board_(board),
      row_(row),
      address_(address.substr(0, kJobAddressLength)) {}

Job::Job(JobBoard& board, int row, std::string_view address, RowWriter& rows)
    : Job(board, row, address) {
  rows_ = &rows;
}

void Job::WriteText(std::string_view text) {
  if (rows_ != nullptr) {
    rows_->WriteRowText(row_, text);
  } else {
    board_.WriteRowText(row_, text);
  }
}

void Job::WriteString(int id) { WriteText(board_.UiString(id)); }

std::string Job::UiString(int id) const { return board_.UiString(id); }

void Job::FreeSlot() {
  if (slot_freed_) return;
  slot_freed_ = true;
  board_.slots().Release(row_);
  board_.EnableControls();
}

void Job::Finish(int id) {
  WriteString(id);
  FreeSlot();
}

}  // namespace refloq::update
