#include "tests/update/scripted_service_control.h"

#include <utility>

namespace refloq::update::testing {

using platform::ServiceError;
using platform::ServiceHandle;
using platform::ServiceStatus;

namespace {

bool IsPending(std::uint32_t state) {
  return state == platform::kServiceStartPending ||
         state == platform::kServiceStopPending ||
         state == platform::kServiceContinuePending ||
         state == platform::kServicePausePending;
}

}  // namespace

ScriptedServiceControl::ScriptedServiceControl(ServiceScript script)
    : script_(std::move(script)),
      state_(script_.state),
      start_type_(script_.start_type) {
  if (state_ == platform::kServiceStartPending) {
    Enter(state_, script_.pending_reads, platform::kServiceRunning);
  } else if (state_ == platform::kServiceStopPending) {
    Enter(state_, script_.pending_reads, platform::kServiceStopped);
  }
}

void ScriptedServiceControl::Enter(std::uint32_t state, int reads,
                                   std::uint32_t next) {
  state_ = state;
  reads_left_ = reads;
  settles_to_ = next;
}

platform::ServiceOpenResult ScriptedServiceControl::OpenManager(
    std::uint32_t access) {
  std::lock_guard lock(mutex_);
  calls_.manager_access.push_back(access);
  if (script_.manager_error != ServiceError::kNone) {
    return {ServiceHandle::kNull, script_.manager_error};
  }
  const auto handle = static_cast<ServiceHandle>(next_handle_++);
  handles_[handle] = {true, access};
  return {handle, ServiceError::kNone};
}

platform::ServiceOpenResult ScriptedServiceControl::OpenNamedService(
    ServiceHandle manager, std::string_view name, std::uint32_t access) {
  std::lock_guard lock(mutex_);
  calls_.service_names.emplace_back(name);
  calls_.service_access.push_back(access);
  const auto it = handles_.find(manager);
  if (it == handles_.end() || !it->second.is_manager) {
    return {ServiceHandle::kNull, ServiceError::kInvalidHandle};
  }
  if (!script_.exists) {
    return {ServiceHandle::kNull, ServiceError::kServiceDoesNotExist};
  }
  const auto handle = static_cast<ServiceHandle>(next_handle_++);
  handles_[handle] = {false, access};
  return {handle, ServiceError::kNone};
}

ServiceError ScriptedServiceControl::Check(ServiceHandle service,
                                           std::uint32_t right) const {
  const auto it = handles_.find(service);
  if (it == handles_.end() || it->second.is_manager) {
    return ServiceError::kInvalidHandle;
  }
  return (it->second.access & right) == right ? ServiceError::kNone
                                              : ServiceError::kAccessDenied;
}

ServiceStatus ScriptedServiceControl::Status() const {
  ServiceStatus status;
  status.dwServiceType = platform::kServiceWin32OwnProcess;
  status.dwCurrentState = state_;
  status.dwControlsAccepted =
      state_ == platform::kServiceRunning ? platform::kServiceAcceptStop : 0;
  status.dwWaitHint = IsPending(state_) ? script_.wait_hint : 0;
  return status;
}

ServiceError ScriptedServiceControl::QueryStatus(ServiceHandle service,
                                                 ServiceStatus& status) {
  std::lock_guard lock(mutex_);
  if (const auto error = Check(service, platform::kServiceQueryStatus);
      error != ServiceError::kNone) {
    return error;
  }
  const int index = calls_.status_reads++;
  if (script_.failing_reads_from != kForever &&
      index >= script_.failing_reads_from) {
    return ServiceError::kInvalidHandle;
  }
  if (IsPending(state_) && reads_left_ != kForever) {
    if (reads_left_ == 0) {
      state_ = settles_to_;
    } else {
      --reads_left_;
    }
  }
  status = Status();
  return ServiceError::kNone;
}

platform::ServiceStartTypeResult ScriptedServiceControl::QueryStartType(
    ServiceHandle service) {
  std::lock_guard lock(mutex_);
  if (const auto error = Check(service, platform::kServiceQueryConfig);
      error != ServiceError::kNone) {
    return {0, error};
  }
  ++calls_.config_reads;
  if (script_.query_config_error != ServiceError::kNone) {
    return {0, script_.query_config_error};
  }
  return {start_type_, ServiceError::kNone};
}

ServiceError ScriptedServiceControl::ChangeStartType(ServiceHandle service,
                                                     std::uint32_t start_type) {
  std::lock_guard lock(mutex_);
  if (const auto error = Check(service, platform::kServiceChangeConfig);
      error != ServiceError::kNone) {
    return error;
  }
  calls_.start_types_set.push_back(start_type);
  if (script_.change_config_error != ServiceError::kNone) {
    return script_.change_config_error;
  }
  start_type_ = start_type;
  return ServiceError::kNone;
}

ServiceError ScriptedServiceControl::ControlStop(ServiceHandle service,
                                                 ServiceStatus& status) {
  std::lock_guard lock(mutex_);
  if (const auto error = Check(service, platform::kServiceStop);
      error != ServiceError::kNone) {
    return error;
  }
  ++calls_.stop_controls;
  ServiceError result = ServiceError::kNone;
  if (state_ == platform::kServiceStopped) {
    result = ServiceError::kServiceNotActive;
  } else if (state_ != platform::kServiceRunning) {
    result = ServiceError::kServiceCannotAcceptControl;
  } else if (!script_.ignores_stop) {
    Enter(platform::kServiceStopPending, script_.stop_reads,
          platform::kServiceStopped);
  }
  status = Status();
  return result;
}

ServiceError ScriptedServiceControl::Start(ServiceHandle service) {
  std::lock_guard lock(mutex_);
  if (const auto error = Check(service, platform::kServiceStart);
      error != ServiceError::kNone) {
    return error;
  }
  ++calls_.starts;
  if (script_.start_error != ServiceError::kNone) return script_.start_error;
  if (start_type_ == platform::kServiceDisabled) {
    return ServiceError::kServiceDisabled;
  }
  if (state_ != platform::kServiceStopped) {
    return ServiceError::kServiceAlreadyRunning;
  }
  Enter(platform::kServiceStartPending, script_.start_reads,
        script_.start_falls_back ? platform::kServiceStopped
                                 : platform::kServiceRunning);
  return ServiceError::kNone;
}

std::uint32_t ScriptedServiceControl::state() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::uint32_t ScriptedServiceControl::start_type() const {
  std::lock_guard lock(mutex_);
  return start_type_;
}

ServiceCalls ScriptedServiceControl::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::size_t ScriptedServiceControl::open_handles() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

void ScriptedServiceControl::Close(ServiceHandle handle) {
  std::lock_guard lock(mutex_);
  ++calls_.closes;
  handles_.erase(handle);
}

}  // namespace refloq::update::testing
