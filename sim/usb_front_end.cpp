#include "sim/usb_front_end.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/clock.h"
#include "sim/session.h"

namespace refloq::sim {
namespace {

// One opened device: a session whose actions are delivered read by read.
// A send action is one read's worth (a longer read does not join two of
// them), so a split reply arrives in two reads as a real device sends it.
class SimulatedUsbDevice final : public platform::StillImageDevice {
 public:
  SimulatedUsbDevice(DeviceEngine& engine, std::unique_ptr<Session> session)
      : engine_(engine), session_(std::move(session)) {}

  bool ReadDescriptor(platform::DeviceDescriptor& out) override {
    engine_.UpdateState([&](ScannerState& state) {
      out.usVendorId = state.usb_vendor_id;
      out.usProductId = state.usb_product_id;
    });
    out.usBcdDevice = 0x0100;
    out.usLanguageId = 0x0409;
    return true;
  }

  platform::UsbWriteResult Write(const std::uint8_t* data, std::uint32_t length,
                                 std::uint32_t wait_ms) override {
    if (closed_ || session_->Closed()) {
      return {platform::UsbWriteStatus::kRefused, 0};
    }
    // A stall queued before this phase keeps the write from completing.
    while (!pending_) {
      std::optional<SessionAction> next = session_->NextAction();
      if (!next) break;
      if (next->kind != SessionAction::Kind::kPause) {
        pending_ = std::move(next);
        break;
      }
      platform::Clock::Sleep(std::min(next->pause_ms, wait_ms));
      if (next->pause_ms > wait_ms) {
        return {platform::UsbWriteStatus::kTimedOut, 0};
      }
    }
    session_->Receive({data, length});
    return {platform::UsbWriteStatus::kDone, length};
  }

  platform::UsbReadResult Read(std::uint8_t* buffer,
                               std::uint32_t length) override {
    while (!closed_) {
      std::optional<SessionAction> action = std::move(pending_);
      pending_.reset();
      if (!action) action = session_->NextAction();
      if (!action) return {true, 0};  // nothing yet: an empty read
      switch (action->kind) {
        case SessionAction::Kind::kPause:
          platform::Clock::Sleep(action->pause_ms);
          break;
        case SessionAction::Kind::kClose:
          closed_ = true;
          break;
        case SessionAction::Kind::kSend: {
          const std::uint32_t count = std::min<std::uint32_t>(
              length, static_cast<std::uint32_t>(action->bytes.size()));
          if (count > 0) std::memcpy(buffer, action->bytes.data(), count);
          if (count < action->bytes.size()) {
            action->bytes.erase(action->bytes.begin(),
                                action->bytes.begin() + count);
            pending_ = std::move(action);
          }
          return {true, count};
        }
      }
    }
    return {false, 0};  // the device has gone
  }

  bool SendVendorRequest(const platform::VendorRequest& request,
                         std::uint8_t* data, std::uint32_t length) override {
    if (closed_) return false;
    return engine_.HandleVendorRequest(session_->id(), request, data, length);
  }

 private:
  DeviceEngine& engine_;
  std::unique_ptr<Session> session_;
  std::optional<SessionAction> pending_;
  bool closed_ = false;
};

}  // namespace

void UsbFrontEnd::Attach(int index, DeviceEngine* engine) {
  std::lock_guard lock(mutex_);
  if (engine) {
    engines_[index] = engine;
  } else {
    engines_.erase(index);
  }
}

std::unique_ptr<platform::StillImageDevice> UsbFrontEnd::Open(int index) {
  DeviceEngine* engine = nullptr;
  {
    std::lock_guard lock(mutex_);
    const auto found = engines_.find(index);
    if (found == engines_.end()) return nullptr;
    engine = found->second;
  }
  if (engine->RefusesConnections()) return nullptr;
  return std::make_unique<SimulatedUsbDevice>(*engine,
                                              engine->OpenSession("usb"));
}

}  // namespace refloq::sim
