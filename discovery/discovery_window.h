#pragma once
// What discovery needs of the main window, as small interfaces that the
// window, refloq-cli and the tests implement.  Nothing in discovery knows a
// real window.
//
// Threads: the searches run on the window's thread and use every part; a
// rediscovery runs on update workers, reads only trace_path and, when the
// probe template is missing, shows one message, so a MessageSink must
// accept calls from any thread.
#include <functional>
#include <string>
#include <string_view>

namespace refloq::discovery {

// One of the window's two tables (the Device Table, the Update Table).
// Column 0 of a row is its address text: "USB" or a dotted IPv4 address.
class DeviceList {
 public:
  virtual ~DeviceList() = default;
  virtual int RowCount() const = 0;
  // Column 0 of row `row`, 0 <= row < RowCount().
  virtual std::string AddressAt(int row) const = 0;
  // Adds a row at the end: column 0 `address`, column 1 the text of string
  // `status_text_id`.  The window also sets the list's check-box style
  // again.
  virtual void AppendRow(std::string_view address, int status_text_id) = 0;
};

// Message boxes with one OK button.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // An empty caption stands for the application's name.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
};

// A user-visible text by its string id, UTF-8 (the application's
// LoadUiString).
using UiStringLoader = std::function<std::string(int id)>;

// The window as a search sees it.
struct DiscoveryWindow {
  DeviceList& device_table;
  DeviceList& update_table;
  MessageSink& messages;
  UiStringLoader load_ui_string;
  // Where the step trace would go (the trace switch is always 0).
  std::string trace_path;
};

}  // namespace refloq::discovery
