#pragma once
// Control of the still-image service ("stisvc") that would otherwise claim
// a USB scanner: a USB job stops and disables it before it opens the
// device and sets it to automatic start and starts it again when it has
// ended well; the window does the latter when it closes.
//
// One instance per job (and per close of the window), used on the thread
// that created it.  The handles are opened by the first operation that
// needs them and kept for the life of the instance; every wait goes
// through platform::Clock.
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/service_control.h"

namespace refloq::update {

// The longest wait for the service to stop, and to run after a start.
inline constexpr std::uint32_t kServiceStopLimitMs = 60000;
inline constexpr std::uint32_t kServiceStartLimitMs = 60000;

class CWIAControl {
 public:
  // Over the process's service control layer.
  CWIAControl();
  explicit CWIAControl(platform::ServiceControl& layer);
  // Closes the open handles; leaves the service as it is.
  virtual ~CWIAControl();
  CWIAControl(const CWIAControl&) = delete;
  CWIAControl& operator=(const CWIAControl&) = delete;

  // Reads the service's status into the last status and into `status`;
  // false for a null `status`, handles that cannot be opened, or a failed
  // read (which closes and forgets both handles).
  bool QueryStatus(platform::ServiceStatus* status);
  // True when the service reports running.  On a new instance this opens
  // the handles with narrow rights (no query-config right), so a later
  // start-type change on the same instance fails.
  bool IsWIARunning();
  // Makes the start type equal to `start_type`, changing nothing when it
  // already is.  Prints "QueryServiceConfig failed (<code>)" when the
  // configuration cannot be read.
  bool SetStartType(std::uint32_t start_type);
  // Stops a running service (waiting at most kServiceStopLimitMs) and sets
  // it to disabled in every case.  A service that is stopped or in a
  // pending state is not sent the stop control.
  bool StopWIA();
  // Sets the service to automatic start and, unless it runs already,
  // starts it and waits at most kServiceStartLimitMs for it to run.  True
  // only when the service is seen running.
  bool StartWIA();

  // The last status read.
  const platform::ServiceStatus& LastStatus() const { return m_ssStatus; }

 private:
  bool OpenHandles(std::uint32_t manager_access, std::string_view name,
                   std::uint32_t service_access);
  void CloseHandles();
  bool HandlesOpen() const;
  // Zeroes the last status and reads it again; false on a failed read.
  bool ReadStatus();
  // Opens the handles if needed and reads the status; a failed read
  // closes both handles.
  bool OpenAndReadStatus(std::uint32_t manager_access, std::string_view name,
                         std::uint32_t service_access);

  platform::ServiceControl& m_layer;
  platform::ServiceHandle m_hSCManager = platform::ServiceHandle::kNull;
  platform::ServiceHandle m_hService = platform::ServiceHandle::kNull;
  platform::ServiceStatus m_ssStatus{};
};

// A job's controller, made on its first use: on `layer`, or on the
// process's layer when it is null.
CWIAControl& JobWia(std::optional<CWIAControl>& wia,
                    platform::ServiceControl* layer);

}  // namespace refloq::update
