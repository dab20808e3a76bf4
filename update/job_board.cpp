#include "update/job_board.h"

namespace refloq::update {

JobBoard::JobBoard(RowWriter& rows, ControlsSwitch& controls)
    : rows_(rows), controls_(controls) {}

void JobBoard::WriteRowReport(int row, const JobReport& report) {
  rows_.WriteRowReport(row, report);
}

void JobBoard::EnableControls() {
  if (starts_under_way_.load() > 0 || slots_.AnyBusy()) return;
  controls_.EnableControls();
}

void JobBoard::BeginStart() { ++starts_under_way_; }

void JobBoard::EndStart() { --starts_under_way_; }

}  // namespace refloq::update
