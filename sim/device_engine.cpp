#include "sim/device_engine.h"

#include <algorithm>
#include <chrono>

#include "platform/clock.h"
#include "protocol/byte_order.h"
#include "protocol/device_status.h"
#include "sim/bytes.h"
#include "sim/session.h"
#include "sim/standard_handlers.h"

namespace refloq::sim {

DeviceEngine::DeviceEngine(ScannerState initial)
    : state_(std::move(initial)), handlers_(StandardHandlers()) {}

DeviceEngine::~DeviceEngine() = default;

void DeviceEngine::SetHandler(std::uint8_t bCommand, CommandHandler handler) {
  std::lock_guard lock(mutex_);
  handlers_[bCommand] = std::move(handler);
}

CommandHandler DeviceEngine::HandlerOf(std::uint8_t bCommand) const {
  std::lock_guard lock(mutex_);
  const auto it = handlers_.find(bCommand);
  return it == handlers_.end() ? CommandHandler() : it->second;
}

void DeviceEngine::AddFault(const Fault& fault) {
  std::lock_guard lock(mutex_);
  faults_.push_back(fault);
}

void DeviceEngine::ClearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

void DeviceEngine::SetRefuseConnections(bool refuse) {
  std::unique_lock lock(mutex_);
  refuse_connections_ = refuse;
  const std::uint64_t version = ++policy_version_;
  policy_applied_.wait_for(lock, std::chrono::seconds(1), [&] {
    for (const auto& [id, applied] : front_ends_) {
      if (applied < version) return false;
    }
    return true;
  });
}

int DeviceEngine::RegisterFrontEnd() {
  std::lock_guard lock(mutex_);
  const int id = next_front_end_++;
  front_ends_[id] = 0;
  return id;
}

void DeviceEngine::UnregisterFrontEnd(int id) {
  {
    std::lock_guard lock(mutex_);
    front_ends_.erase(id);
  }
  policy_applied_.notify_all();
}

DeviceEngine::ConnectionPolicy DeviceEngine::CurrentConnectionPolicy() const {
  std::lock_guard lock(mutex_);
  return {refuse_connections_, policy_version_};
}

void DeviceEngine::PolicyApplied(int id, std::uint64_t version) {
  {
    std::lock_guard lock(mutex_);
    const auto found = front_ends_.find(id);
    if (found == front_ends_.end() || found->second >= version) return;
    found->second = version;
  }
  policy_applied_.notify_all();
}

bool DeviceEngine::RefusesConnections() const {
  std::lock_guard lock(mutex_);
  return refuse_connections_;
}

void DeviceEngine::UpdateState(
    const std::function<void(ScannerState&)>& change) {
  std::lock_guard lock(mutex_);
  change(state_);
}

ScannerState DeviceEngine::State() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::vector<WireEntry> DeviceEngine::Record() const {
  std::lock_guard lock(mutex_);
  return record_;
}

bool DeviceEngine::WaitForRecord(std::size_t count,
                                 std::uint32_t timeout_ms) const {
  std::unique_lock lock(mutex_);
  return record_grew_.wait_for(
      lock, std::chrono::milliseconds(platform::Clock::ToRealMs(timeout_ms)),
      [&] { return record_.size() >= count; });
}

void DeviceEngine::ClearRecord() {
  std::lock_guard lock(mutex_);
  record_.clear();
}

void DeviceEngine::SetObserver(std::function<void(const WireEntry&)> observer) {
  std::lock_guard lock(observer_mutex_);
  observer_ = std::move(observer);
}

std::unique_ptr<Session> DeviceEngine::OpenSession(std::string transport) {
  std::uint64_t id = 0;
  {
    std::lock_guard lock(mutex_);
    id = next_session_++;
  }
  return std::make_unique<Session>(*this, id, std::move(transport));
}

bool DeviceEngine::HandleVendorRequest(std::uint64_t session,
                                       const platform::VendorRequest& request,
                                       std::uint8_t* data,
                                       std::uint32_t length) {
  WireEntry entry;
  entry.kind = WireEntry::Kind::kVendorRequest;
  entry.session = session;
  entry.transport = "usb";
  entry.bytes = {request.bmRequestType, request.bRequest, 0, 0, 0, 0};
  protocol::StoreLe16(&entry.bytes[2], request.wValue);
  protocol::StoreLe16(&entry.bytes[4], request.wIndex);
  std::uint8_t result = 0;
  {
    std::lock_guard lock(mutex_);
    result = state_.control_pipe_result;
    if (result == 0 && request.bRequest == 1) state_.control_pipe_locked = true;
    if (result == 0 && request.bRequest == 2) {
      state_.control_pipe_locked = false;
    }
  }
  Append(std::move(entry));
  std::fill(data, data + length, std::uint8_t{0});
  if (length >= 5) data[4] = result;
  return true;
}

Response DeviceEngine::Dispatch(const Request& request) {
  std::lock_guard lock(mutex_);
  const auto found = handlers_.find(request.block.bCommand);
  if (found == handlers_.end()) {
    protocol::sKestoDeviceStatus status = state_.status;
    status.dwLastErr = kErrUnknownCommand;
    return {CopyBytes(protocol::EncodeDeviceStatus(status)), {}};
  }
  Response response = found->second(state_, request);
  if (response.reply.empty()) {
    response.reply = CopyBytes(protocol::EncodeDeviceStatus(state_.status));
  }
  return response;
}

std::vector<std::uint8_t> DeviceEngine::StatusReply(std::uint32_t size) const {
  std::lock_guard lock(mutex_);
  return CopyBytes(protocol::EncodeDeviceStatus(state_.status), size);
}

std::optional<Fault> DeviceEngine::TakeFault(
    const protocol::sKestoCommandBlock& block, FaultPhase phase) {
  std::lock_guard lock(mutex_);
  for (Fault& fault : faults_) {
    if (fault.Matches(block.bCommand, block.wParameter, phase)) {
      if (fault.count > 0) --fault.count;
      return fault;
    }
  }
  return std::nullopt;
}

void DeviceEngine::Append(WireEntry entry) {
  {
    std::lock_guard lock(mutex_);
    record_.push_back(entry);
  }
  record_grew_.notify_all();
  std::lock_guard lock(observer_mutex_);
  if (observer_) observer_(entry);
}

}  // namespace refloq::sim
