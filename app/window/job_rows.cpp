#include "app/window/job_rows.h"

#include <utility>

namespace refloq::window {

JobRows::JobRows(WindowModel& model, int list, std::function<void()> ended)
    : model_(model), list_(list), ended_(std::move(ended)) {}

void JobRows::Bind(int index, std::uint64_t key, bool awaited) {
  std::lock_guard lock(mutex_);
  keys_[index] = key;
  if (awaited) awaited_.insert(key);
}

bool JobRows::AnyAwaited() const {
  std::lock_guard lock(mutex_);
  return !awaited_.empty();
}

void JobRows::WriteRowReport(int row, const update::JobReport& report) {
  std::uint64_t key = 0;
  {
    std::lock_guard lock(mutex_);
    const auto it = keys_.find(row);
    if (it == keys_.end()) return;
    key = it->second;
  }
  model_.SetStatus(list_, key, report);
  if (!report.is_final()) return;
  {
    std::lock_guard lock(mutex_);
    awaited_.erase(key);
  }
  ended_();
}

}  // namespace refloq::window
