#include "platform/win32/usbscan_driver.h"

#include <cstdio>
#include <cstring>

#include "platform/clock.h"

namespace refloq::platform {
namespace {

// Closes an event on every way out of a transfer.
class EventHandle {
 public:
  explicit EventHandle(const UsbscanApi& api)
      : api_(api), handle_(api.create_event(nullptr, FALSE, FALSE, nullptr)) {}
  ~EventHandle() {
    if (handle_) api_.close_handle(handle_);
  }
  EventHandle(const EventHandle&) = delete;
  EventHandle& operator=(const EventHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  const UsbscanApi& api_;
  HANDLE handle_;
};

class UsbscanDevice final : public StillImageDevice {
 public:
  UsbscanDevice(const UsbscanApi& api, HANDLE handle)
      : api_(api), handle_(handle) {}
  ~UsbscanDevice() override { api_.close_handle(handle_); }
  UsbscanDevice(const UsbscanDevice&) = delete;
  UsbscanDevice& operator=(const UsbscanDevice&) = delete;

  bool ReadDescriptor(DeviceDescriptor& out) override {
    // One 8-byte buffer serves as input and output.
    std::uint16_t fields[4] = {};
    DWORD returned = 0;
    if (!api_.device_io_control(handle_, kIoctlGetDeviceDescriptor, fields,
                                sizeof fields, fields, sizeof fields, &returned,
                                nullptr)) {
      return false;
    }
    out.usVendorId = fields[0];
    out.usProductId = fields[1];
    out.usBcdDevice = fields[2];
    out.usLanguageId = fields[3];
    return true;
  }

  UsbWriteResult Write(const std::uint8_t* data, std::uint32_t length,
                       std::uint32_t wait_ms) override {
    UsbWriteResult result;
    EventHandle event(api_);
    if (!event.get()) {
      result.status = UsbWriteStatus::kEventFailed;
      return result;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD written = 0;
    if (!api_.write_file(handle_, data, length, &written, &overlapped) &&
        api_.get_last_error() != ERROR_IO_PENDING) {
      result.status = UsbWriteStatus::kRefused;
      return result;
    }
    if (api_.wait_for_single_object(event.get(), Clock::ToRealMs(wait_ms)) !=
        WAIT_OBJECT_0) {
      result.status = UsbWriteStatus::kTimedOut;
      return result;
    }
    if (!api_.get_overlapped_result(handle_, &overlapped, &written, TRUE)) {
      result.status = UsbWriteStatus::kResultUnavailable;
      return result;
    }
    result.status = UsbWriteStatus::kDone;
    result.count = written;
    return result;
  }

  UsbReadResult Read(std::uint8_t* buffer, std::uint32_t length) override {
    UsbReadResult result;
    EventHandle event(api_);
    if (!event.get()) return result;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD count = 0;
    if (!api_.read_file(handle_, buffer, length, &count, &overlapped)) {
      // The handle is synchronous; a pending read is only waited for in
      // case a driver completes it later after all.
      if (api_.get_last_error() != ERROR_IO_PENDING ||
          !api_.get_overlapped_result(handle_, &overlapped, &count, TRUE)) {
        return result;
      }
    }
    result.ok = true;
    result.count = count;
    return result;
  }

  bool SendVendorRequest(const VendorRequest& request, std::uint8_t* data,
                         std::uint32_t length) override {
    IoBlockEx block{};
    block.uOffset = request.wValue;
    block.uLength = length;
    block.pbyData = data;
    block.uIndex = request.wIndex;
    block.bRequest = request.bRequest;
    block.bmRequestType = request.bmRequestType;
    block.fTransferDirectionIn = (request.bmRequestType & 0x80) ? 1 : 0;
    DWORD returned = 0;
    return api_.device_io_control(handle_, kIoctlSendUsbRequest, &block,
                                  sizeof block, data, length, &returned,
                                  nullptr) != FALSE;
  }

 private:
  const UsbscanApi& api_;
  HANDLE handle_;
};

}  // namespace

const UsbscanApi& SystemUsbscanApi() {
  static const UsbscanApi api = {
      CreateFileW,  DeviceIoControl,     WriteFile,           ReadFile,
      CreateEventW, WaitForSingleObject, GetOverlappedResult, CloseHandle,
      GetLastError,
  };
  return api;
}

std::unique_ptr<StillImageDevice> UsbscanDriver::Open(int index) {
  wchar_t path[200];
  std::swprintf(path, 200, L"\\\\.\\usbscan%d", index);
  const HANDLE handle = api_.create_file(
      path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_SYSTEM, nullptr);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return nullptr;
  return std::make_unique<UsbscanDevice>(api_, handle);
}

}  // namespace refloq::platform
