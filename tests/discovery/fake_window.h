#pragma once
// The window as the discovery tests see it: two tables of rows, the
// message boxes shown, and the English texts of the string table.
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "discovery/discovery_window.h"
#include "texts/string_ids.h"

namespace refloq::discovery::testing {

struct Row {
  std::string address;
  std::string status;
  friend bool operator==(const Row&, const Row&) = default;
  friend void PrintTo(const Row& row, std::ostream* out) {
    *out << "{" << row.address << ", " << row.status << "}";
  }
};

struct Message {
  std::string text;
  std::string caption;
  friend bool operator==(const Message&, const Message&) = default;
  friend void PrintTo(const Message& message, std::ostream* out) {
    *out << "{" << message.text << ", " << message.caption << "}";
  }
};

class FakeList : public DeviceList {
 public:
  int RowCount() const override {
    std::lock_guard lock(mutex_);
    return static_cast<int>(rows_.size());
  }
  std::string AddressAt(int row) const override {
    std::lock_guard lock(mutex_);
    return rows_.at(static_cast<std::size_t>(row)).address;
  }
  // The row's status as its English text ("Ready"), or the id's digits.
  void AppendRow(std::string_view address, int status_text_id) override {
    std::lock_guard lock(mutex_);
    rows_.push_back(
        {std::string(address), status_text_id == texts::kTextReady
                                   ? std::string("Ready")
                                   : std::to_string(status_text_id)});
  }
  std::vector<Row> Rows() const {
    std::lock_guard lock(mutex_);
    return rows_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Row> rows_;
};

class RecordingMessages : public MessageSink {
 public:
  void ShowMessage(std::string_view text, std::string_view caption) override {
    std::lock_guard lock(mutex_);
    shown_.push_back({std::string(text), std::string(caption)});
  }
  std::vector<Message> Shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Message> shown_;
};

// The English texts of the string table that discovery shows.
inline std::string EnglishText(int id) {
  static const std::map<int, std::string> texts = {
      {113, "Ready"},
      {133, "Device Not Found.  Please Check."},
      {134, "Device is Busy."},
      {135, "Add IP Address Success."}};
  const auto found = texts.find(id);
  return found == texts.end() ? std::string() : found->second;
}

inline const Message kNotFound{"Device Not Found.  Please Check.", ""};
inline const Message kBusy{"Device is Busy.", ""};
inline const Message kAdded{"Add IP Address Success.", ""};
inline const Message kNoTemplate{"No Send Data,Please check sample file",
                                 "Error"};

struct FakeWindow {
  FakeList device_table;
  FakeList update_table;
  RecordingMessages messages;
  DiscoveryWindow window{device_table, update_table, messages, EnglishText, ""};
};

}  // namespace refloq::discovery::testing
