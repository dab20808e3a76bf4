#pragma once
// A main window under test: the recording view, a USB scanner that can be
// plugged in, a fleet of network scanners, a small firmware container as
// the program's image, a scripted still-image service and a compressed
// clock.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/language.h"
#include "app/window/control_ids.h"
#include "app/window/main_window.h"
#include "firmware/container_writer.h"
#include "firmware/firmware_loader.h"
#include "platform/clock.h"
#include "platform/still_image_driver.h"
#include "sim/device_engine.h"
#include "sim/usb_front_end.h"
#include "tests/cli/cli_fleet.h"
#include "tests/update/scripted_service_control.h"
#include "tests/window/recording_view.h"

namespace refloq::window::testing {

inline std::vector<std::uint8_t> SmallPayload() {
  std::vector<std::uint8_t> payload(4096 + 7);
  for (std::size_t i = 0; i < payload.size(); ++i) {
    payload[i] = static_cast<std::uint8_t>(i * 31 + 5);
  }
  return payload;
}

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : container_(firmware::PackFirmwareContainer(SmallPayload())) {
    platform::Clock::SetScale(50.0);
  }
  ~WindowTest() override {
    window_.reset();
    platform::SetStillImageDriver(nullptr);
  }

  // A scanner on USB, in the state `change` leaves it.
  void PlugUsb(const std::function<void(sim::ScannerState&)>& change = {}) {
    if (change) usb_engine_.UpdateState(change);
    usb_.Attach(0, &usb_engine_);
    platform::SetStillImageDriver(&usb_);
  }
  void StartFleet(std::vector<sim::ScannerSetup> scanners) {
    fleet_.emplace(std::move(scanners));
  }

  WindowServices Services() {
    WindowServices services;
    services.ui = [](int id) {
      return app::LoadUiString(static_cast<std::uint16_t>(id));
    };
    services.version_text = "3.29.24.531";
    services.enable_downgrade = [] { return 1; };
    services.show_all_string = [this] { return show_all_string_; };
    services.load_firmware = [this](firmware::FirmwareImage& image) {
      firmware::FirmwareSource source;
      source.embeddedContainer = [this] {
        return std::span<const std::uint8_t>(container_);
      };
      return firmware::LoadFirmwareImage(source, image);
    };
    services.service_control = &*services_;
    return services;
  }

  // Builds the window and runs its start to the end of the USB query.
  MainWindow& Open() {
    window_.emplace(view_, Services());
    view_.Watch(window_->model());
    window_->OnInitDialog();
    window_->WaitForCommand();
    return *window_;
  }
  MainWindow& window() { return *window_; }
  WindowModel& model() { return window_->model(); }

  std::string Ui(int id) const {
    return app::LoadUiString(static_cast<std::uint16_t>(id));
  }
  std::vector<std::string> Addresses(int list) const {
    std::vector<std::string> addresses;
    for (const TableRow& row : window_->model().Rows(list)) {
      addresses.push_back(row.address);
    }
    return addresses;
  }
  std::vector<std::string> Texts(int list) const {
    std::vector<std::string> texts;
    for (const TableRow& row : window_->model().Rows(list)) {
      texts.push_back(window_->model().TextOf(row.status));
    }
    return texts;
  }
  std::vector<bool> Checks(int list) const {
    std::vector<bool> checks;
    for (const TableRow& row : window_->model().Rows(list)) {
      checks.push_back(row.checked);
    }
    return checks;
  }
  bool Enabled(int id) const { return window_->model().Control(id).enabled; }
  // Lists network scanner i in the Device Table: its address typed into
  // the field, then Enter.
  void List(int i) {
    window_->SetAddressField(cli::testing::FleetAddress(i));
    window_->OnEnterKey();
    window_->WaitForCommand();
  }
  void Check(int list, int row, bool checked = true) {
    if (list == kIdDeviceTable) {
      window_->OnDeviceTableChanged(row, checked);
    } else {
      window_->OnUpdateTableChanged(row, checked);
    }
    window_->WaitForCommand();
  }

  std::vector<std::uint8_t> container_;
  std::uint16_t show_all_string_ = 0;
  sim::DeviceEngine usb_engine_;
  sim::UsbFrontEnd usb_;
  std::optional<cli::testing::CliFleet> fleet_;
  // The still-image service of the USB jobs, as a script says.
  void UseServiceScript(const update::testing::ServiceScript& script) {
    services_.emplace(script);
  }

  std::optional<update::testing::ScriptedServiceControl> services_{
      std::in_place, update::testing::ServiceScript{}};
  RecordingView view_;
  std::optional<MainWindow> window_;
};

}  // namespace refloq::window::testing
