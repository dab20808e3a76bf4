#pragma once
// The window's two lists and message boxes as the searches and the
// rediscovery see them (discovery::DiscoveryWindow).
#include <string>
#include <string_view>

#include "app/window/control_ids.h"
#include "app/window/dialog_view.h"
#include "app/window/main_window.h"
#include "app/window/window_model.h"
#include "discovery/discovery_window.h"

namespace refloq::window {

class ModelDeviceList final : public discovery::DeviceList {
 public:
  ModelDeviceList(WindowModel& model, int list) : model_(model), list_(list) {}
  int RowCount() const override { return model_.RowCount(list_); }
  std::string AddressAt(int row) const override {
    const auto entry = model_.RowAt(list_, row);
    return entry ? entry->address : std::string();
  }
  void AppendRow(std::string_view address, int status_text_id) override {
    model_.AppendRow(list_, address, StatusCell::Text(status_text_id), false);
  }

 private:
  WindowModel& model_;
  const int list_;
};

class ViewMessages final : public discovery::MessageSink {
 public:
  explicit ViewMessages(DialogView& view) : view_(view) {}
  void ShowMessage(std::string_view text, std::string_view caption) override {
    view_.ShowMessage(text, caption, MessageButtons::kOk);
  }

 private:
  DialogView& view_;
};

class MainWindow::DiscoveryTables {
 public:
  DiscoveryTables(WindowModel& model, DialogView& view,
                  update::UiStringLoader ui)
      : device_(model, kIdDeviceTable),
        update_(model, kIdUpdateTable),
        messages_(view),
        window_{device_, update_, messages_, std::move(ui), ""} {}

  discovery::DiscoveryWindow& window() { return window_; }

 private:
  ModelDeviceList device_;
  ModelDeviceList update_;
  ViewMessages messages_;
  discovery::DiscoveryWindow window_;
};

}  // namespace refloq::window
