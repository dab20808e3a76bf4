#include "update/job.h"

#include "texts/string_ids.h"

namespace refloq::update {

Job::Job(JobBoard& board, int row, std::string_view address)
    : board_(board),
      row_(row),
      address_(address.substr(0, kJobAddressLength)) {}

Job::Job(JobBoard& board, int row, std::string_view address, RowWriter& rows)
    : Job(board, row, address) {
  rows_ = &rows;
}

void Job::Write(const JobReport& report) {
  if (rows_ != nullptr) {
    rows_->WriteRowReport(row_, report);
  } else {
    board_.WriteRowReport(row_, report);
  }
}

void Job::WriteString(int id) { Write(JobReport::Text(id)); }

void Job::WriteProgress(int percent) { Write(JobReport::Progress(percent)); }

void Job::WriteCountdown(int minutes, int seconds) {
  Write(JobReport::Countdown(texts::kTextRebootCountdown, minutes, seconds));
}

void Job::WriteFinal(int id) { Write(JobReport::Final(id)); }

void Job::FreeSlot() {
  if (slot_freed_) return;
  slot_freed_ = true;
  board_.slots().Release(row_);
  board_.EnableControls();
}

void Job::Finish(int id) {
  WriteFinal(id);
  FreeSlot();
}

}  // namespace refloq::update
