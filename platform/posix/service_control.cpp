// The still-image service stand-in of targets without a service control
// manager.  Nothing on Linux claims the scanner, so stopping the service
// has nothing to release; the stand-in still keeps its state, its start
// type and the rights of every open handle as the manager would, so the
// callers behave as they do on Windows.  It starts out running with
// automatic start, is process-wide and serves every thread.
#include "platform/service_control.h"

#include <map>
#include <mutex>

namespace refloq::platform {
namespace {

constexpr std::string_view kServiceName = "stisvc";

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Service names compare without regard to case, as the manager does.
bool SameServiceName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

class InMemoryServiceControl final : public ServiceControl {
 public:
  ServiceOpenResult OpenManager(std::uint32_t access) override {
    std::lock_guard lock(mutex_);
    return {Add(true, access), ServiceError::kNone};
  }

  ServiceOpenResult OpenNamedService(ServiceHandle manager,
                                     std::string_view name,
                                     std::uint32_t access) override {
    std::lock_guard lock(mutex_);
    const auto it = handles_.find(manager);
    if (it == handles_.end() || !it->second.is_manager) {
      return {ServiceHandle::kNull, ServiceError::kInvalidHandle};
    }
    if (!SameServiceName(name, kServiceName)) {
      return {ServiceHandle::kNull, ServiceError::kServiceDoesNotExist};
    }
    return {Add(false, access), ServiceError::kNone};
  }

  ServiceError QueryStatus(ServiceHandle service,
                           ServiceStatus& status) override {
    std::lock_guard lock(mutex_);
    if (const auto error = Check(service, kServiceQueryStatus);
        error != ServiceError::kNone) {
      return error;
    }
    status = Status();
    return ServiceError::kNone;
  }

  ServiceStartTypeResult QueryStartType(ServiceHandle service) override {
    std::lock_guard lock(mutex_);
    if (const auto error = Check(service, kServiceQueryConfig);
        error != ServiceError::kNone) {
      return {0, error};
    }
    return {start_type_, ServiceError::kNone};
  }

  ServiceError ChangeStartType(ServiceHandle service,
                               std::uint32_t start_type) override {
    std::lock_guard lock(mutex_);
    if (const auto error = Check(service, kServiceChangeConfig);
        error != ServiceError::kNone) {
      return error;
    }
    // Boot and system start belong to drivers, not to a Win32 service.
    if (start_type < kServiceAutoStart || start_type > kServiceDisabled) {
      return ServiceError::kInvalidParameter;
    }
    start_type_ = start_type;
    return ServiceError::kNone;
  }

  ServiceError ControlStop(ServiceHandle service,
                           ServiceStatus& status) override {
    std::lock_guard lock(mutex_);
    if (const auto error = Check(service, kServiceStop);
        error != ServiceError::kNone) {
      return error;
    }
    if (state_ != kServiceRunning) {
      status = Status();
      return ServiceError::kServiceNotActive;
    }
    state_ = kServiceStopped;
    status = Status();
    return ServiceError::kNone;
  }

  ServiceError Start(ServiceHandle service) override {
    std::lock_guard lock(mutex_);
    if (const auto error = Check(service, kServiceStart);
        error != ServiceError::kNone) {
      return error;
    }
    if (start_type_ == kServiceDisabled) return ServiceError::kServiceDisabled;
    if (state_ != kServiceStopped) return ServiceError::kServiceAlreadyRunning;
    state_ = kServiceRunning;
    return ServiceError::kNone;
  }

  void Close(ServiceHandle handle) override {
    std::lock_guard lock(mutex_);
    handles_.erase(handle);
  }

 private:
  struct OpenHandle {
    bool is_manager = false;
    std::uint32_t access = 0;
  };

  ServiceHandle Add(bool is_manager, std::uint32_t access) {
    const auto handle = static_cast<ServiceHandle>(next_handle_++);
    handles_[handle] = {is_manager, access};
    return handle;
  }

  ServiceError Check(ServiceHandle service, std::uint32_t right) const {
    const auto it = handles_.find(service);
    if (it == handles_.end() || it->second.is_manager) {
      return ServiceError::kInvalidHandle;
    }
    return (it->second.access & right) == right ? ServiceError::kNone
                                                : ServiceError::kAccessDenied;
  }

  ServiceStatus Status() const {
    ServiceStatus status;
    status.dwServiceType = kServiceWin32OwnProcess;
    status.dwCurrentState = state_;
    status.dwControlsAccepted =
        state_ == kServiceRunning ? kServiceAcceptStop : 0;
    return status;
  }

  std::mutex mutex_;
  std::map<ServiceHandle, OpenHandle> handles_;
  std::uintptr_t next_handle_ = 1;
  std::uint32_t state_ = kServiceRunning;
  std::uint32_t start_type_ = kServiceAutoStart;
};

}  // namespace

ServiceControl& SystemServiceControl() {
  static InMemoryServiceControl layer;
  return layer;
}

}  // namespace refloq::platform
