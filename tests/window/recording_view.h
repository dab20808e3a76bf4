#pragma once
// The recording view of the window logic's tests: it records every change
// the model announces (with the control's state at that moment), every
// message box and every password prompt, and answers the dialogs from a
// script.  Safe to call from the logic's threads.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "app/window/dialog_view.h"
#include "app/window/window_model.h"

namespace refloq::window::testing {

struct RecordedBox {
  std::string text;
  std::string caption;
  MessageButtons buttons = MessageButtons::kOk;
};

// One enabling or disabling of a control, in the order it happened.
struct ControlSwitch {
  int id = 0;
  bool enabled = false;
};

class RecordingView final : public DialogView {
 public:
  // The model whose controls are read as they change (set once the
  // window exists).
  void Watch(const WindowModel& model) {
    std::lock_guard lock(mutex_);
    model_ = &model;
  }

  // The answers of the next boxes with OK and Cancel (OK when none is
  // left) and of the next password prompts (Login with an empty password
  // when none is left).
  void AnswerMessages(std::vector<MessageAnswer> answers) {
    std::lock_guard lock(mutex_);
    for (MessageAnswer a : answers) message_answers_.push_back(a);
  }
  void AnswerPassword(PasswordAnswer answer) {
    std::lock_guard lock(mutex_);
    password_answers_.push_back(std::move(answer));
  }

  void ModelChanged(const ModelChange& change) override {
    std::lock_guard lock(mutex_);
    changes_.push_back(change);
    if (change.kind == ModelChange::Kind::kControl && model_ != nullptr) {
      const bool enabled = model_->Control(change.control).enabled;
      if (last_enabled_.size() <= static_cast<std::size_t>(change.control)) {
        last_enabled_.resize(static_cast<std::size_t>(change.control) + 1, -1);
      }
      int& last = last_enabled_[static_cast<std::size_t>(change.control)];
      if (last != static_cast<int>(enabled)) {
        switches_.push_back({change.control, enabled});
        last = enabled;
      }
    }
  }

  MessageAnswer ShowMessage(std::string_view text, std::string_view caption,
                            MessageButtons buttons) override {
    std::lock_guard lock(mutex_);
    boxes_.push_back({std::string(text), std::string(caption), buttons});
    if (buttons == MessageButtons::kOk || message_answers_.empty()) {
      return MessageAnswer::kOk;
    }
    const MessageAnswer answer = message_answers_.front();
    message_answers_.pop_front();
    return answer;
  }

  PasswordAnswer AskPassword(const PasswordDialogTexts& texts) override {
    std::lock_guard lock(mutex_);
    prompts_.push_back(texts);
    if (password_answers_.empty()) return {true, "", false};
    PasswordAnswer answer = std::move(password_answers_.front());
    password_answers_.pop_front();
    return answer;
  }

  std::vector<RecordedBox> Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : Boxes()) texts.push_back(box.text);
    return texts;
  }
  std::vector<PasswordDialogTexts> Prompts() const {
    std::lock_guard lock(mutex_);
    return prompts_;
  }
  std::vector<ModelChange> Changes() const {
    std::lock_guard lock(mutex_);
    return changes_;
  }
  std::vector<ControlSwitch> Switches() const {
    std::lock_guard lock(mutex_);
    return switches_;
  }
  void ClearRecords() {
    std::lock_guard lock(mutex_);
    boxes_.clear();
    prompts_.clear();
    changes_.clear();
    switches_.clear();
  }

 private:
  mutable std::mutex mutex_;
  const WindowModel* model_ = nullptr;
  std::deque<MessageAnswer> message_answers_;
  std::deque<PasswordAnswer> password_answers_;
  std::vector<RecordedBox> boxes_;
  std::vector<PasswordDialogTexts> prompts_;
  std::vector<ModelChange> changes_;
  std::vector<ControlSwitch> switches_;
  std::vector<int> last_enabled_;
};

}  // namespace refloq::window::testing
