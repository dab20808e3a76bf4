#include "cli/live_table.h"

#include <algorithm>

#include "cli/progress_gauge.h"

namespace refloq::cli {
namespace {

constexpr int kBarWidth = 24;
constexpr std::size_t kAddressWidth = 15;  // "255.255.255.255"

}  // namespace

LiveTable::LiveTable(Reporter& report,
                     const std::vector<std::string>& addresses)
    : report_(report) {
  for (const auto& address : addresses) rows_.push_back({address, "", 0});
}

void LiveTable::Write(int row, std::string_view text) {
  std::lock_guard lock(mutex_);
  WriteLocked(row, text, nullptr);
}

void LiveTable::WriteReport(int row, const update::JobReport& report,
                            std::string_view text) {
  std::lock_guard lock(mutex_);
  WriteLocked(row, text, &report);
}

void LiveTable::WriteLocked(int row, std::string_view text,
                            const update::JobReport* report) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
  Row& entry = rows_[static_cast<std::size_t>(row)];
  entry.text = OneLine(text);
  if (report != nullptr) entry.percent = ProgressAfter(entry.percent, *report);
  DrawLocked();
}

std::string LiveTable::Line(int row) const {
  std::lock_guard lock(mutex_);
  return LineOf(rows_.at(static_cast<std::size_t>(row)));
}

std::string LiveTable::LineOf(const Row& entry) {
  std::string line = entry.address;
  line.resize(std::max(line.size(), kAddressWidth), ' ');
  const int filled = entry.percent * kBarWidth / 100;
  line += " [";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  line += "] ";
  std::string percent = std::to_string(entry.percent) + "%";
  line.append(4 - std::min<std::size_t>(4, percent.size()), ' ');
  line += percent + "  " + entry.text;
  return line;
}

void LiveTable::DrawLocked() {
  std::string frame;
  if (drawn_) frame += "\x1b[" + std::to_string(rows_.size()) + "A";
  for (const Row& entry : rows_) frame += "\r\x1b[2K" + LineOf(entry) + "\n";
  drawn_ = true;
  report_.WriteRaw(frame);
}

}  // namespace refloq::cli
