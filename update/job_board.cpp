#include "update/job_board.h"

#include <utility>

namespace refloq::update {

JobBoard::JobBoard(RowWriter& rows, ControlsSwitch& controls,
                   UiStringLoader ui_string)
    : rows_(rows), controls_(controls), ui_string_(std::move(ui_string)) {}

void JobBoard::WriteRowText(int row, std::string_view text) {
  rows_.WriteRowText(row, text);
}

std::string JobBoard::UiString(int id) const {
  return ui_string_ ? ui_string_(id) : std::string();
}

void JobBoard::EnableControls() {
  if (starts_under_way_.load() > 0 || slots_.AnyBusy()) return;
  controls_.EnableControls();
}

void JobBoard::BeginStart() { ++starts_under_way_; }

void JobBoard::EndStart() { --starts_under_way_; }

}  // namespace refloq::update
