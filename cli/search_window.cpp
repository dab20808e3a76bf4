#include "cli/search_window.h"

namespace refloq::cli {

int ReportedList::RowCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(addresses_.size());
}

std::string ReportedList::AddressAt(int row) const {
  std::lock_guard lock(mutex_);
  return addresses_.at(static_cast<std::size_t>(row));
}

void ReportedList::AppendRow(std::string_view address,
                             std::string_view status) {
  {
    std::lock_guard lock(mutex_);
    addresses_.emplace_back(address);
  }
  // The row's text is the window's "Ready"; no state is claimed beyond
  // it, since the multicast search lists a busy scanner too.
  if (report_ != nullptr) report_->Row(address, status);
}

void ReportedMessages::ShowMessage(std::string_view text,
                                   std::string_view caption) {
  nlohmann::json fields = nlohmann::json::object();
  if (!caption.empty()) fields["caption"] = caption;
  report_.Message(text, fields);
}

SearchWindow::SearchWindow(Context& context, bool list_rows)
    : device_table_(list_rows ? &context.report : nullptr),
      messages_(context.report),
      window_{device_table_, update_table_, messages_, context.ui, ""} {}

}  // namespace refloq::cli
