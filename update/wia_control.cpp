#include "update/wia_control.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"

namespace refloq::update {
namespace {

using platform::Clock;
using platform::ServiceError;
using platform::ServiceHandle;

// Both spellings name the same service: the manager ignores case.
constexpr std::string_view kServiceName = "stisvc";
constexpr std::string_view kServiceNameUpper = "STISVC";

// The handles opened for status, start-type, stop and start work: all the
// standard required rights and every service right but user controls.
constexpr std::uint32_t kWideServiceAccess =
    platform::kStandardRightsRequired | platform::kServiceQueryConfig |
    platform::kServiceChangeConfig | platform::kServiceQueryStatus |
    platform::kServiceEnumerateDependents | platform::kServiceStart |
    platform::kServiceStop;
// The handles opened by IsWIARunning: no query-config right.
constexpr std::uint32_t kNarrowServiceAccess =
    platform::kServiceChangeConfig | platform::kServiceQueryStatus |
    platform::kServiceStart | platform::kServiceStop;

std::uint32_t ElapsedSince(std::uint32_t start) {
  return Clock::TickCount() - start;
}

// One round's pause: the service's own wait hint, but never past the
// deadline, so a service that asks for a long wait cannot stretch it.
void PauseForHint(std::uint32_t hint, std::uint32_t start,
                  std::uint32_t limit) {
  const std::uint32_t elapsed = ElapsedSince(start);
  Clock::Sleep(std::min(hint, elapsed < limit ? limit - elapsed : 0));
}

}  // namespace

CWIAControl::CWIAControl() : CWIAControl(platform::CurrentServiceControl()) {}

CWIAControl::CWIAControl(platform::ServiceControl& layer) : m_layer(layer) {}

CWIAControl::~CWIAControl() { CloseHandles(); }

bool CWIAControl::HandlesOpen() const {
  return m_hSCManager != ServiceHandle::kNull &&
         m_hService != ServiceHandle::kNull;
}

bool CWIAControl::OpenHandles(std::uint32_t manager_access,
                              std::string_view name,
                              std::uint32_t service_access) {
  if (HandlesOpen()) return true;
  CloseHandles();
  m_hSCManager = m_layer.OpenManager(manager_access).handle;
  if (m_hSCManager == ServiceHandle::kNull) return false;
  m_hService =
      m_layer.OpenNamedService(m_hSCManager, name, service_access).handle;
  if (m_hService == ServiceHandle::kNull) {
    CloseHandles();
    return false;
  }
  return true;
}

void CWIAControl::CloseHandles() {
  for (ServiceHandle* handle : {&m_hService, &m_hSCManager}) {
    if (*handle != ServiceHandle::kNull) m_layer.Close(*handle);
    *handle = ServiceHandle::kNull;
  }
}

bool CWIAControl::ReadStatus() {
  m_ssStatus = {};
  return m_layer.QueryStatus(m_hService, m_ssStatus) == ServiceError::kNone;
}

bool CWIAControl::OpenAndReadStatus(std::uint32_t manager_access,
                                    std::string_view name,
                                    std::uint32_t service_access) {
  if (!OpenHandles(manager_access, name, service_access)) return false;
  if (ReadStatus()) return true;
  // Forget handles that no longer answer; the next call opens new ones.
  CloseHandles();
  return false;
}

bool CWIAControl::QueryStatus(platform::ServiceStatus* status) {
  if (status == nullptr) return false;
  if (!OpenAndReadStatus(platform::kScManagerAllAccess, kServiceName,
                         kWideServiceAccess)) {
    return false;
  }
  *status = m_ssStatus;
  return true;
}

bool CWIAControl::IsWIARunning() {
  return OpenAndReadStatus(platform::kGenericExecute, kServiceNameUpper,
                           kNarrowServiceAccess) &&
         m_ssStatus.dwCurrentState == platform::kServiceRunning;
}

bool CWIAControl::SetStartType(std::uint32_t start_type) {
  if (!HandlesOpen()) {
    QueryStatus(&m_ssStatus);
    if (!HandlesOpen()) return false;
  }
  const platform::ServiceStartTypeResult config =
      m_layer.QueryStartType(m_hService);
  if (config.error != ServiceError::kNone) {
    std::printf("QueryServiceConfig failed (%d)\n",
                static_cast<int>(config.error));
    std::fflush(stdout);
    return false;
  }
  if (config.start_type == start_type) return true;
  return m_layer.ChangeStartType(m_hService, start_type) == ServiceError::kNone;
}

bool CWIAControl::StopWIA() {
  bool stopped = QueryStatus(&m_ssStatus);
  const std::uint32_t start = Clock::TickCount();
  // Only a running service is asked to stop; one that is stopped or on its
  // way somewhere is left alone (the job asks again if it then runs).
  if (stopped && m_ssStatus.dwCurrentState == platform::kServiceRunning) {
    for (;;) {
      // The control is sent on every round; a service already stopping
      // refuses it, which changes nothing.
      m_layer.ControlStop(m_hService, m_ssStatus);
      ReadStatus();
      if (m_ssStatus.dwCurrentState == platform::kServiceStopped) break;
      if (ElapsedSince(start) >= kServiceStopLimitMs) {
        stopped = false;
        break;
      }
      PauseForHint(m_ssStatus.dwWaitHint, start, kServiceStopLimitMs);
    }
  }
  // Disabled in every case, so that nothing starts it while the job runs.
  const bool disabled = SetStartType(platform::kServiceDisabled);
  return stopped && disabled;
}

bool CWIAControl::StartWIA() {
  if (!SetStartType(platform::kServiceAutoStart)) return false;
  // A status that cannot be read is no proof of a running service.
  if (!QueryStatus(&m_ssStatus)) return false;
  const std::uint32_t start = Clock::TickCount();
  bool start_sent = false;
  while (m_ssStatus.dwCurrentState != platform::kServiceRunning) {
    if (m_ssStatus.dwCurrentState == platform::kServiceStopped) {
      // Stopped again after its start: the service failed to start.
      if (start_sent) return false;
      const ServiceError error = m_layer.Start(m_hService);
      // Already running: someone else started it in the meantime.
      if (error != ServiceError::kNone &&
          error != ServiceError::kServiceAlreadyRunning) {
        return false;
      }
      start_sent = true;
    } else {
      // Pending (starting, or still stopping before it can be started).
      if (ElapsedSince(start) >= kServiceStartLimitMs) return false;
      PauseForHint(m_ssStatus.dwWaitHint, start, kServiceStartLimitMs);
    }
    if (!ReadStatus()) return false;
  }
  return true;
}

CWIAControl& JobWia(std::optional<CWIAControl>& wia,
                    platform::ServiceControl* layer) {
  if (!wia) {
    if (layer != nullptr) {
      wia.emplace(*layer);
    } else {
      wia.emplace();
    }
  }
  return *wia;
}

}  // namespace refloq::update
