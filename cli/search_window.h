#pragma once
// The window as the searches and the rediscovery see it, for refloq-cli:
// the Device Table prints each row it gains (ADDRESS<TAB>TEXT), the Update
// Table is empty, and each message box becomes a message on standard error
// (or a JSON object).
#include <mutex>
#include <string>
#include <vector>

#include "cli/command.h"
#include "discovery/discovery_window.h"

namespace refloq::cli {

class ReportedList final : public discovery::DeviceList {
 public:
  // report: where appended rows are printed; null prints nothing.
  explicit ReportedList(Reporter* report) : report_(report) {}
  int RowCount() const override;
  std::string AddressAt(int row) const override;
  void AppendRow(std::string_view address, std::string_view status) override;

 private:
  Reporter* report_;
  mutable std::mutex mutex_;
  std::vector<std::string> addresses_;
};

class ReportedMessages final : public discovery::MessageSink {
 public:
  explicit ReportedMessages(Reporter& report) : report_(report) {}
  void ShowMessage(std::string_view text, std::string_view caption) override;

 private:
  Reporter& report_;
};

// One search's or one update's window.  list_rows: whether the rows the
// Device Table gains are printed (a search's result).
class SearchWindow {
 public:
  SearchWindow(Context& context, bool list_rows);
  SearchWindow(const SearchWindow&) = delete;
  SearchWindow& operator=(const SearchWindow&) = delete;

  discovery::DiscoveryWindow& window() { return window_; }
  int ListedCount() const { return device_table_.RowCount(); }

 private:
  ReportedList device_table_;
  ReportedList update_table_{nullptr};
  ReportedMessages messages_;
  discovery::DiscoveryWindow window_;
};

}  // namespace refloq::cli
