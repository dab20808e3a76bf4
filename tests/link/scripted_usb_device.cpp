#include "tests/link/scripted_usb_device.h"

#include <algorithm>
#include <cstring>

namespace refloq::link::testing {

bool ScriptedUsbDevice::ReadDescriptor(platform::DeviceDescriptor& out) {
  if (!script_->descriptor_ok) return false;
  out = script_->descriptor;
  return true;
}

platform::UsbWriteResult ScriptedUsbDevice::Write(const std::uint8_t* data,
                                                  std::uint32_t length,
                                                  std::uint32_t wait_ms) {
  script_->writes.emplace_back(data, data + length);
  script_->write_waits.push_back(wait_ms);
  if (script_->writes_to_come.empty()) {
    return {platform::UsbWriteStatus::kDone, length};
  }
  const platform::UsbWriteResult result = script_->writes_to_come.front();
  script_->writes_to_come.pop_front();
  return result;
}

platform::UsbReadResult ScriptedUsbDevice::Read(std::uint8_t* buffer,
                                                std::uint32_t length) {
  ++script_->read_calls;
  if (script_->reads_to_come.empty()) return {true, 0};
  UsbRead& next = script_->reads_to_come.front();
  platform::UsbReadResult result{next.ok, 0};
  if (next.ok) {
    const auto count = std::min<std::size_t>(length, next.bytes.size());
    if (count > 0) std::memcpy(buffer, next.bytes.data(), count);
    result.count = static_cast<std::uint32_t>(count);
  }
  if (--next.repeat <= 0) script_->reads_to_come.pop_front();
  return result;
}

bool ScriptedUsbDevice::SendVendorRequest(
    const platform::VendorRequest& request, std::uint8_t* data,
    std::uint32_t length) {
  script_->vendor_requests.push_back(request);
  script_->vendor_buffers_on_entry.emplace_back(data, data + length);
  if (!script_->vendor_ok) return false;
  const auto count =
      std::min<std::size_t>(length, script_->vendor_reply.size());
  if (count > 0) std::memcpy(data, script_->vendor_reply.data(), count);
  return true;
}

ScriptedUsbDriver::ScriptedUsbDriver() { platform::SetStillImageDriver(this); }

ScriptedUsbDriver::~ScriptedUsbDriver() {
  platform::SetStillImageDriver(nullptr);
}

std::shared_ptr<UsbScript> ScriptedUsbDriver::AddDevice(int index) {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::shared_ptr<UsbScript>& script = devices_[index];
  if (!script) script = std::make_shared<UsbScript>();
  return script;
}

std::unique_ptr<platform::StillImageDevice> ScriptedUsbDriver::Open(int index) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = devices_.find(index);
  if (found == devices_.end()) return nullptr;
  opened_.push_back(index);
  found->second->closed = false;
  return std::make_unique<ScriptedUsbDevice>(found->second);
}

std::vector<int> ScriptedUsbDriver::OpenedIndices() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return opened_;
}

}  // namespace refloq::link::testing
