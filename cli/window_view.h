#pragma once
// refloq-cli as a view of the main window: it prints what a command makes
// the window show for the addresses given (the rows a search gains, the
// texts of the rows of "↓", the jobs and "Recover FW"), draws the live
// table on a terminal, turns message boxes into messages, and answers the
// window's questions as the command line has settled them: the
// confirmations with OK, the password dialog with the password read from
// standard input.
//
// Nothing is printed until StartPrinting: the window's start (its "USB"
// row) is not a result.  Model changes come from the window's command
// thread and from the jobs' workers; each line is printed whole.
#include <mutex>
#include <string>
#include <vector>

#include "app/window/dialog_view.h"
#include "cli/command.h"
#include "cli/live_table.h"

namespace refloq::cli {

class WindowView final : public window::DialogView {
 public:
  enum class Mode {
    kSearch,   // the Device Table's new rows: ADDRESS<TAB>TEXT
    kUpdate,   // "↓" ("login", "probe") and the jobs ("update")
    kRecover,  // the "USB" row of the Device Table ("recover")
  };

  // addresses: the scanners of the command line, in their order (the
  // rows of the live table); empty for a search.
  WindowView(Context& context, Mode mode, std::vector<std::string> addresses,
             bool live);

  void Watch(const window::WindowModel& model);
  void StartPrinting();
  // The answer of the password dialog: the bytes to send (standard
  // input's first line); wiped by ForgetPassword and when the view ends.
  void SetPassword(std::string bytes);
  void ForgetPassword();
  ~WindowView() override;

  // Rows the Device Table gained while printing (a search's result).
  int ListedCount() const;

  void ModelChanged(const window::ModelChange& change) override;
  window::MessageAnswer ShowMessage(std::string_view text,
                                    std::string_view caption,
                                    window::MessageButtons buttons) override;
  window::PasswordAnswer AskPassword(
      const window::PasswordDialogTexts& texts) override;

 private:
  void PrintRow(int list, int row, bool inserted);
  int IndexOf(const std::string& address) const;

  Context& context_;
  const Mode mode_;
  const std::vector<std::string> addresses_;
  std::unique_ptr<LiveTable> live_;
  const window::WindowModel* model_ = nullptr;
  mutable std::mutex mutex_;
  bool printing_ = false;
  int listed_ = 0;
  std::string password_;
};

}  // namespace refloq::cli
