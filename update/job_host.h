#pragma once
// What the update engine needs of whoever shows the jobs (the window, the
// CLI, the tests): a writer for the status column of the Update Table, the
// enabling of the controls, and the user-visible texts by string id.
#include <functional>
#include <string>
#include <string_view>

namespace refloq::update {

// Column 1 of the Update Table.  Called from worker threads; each call
// returns when the text is in place.
class RowWriter {
 public:
  virtual ~RowWriter() = default;
  virtual void WriteRowText(int row, std::string_view text) = 0;
};

// The window's buttons and lists.  The engine calls this only when no job
// is busy and no start is under way.
class ControlsSwitch {
 public:
  virtual ~ControlsSwitch() = default;
  virtual void EnableControls() = 0;
};

// A user-visible text by its string id (UTF-8).
using UiStringLoader = std::function<std::string(int id)>;

}  // namespace refloq::update
