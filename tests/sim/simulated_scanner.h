#pragma once
// One simulated scanner for tests, reachable both ways at once: over TCP on
// 127.0.0.1 at a port of its own (the link is pointed at it) and as the
// USB device at index 0 (the still-image driver is replaced).  Time runs
// compressed so that time limits pass in a fraction of a second.
#include <gtest/gtest.h>

#include <string>

#include "link/device_connection.h"
#include "platform/clock.h"
#include "platform/still_image_driver.h"
#include "sim/device_engine.h"
#include "sim/tcp_front_end.h"
#include "sim/usb_front_end.h"

namespace refloq::sim::testing {

// 12 s command limits take 60 ms, 120 s data limits 600 ms.
inline constexpr double kTestTimeScale = 200.0;

class SimulatedScanner {
 public:
  SimulatedScanner() : tcp_(engine_, platform::kLoopbackAddress, 0) {
    platform::Clock::SetScale(kTestTimeScale);
    EXPECT_TRUE(tcp_.Start());
    link::SetScannerTcpPort(tcp_.port());
    usb_.Attach(0, &engine_);
    platform::SetStillImageDriver(&usb_);
  }
  ~SimulatedScanner() {
    platform::SetStillImageDriver(nullptr);
    link::SetScannerTcpPort(0);
    tcp_.Stop();
  }
  SimulatedScanner(const SimulatedScanner&) = delete;
  SimulatedScanner& operator=(const SimulatedScanner&) = delete;

  DeviceEngine& engine() { return engine_; }
  UsbFrontEnd& usb() { return usb_; }
  static std::string TcpAddress() { return "127.0.0.1"; }

 private:
  DeviceEngine engine_;
  TcpFrontEnd tcp_;
  UsbFrontEnd usb_;
};

}  // namespace refloq::sim::testing
