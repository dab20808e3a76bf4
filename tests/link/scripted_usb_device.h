#pragma once
// An in-process still-image device that a test scripts: its descriptor,
// how each write ends, what each read brings, the vendor requests' reply.
// It records what the link sent.  The script is shared with the test, so
// the test can read the record after the connection has closed the device.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/still_image_driver.h"

namespace refloq::link::testing {

struct UsbRead {
  bool ok = true;                   // false: the read is refused
  std::vector<std::uint8_t> bytes;  // what the read brings (empty: nothing)
  int repeat = 1;                   // the same read this many times
};

struct UsbScript {
  // Script.
  bool descriptor_ok = true;
  platform::DeviceDescriptor descriptor{0x2F4E, 0x8800, 0x0100, 0x0409};
  std::deque<platform::UsbWriteResult> writes_to_come;  // empty: all done
  std::deque<UsbRead> reads_to_come;                    // empty: empty reads
  bool vendor_ok = true;
  std::vector<std::uint8_t> vendor_reply{0, 0, 0, 0, 0};  // empty: untouched
  // Record.
  std::vector<std::vector<std::uint8_t>> writes;
  std::vector<std::uint32_t> write_waits;
  int read_calls = 0;
  std::vector<platform::VendorRequest> vendor_requests;
  std::vector<std::vector<std::uint8_t>> vendor_buffers_on_entry;
  bool closed = false;
};

class ScriptedUsbDevice final : public platform::StillImageDevice {
 public:
  explicit ScriptedUsbDevice(std::shared_ptr<UsbScript> script)
      : script_(std::move(script)) {}
  ~ScriptedUsbDevice() override { script_->closed = true; }

  bool ReadDescriptor(platform::DeviceDescriptor& out) override;
  platform::UsbWriteResult Write(const std::uint8_t* data, std::uint32_t length,
                                 std::uint32_t wait_ms) override;
  platform::UsbReadResult Read(std::uint8_t* buffer,
                               std::uint32_t length) override;
  bool SendVendorRequest(const platform::VendorRequest& request,
                         std::uint8_t* data, std::uint32_t length) override;

 private:
  std::shared_ptr<UsbScript> script_;
};

// Devices by still-image index; installs itself as the process's driver
// for its lifetime.
class ScriptedUsbDriver final : public platform::StillImageDriver {
 public:
  ScriptedUsbDriver();
  ~ScriptedUsbDriver() override;
  ScriptedUsbDriver(const ScriptedUsbDriver&) = delete;
  ScriptedUsbDriver& operator=(const ScriptedUsbDriver&) = delete;

  // Adds (or returns) the device at `index`.
  std::shared_ptr<UsbScript> AddDevice(int index);
  std::unique_ptr<platform::StillImageDevice> Open(int index) override;
  std::vector<int> OpenedIndices() const;

 private:
  mutable std::mutex mutex_;
  std::map<int, std::shared_ptr<UsbScript>> devices_;
  std::vector<int> opened_;
};

}  // namespace refloq::link::testing
