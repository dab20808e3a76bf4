#pragma once
// What the main window shows, owned by the window logic: the two lists
// (rows with their address, status and check box), the state of every
// control and the title.  Handlers, the command thread and the update
// workers all write here; every change is announced to the observer (the
// view), which redraws from the model on its own thread.  Nothing here
// blocks on the view.
//
// Threads: every member may be called from any thread; the observer is
// called after the model's lock is released, so it may read the model.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/job_host.h"
#include "update/job_report.h"

namespace refloq::window {

// Column 1 of a row, as data: a string id (with numbers), a percentage,
// or empty.
using StatusCell = update::JobReport;

struct TableRow {
  // Stays with the row while rows are inserted and deleted around it.
  std::uint64_t key = 0;
  std::string address;  // column 0
  StatusCell status;    // column 1
  bool checked = false;
};

struct ControlState {
  bool enabled = true;
  bool visible = true;
  bool checked = false;  // check boxes
  std::string text;
};

struct ListColumn {
  std::string header;
  int width = 0;
};

struct ModelChange {
  enum class Kind {
    kTitle,
    kControl,      // enabled, visible, checked or text of `control`
    kListLayout,   // columns or extended style of list `control`
    kRowInserted,  // row `row` of list `control`
    kRowDeleted,
    kRowStatus,
    kRowCheck,
  };
  Kind kind = Kind::kControl;
  int control = 0;
  int row = -1;
};

class ModelObserver {
 public:
  virtual ~ModelObserver() = default;
  // Must return at once: it may be called from a worker thread.
  virtual void ModelChanged(const ModelChange& change) = 0;
};

class WindowModel {
 public:
  WindowModel(ModelObserver& observer, update::UiStringLoader ui);
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  // Lists, by control id (kIdDeviceTable, kIdUpdateTable).
  int RowCount(int list) const;
  std::vector<TableRow> Rows(int list) const;
  std::optional<TableRow> RowAt(int list, int row) const;
  // The row's index now; -1 when the row is gone.
  int IndexOf(int list, std::uint64_t key) const;
  // The first row whose address is exactly `address`.
  std::optional<TableRow> FindAddress(int list, std::string_view address) const;
  // The status text as shown, made from the cell with the window's texts.
  std::string StatusText(int list, int row) const;
  std::string TextOf(const StatusCell& cell) const;

  // Inserts a row at `position` (clamped to the end) and sets the list's
  // extended style to the one with check boxes; returns the row's key.
  std::uint64_t InsertRow(int list, int position, std::string_view address,
                          const StatusCell& status, bool checked);
  std::uint64_t AppendRow(int list, std::string_view address,
                          const StatusCell& status, bool checked);
  // Deletes every checked row, last first; returns how many.
  int DeleteCheckedRows(int list);
  // False when the row is gone.
  bool SetStatus(int list, std::uint64_t key, const StatusCell& status);
  bool SetChecked(int list, std::uint64_t key, bool checked);

  void SetColumns(int list, std::vector<ListColumn> columns);
  std::vector<ListColumn> Columns(int list) const;
  void SetListStyle(int list, unsigned style);
  unsigned ListStyle(int list) const;

  // Controls by id; an id never set reads as enabled, visible, empty.
  ControlState Control(int id) const;
  void SetEnabled(int id, bool enabled);
  void SetVisible(int id, bool visible);
  void SetChecked(int id, bool checked);
  void SetText(int id, std::string_view text);

  void SetTitle(std::string_view title);
  std::string Title() const;

 private:
  struct List {
    std::vector<TableRow> rows;
    std::vector<ListColumn> columns;
    unsigned style = 0;
  };
  List& ListOf(int list);
  const List& ListOf(int list) const;
  int IndexLocked(const List& list, std::uint64_t key) const;
  void Notify(ModelChange::Kind kind, int control, int row = -1);
  // Applies `change` to the row or control under the lock, then tells the
  // observer.
  template <typename Change>
  bool ChangeRow(int list, std::uint64_t key, ModelChange::Kind kind,
                 Change change);
  template <typename Change>
  void ChangeControl(int id, Change change);

  ModelObserver& observer_;
  const update::UiStringLoader ui_;
  mutable std::mutex mutex_;
  List device_;
  List update_;
  std::map<int, ControlState> controls_;
  std::string title_;
  std::uint64_t next_key_ = 1;
};

}  // namespace refloq::window
