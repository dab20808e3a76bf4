#pragma once
// The USB still-image device as the device link sees it: open a device by
// index, read its descriptor, move bytes with the completion rules of an
// overlapped write or read, and send a vendor control request.
//
// Implementations: win32/ (the usbscan driver), the in-process devices of
// the tests and the simulator, and later a libusb backend for Linux.  The
// process uses one driver at a time (SetStillImageDriver); until one is set
// there is no USB device on Linux and the usbscan driver on Windows.
#include <cstdint>
#include <memory>

namespace refloq::platform {

struct DeviceDescriptor {
  std::uint16_t usVendorId = 0;
  std::uint16_t usProductId = 0;
  std::uint16_t usBcdDevice = 0;
  std::uint16_t usLanguageId = 0;
};

// How an overlapped write ended, step by step as the link checks it.
enum class UsbWriteStatus {
  kDone,              // completed; `count` holds the bytes written
  kEventFailed,       // the completion event could not be created
  kRefused,           // WriteFile refused
  kTimedOut,          // completion not signalled within the wait
  kResultUnavailable  // GetOverlappedResult failed
};

struct UsbWriteResult {
  UsbWriteStatus status = UsbWriteStatus::kRefused;
  std::uint32_t count = 0;
};

struct UsbReadResult {
  bool ok = false;  // false: ReadFile refused
  std::uint32_t count = 0;
};

// One vendor control request on the control pipe (device to host).
struct VendorRequest {
  std::uint8_t bmRequestType = 0xC0;
  std::uint8_t bRequest = 0;
  std::uint16_t wValue = 0;
  std::uint16_t wIndex = 0;
};

// One opened still-image device.  Used by one thread at a time.
class StillImageDevice {
 public:
  virtual ~StillImageDevice() = default;
  // IOCTL_GET_DEVICE_DESCRIPTOR; false when the driver refuses it.
  virtual bool ReadDescriptor(DeviceDescriptor& out) = 0;
  // WriteFile with an event; waits at most wait_ms (scaled) for completion.
  virtual UsbWriteResult Write(const std::uint8_t* data, std::uint32_t length,
                               std::uint32_t wait_ms) = 0;
  // ReadFile of up to `length` bytes; a zero count is an empty read.
  virtual UsbReadResult Read(std::uint8_t* buffer, std::uint32_t length) = 0;
  // IOCTL_SEND_USB_REQUEST with an IN data stage of `length` bytes into
  // `data`; false when the driver refuses the call.
  virtual bool SendVendorRequest(const VendorRequest& request,
                                 std::uint8_t* data, std::uint32_t length) = 0;
};

class StillImageDriver {
 public:
  virtual ~StillImageDriver() = default;
  // Opens "\\.\usbscan<index>"; null when no device has that index.
  virtual std::unique_ptr<StillImageDevice> Open(int index) = 0;
};

// The driver in effect for this process (never null).
StillImageDriver& CurrentStillImageDriver();
// Replaces the driver (tests, the simulator); null restores the default.
// The caller keeps ownership and keeps the driver alive while it is set.
void SetStillImageDriver(StillImageDriver* driver);

}  // namespace refloq::platform
