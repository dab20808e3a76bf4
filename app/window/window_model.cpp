#include "app/window/window_model.h"

#include <algorithm>
#include <utility>

#include "app/window/control_ids.h"

namespace refloq::window {

WindowModel::WindowModel(ModelObserver& observer, update::UiStringLoader ui)
    : observer_(observer), ui_(std::move(ui)) {}

WindowModel::List& WindowModel::ListOf(int list) {
  return list == kIdUpdateTable ? update_ : device_;
}

const WindowModel::List& WindowModel::ListOf(int list) const {
  return list == kIdUpdateTable ? update_ : device_;
}

int WindowModel::IndexLocked(const List& list, std::uint64_t key) const {
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (list.rows[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

void WindowModel::Notify(ModelChange::Kind kind, int control, int row) {
  observer_.ModelChanged({kind, control, row});
}

int WindowModel::RowCount(int list) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(ListOf(list).rows.size());
}

std::vector<TableRow> WindowModel::Rows(int list) const {
  std::lock_guard lock(mutex_);
  return ListOf(list).rows;
}

std::optional<TableRow> WindowModel::RowAt(int list, int row) const {
  std::lock_guard lock(mutex_);
  const auto& rows = ListOf(list).rows;
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return {};
  return rows[static_cast<std::size_t>(row)];
}

int WindowModel::IndexOf(int list, std::uint64_t key) const {
  std::lock_guard lock(mutex_);
  return IndexLocked(ListOf(list), key);
}

std::optional<TableRow> WindowModel::FindAddress(
    int list, std::string_view address) const {
  std::lock_guard lock(mutex_);
  for (const TableRow& row : ListOf(list).rows) {
    if (row.address == address) return row;
  }
  return {};
}

std::string WindowModel::TextOf(const StatusCell& cell) const {
  return update::StatusText(cell, ui_);
}

std::string WindowModel::StatusText(int list, int row) const {
  const std::optional<TableRow> found = RowAt(list, row);
  return found ? TextOf(found->status) : std::string();
}

std::uint64_t WindowModel::InsertRow(int list, int position,
                                     std::string_view address,
                                     const StatusCell& status, bool checked) {
  std::uint64_t key = 0;
  int index = 0;
  {
    std::lock_guard lock(mutex_);
    List& target = ListOf(list);
    key = next_key_++;
    index = std::clamp(position, 0, static_cast<int>(target.rows.size()));
    target.rows.insert(target.rows.begin() + index,
                       TableRow{key, std::string(address), status, checked});
    target.style = kListStyleWithRows;
  }
  Notify(ModelChange::Kind::kListLayout, list);
  Notify(ModelChange::Kind::kRowInserted, list, index);
  return key;
}

std::uint64_t WindowModel::AppendRow(int list, std::string_view address,
                                     const StatusCell& status, bool checked) {
  return InsertRow(list, RowCount(list), address, status, checked);
}

int WindowModel::DeleteCheckedRows(int list) {
  std::vector<int> deleted;
  {
    std::lock_guard lock(mutex_);
    auto& rows = ListOf(list).rows;
    for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
      if (!rows[static_cast<std::size_t>(i)].checked) continue;
      rows.erase(rows.begin() + i);
      deleted.push_back(i);
    }
  }
  for (int row : deleted) Notify(ModelChange::Kind::kRowDeleted, list, row);
  return static_cast<int>(deleted.size());
}

template <typename Change>
bool WindowModel::ChangeRow(int list, std::uint64_t key, ModelChange::Kind kind,
                            Change change) {
  int index = -1;
  {
    std::lock_guard lock(mutex_);
    List& target = ListOf(list);
    index = IndexLocked(target, key);
    if (index < 0) return false;
    change(target.rows[static_cast<std::size_t>(index)]);
  }
  Notify(kind, list, index);
  return true;
}

bool WindowModel::SetStatus(int list, std::uint64_t key,
                            const StatusCell& status) {
  return ChangeRow(list, key, ModelChange::Kind::kRowStatus,
                   [&](TableRow& row) { row.status = status; });
}

bool WindowModel::SetChecked(int list, std::uint64_t key, bool checked) {
  return ChangeRow(list, key, ModelChange::Kind::kRowCheck,
                   [&](TableRow& row) { row.checked = checked; });
}

void WindowModel::SetColumns(int list, std::vector<ListColumn> columns) {
  {
    std::lock_guard lock(mutex_);
    ListOf(list).columns = std::move(columns);
  }
  Notify(ModelChange::Kind::kListLayout, list);
}

std::vector<ListColumn> WindowModel::Columns(int list) const {
  std::lock_guard lock(mutex_);
  return ListOf(list).columns;
}

void WindowModel::SetListStyle(int list, unsigned style) {
  {
    std::lock_guard lock(mutex_);
    ListOf(list).style = style;
  }
  Notify(ModelChange::Kind::kListLayout, list);
}

unsigned WindowModel::ListStyle(int list) const {
  std::lock_guard lock(mutex_);
  return ListOf(list).style;
}

ControlState WindowModel::Control(int id) const {
  std::lock_guard lock(mutex_);
  const auto it = controls_.find(id);
  return it == controls_.end() ? ControlState{} : it->second;
}

template <typename Change>
void WindowModel::ChangeControl(int id, Change change) {
  {
    std::lock_guard lock(mutex_);
    change(controls_[id]);
  }
  Notify(ModelChange::Kind::kControl, id);
}

void WindowModel::SetEnabled(int id, bool enabled) {
  ChangeControl(id, [&](ControlState& c) { c.enabled = enabled; });
}

void WindowModel::SetVisible(int id, bool visible) {
  ChangeControl(id, [&](ControlState& c) { c.visible = visible; });
}

void WindowModel::SetChecked(int id, bool checked) {
  ChangeControl(id, [&](ControlState& c) { c.checked = checked; });
}

void WindowModel::SetText(int id, std::string_view text) {
  ChangeControl(id, [&](ControlState& c) { c.text = std::string(text); });
}

void WindowModel::SetTitle(std::string_view title) {
  {
    std::lock_guard lock(mutex_);
    title_ = std::string(title);
  }
  Notify(ModelChange::Kind::kTitle, 0);
}

std::string WindowModel::Title() const {
  std::lock_guard lock(mutex_);
  return title_;
}

}  // namespace refloq::window
