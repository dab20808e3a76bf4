#pragma once
// The main window of one command: built over the command's view, started
// as the window starts (its "USB" row included), and closed as the window
// closes when the command ends (the still-image service started again
// after a USB job).
#include <string>
#include <vector>

#include "app/window/main_window.h"
#include "cli/window_view.h"

namespace refloq::cli {

class CommandWindow {
 public:
  CommandWindow(WindowView& view, window::WindowServices services);
  // Waits for whatever still runs, then closes the window.
  ~CommandWindow();
  CommandWindow(const CommandWindow&) = delete;
  CommandWindow& operator=(const CommandWindow&) = delete;

  window::MainWindow& operator*() { return window_; }
  window::MainWindow* operator->() { return &window_; }

  // The user's choice in the Device Table: the "USB" row checked when
  // "USB" is given, a checked row for each network address, nothing else
  // checked.
  void Select(const std::vector<std::string>& addresses);
  // Waits until nothing runs and closes the window.
  void Close();

 private:
  window::MainWindow window_;
};

}  // namespace refloq::cli
