#pragma once
// The in-process USB front end: a still-image driver whose devices are
// simulated scanners.  Tests install it with platform::SetStillImageDriver;
// each Open() starts a session of the scanner attached at that index.
#include <map>
#include <memory>
#include <mutex>

#include "platform/still_image_driver.h"
#include "sim/device_engine.h"

namespace refloq::sim {

class UsbFrontEnd final : public platform::StillImageDriver {
 public:
  // Puts a scanner at "\\.\usbscan<index>" (null removes it).  The engine
  // must outlive every device opened on it.
  void Attach(int index, DeviceEngine* engine);
  std::unique_ptr<platform::StillImageDevice> Open(int index) override;

 private:
  std::mutex mutex_;
  std::map<int, DeviceEngine*> engines_;
};

}  // namespace refloq::sim
