#include "cli/window_view.h"

#include <algorithm>

#include "app/window/control_ids.h"
#include "cli/password_input.h"

namespace refloq::cli {

using window::kIdDeviceTable;
using window::kIdUpdateTable;
using window::ModelChange;

WindowView::WindowView(Context& context, Mode mode,
                       std::vector<std::string> addresses, bool live)
    : context_(context), mode_(mode), addresses_(std::move(addresses)) {
  if (live) live_ = std::make_unique<LiveTable>(context.report, addresses_);
}

WindowView::~WindowView() { ForgetPassword(); }

void WindowView::Watch(const window::WindowModel& model) {
  std::lock_guard lock(mutex_);
  model_ = &model;
}

void WindowView::StartPrinting() {
  std::lock_guard lock(mutex_);
  printing_ = true;
}

void WindowView::SetPassword(std::string bytes) {
  std::lock_guard lock(mutex_);
  WipeSecret(password_);
  password_.swap(bytes);
}

void WindowView::ForgetPassword() {
  std::lock_guard lock(mutex_);
  WipeSecret(password_);
}

int WindowView::ListedCount() const {
  std::lock_guard lock(mutex_);
  return listed_;
}

int WindowView::IndexOf(const std::string& address) const {
  const auto it = std::find(addresses_.begin(), addresses_.end(), address);
  return it == addresses_.end() ? -1
                                : static_cast<int>(it - addresses_.begin());
}

void WindowView::ModelChanged(const ModelChange& change) {
  {
    std::lock_guard lock(mutex_);
    if (!printing_ || model_ == nullptr) return;
  }
  if (change.kind == ModelChange::Kind::kRowInserted) {
    PrintRow(change.control, change.row, true);
  } else if (change.kind == ModelChange::Kind::kRowStatus) {
    PrintRow(change.control, change.row, false);
  }
}

void WindowView::PrintRow(int list, int row, bool inserted) {
  const auto entry = model_->RowAt(list, row);
  if (!entry || entry->status.is_cleared()) return;
  const std::string text = model_->TextOf(entry->status);
  if (mode_ == Mode::kSearch) {
    // A search's result: each row the Device Table gains.
    if (list != kIdDeviceTable || !inserted) return;
    {
      std::lock_guard lock(mutex_);
      ++listed_;
    }
    context_.report.Row(entry->address, text);
    return;
  }
  const int index = IndexOf(entry->address);
  if (index < 0) return;
  std::string_view stage;
  if (mode_ == Mode::kRecover) {
    if (list != kIdDeviceTable || inserted) return;
    stage = "recover";
  } else if (list == kIdUpdateTable && !inserted) {
    stage = "update";
  } else {
    // "↓": a row moved down, or the text of one that stayed behind.
    stage = entry->address == "USB" ? "probe" : "login";
  }
  if (live_) {
    if (stage == "update" || stage == "recover") {
      live_->WriteReport(index, entry->status, text);
    } else {
      live_->Write(index, text);
    }
    return;
  }
  context_.report.Row(entry->address, text, {{"stage", stage}});
}

window::MessageAnswer WindowView::ShowMessage(std::string_view text,
                                              std::string_view caption,
                                              window::MessageButtons buttons) {
  // A question was settled by running the command: it is answered OK
  // and not shown.
  if (buttons == window::MessageButtons::kOkCancel) {
    return window::MessageAnswer::kOk;
  }
  nlohmann::json fields = nlohmann::json::object();
  if (!caption.empty()) fields["caption"] = caption;
  context_.report.Message(text, fields);
  return window::MessageAnswer::kOk;
}

window::PasswordAnswer WindowView::AskPassword(
    const window::PasswordDialogTexts&) {
  std::lock_guard lock(mutex_);
  window::PasswordAnswer answer;
  answer.login = true;
  answer.single_byte = true;
  answer.text.reserve(password_.size());
  answer.text.assign(password_);
  return answer;
}

}  // namespace refloq::cli
