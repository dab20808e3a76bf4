#include "cli/job_display.h"

namespace refloq::cli {

JobDisplay::JobDisplay(Context& context, std::vector<std::string> addresses,
                       bool live, std::string job_stage)
    : context_(context),
      addresses_(std::move(addresses)),
      job_stage_(std::move(job_stage)),
      last_texts_(addresses_.size()),
      last_reports_(addresses_.size()) {
  if (live) {
    live_ = std::make_unique<LiveTable>(context.report, addresses_);
  }
}

bool JobDisplay::HasIndex(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < addresses_.size();
}

void JobDisplay::Show(int index, std::string_view text,
                      std::string_view stage) {
  if (!HasIndex(index)) return;
  Print(index, text, stage, nullptr);
}

std::string JobDisplay::LastText(int index) const {
  std::lock_guard lock(mutex_);
  return last_texts_.at(static_cast<std::size_t>(index));
}

update::JobReport JobDisplay::LastReport(int index) const {
  std::lock_guard lock(mutex_);
  return last_reports_.at(static_cast<std::size_t>(index));
}

void JobDisplay::SetUpdateTable(std::vector<int> update_rows) {
  std::lock_guard lock(mutex_);
  update_rows_ = std::move(update_rows);
}

void JobDisplay::WriteRowReport(int row, const update::JobReport& report) {
  int index = -1;
  {
    std::lock_guard lock(mutex_);
    if (row >= 0 && static_cast<std::size_t>(row) < update_rows_.size()) {
      index = update_rows_[static_cast<std::size_t>(row)];
    }
    if (!HasIndex(index)) return;
    last_reports_[static_cast<std::size_t>(index)] = report;
  }
  const std::string text = update::StatusText(report, context_.ui);
  if (text.empty()) return;
  Print(index, text, job_stage_, &report);
}

void JobDisplay::Print(int index, std::string_view text, std::string_view stage,
                       const update::JobReport* report) {
  {
    std::lock_guard lock(mutex_);
    last_texts_[static_cast<std::size_t>(index)] = std::string(text);
  }
  if (!live_) {
    context_.report.Row(addresses_[static_cast<std::size_t>(index)], text,
                        {{"stage", stage}});
  } else if (report != nullptr) {
    live_->WriteReport(index, *report, text);
  } else {
    live_->Write(index, text);
  }
}

void JobsEnded::EnableControls() {
  {
    std::lock_guard lock(mutex_);
    enabled_ = true;
  }
  enabled_cv_.notify_all();
}

void JobsEnded::Wait() {
  std::unique_lock lock(mutex_);
  enabled_cv_.wait(lock, [this] { return enabled_; });
}

}  // namespace refloq::cli
