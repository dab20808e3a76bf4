#include "cli/command_window.h"

#include <algorithm>
#include <utility>

#include "app/window/control_ids.h"

namespace refloq::cli {

using window::kIdDeviceTable;

CommandWindow::CommandWindow(WindowView& view, window::WindowServices services)
    : window_(view, std::move(services)) {
  view.Watch(window_.model());
  window_.OnInitDialog();
  window_.WaitForCommand();
}

CommandWindow::~CommandWindow() { Close(); }

void CommandWindow::Close() {
  window_.WaitUntilIdle();
  window_.OnCloseButton();
}

void CommandWindow::Select(const std::vector<std::string>& addresses) {
  window::WindowModel& model = window_.model();
  const bool usb =
      std::find(addresses.begin(), addresses.end(), "USB") != addresses.end();
  for (const window::TableRow& row : model.Rows(kIdDeviceTable)) {
    model.SetChecked(kIdDeviceTable, row.key, usb && row.address == "USB");
  }
  for (const std::string& address : addresses) {
    if (address == "USB") continue;
    model.AppendRow(kIdDeviceTable, address, window::StatusCell::Cleared(),
                    true);
  }
}

}  // namespace refloq::cli
