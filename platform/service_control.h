#pragma once
// The service control manager calls that control the still-image service:
// open the manager and a service, read a service's status and start type,
// change its start type, ask it to stop, start it, close handles.
//
// Values, states, access rights and error codes are the Windows ones on
// every target, so callers print and compare the same numbers everywhere.
//
// Implementations: win32/ on advapi32; posix/ an in-process stand-in (Linux
// has no still-image service and nothing claims the scanner there, so it
// keeps one service, "stisvc", with its state and start type in memory,
// process-wide); the scripted manager of the tests.  The process uses one
// layer at a time (SetServiceControl).
#include <cstdint>
#include <string_view>

namespace refloq::platform {

// An open manager or service handle; kNull when not open.
enum class ServiceHandle : std::uintptr_t { kNull = 0 };

// The Win32 error code of a failed call; kNone on success.  Codes not named
// here pass through unchanged.
enum class ServiceError : std::uint32_t {
  kNone = 0,
  kAccessDenied = 5,
  kInvalidHandle = 6,
  kInvalidParameter = 87,
  kInsufficientBuffer = 122,
  kServiceRequestTimeout = 1053,
  kServiceAlreadyRunning = 1056,
  kServiceDisabled = 1058,
  kServiceDoesNotExist = 1060,
  kServiceCannotAcceptControl = 1061,
  kServiceNotActive = 1062,
};

// SERVICE_STATUS, field for field.
struct ServiceStatus {
  std::uint32_t dwServiceType = 0;
  std::uint32_t dwCurrentState = 0;
  std::uint32_t dwControlsAccepted = 0;
  std::uint32_t dwWin32ExitCode = 0;
  std::uint32_t dwServiceSpecificExitCode = 0;
  std::uint32_t dwCheckPoint = 0;
  std::uint32_t dwWaitHint = 0;
};

// Service states (dwCurrentState).
inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;
inline constexpr std::uint32_t kServiceContinuePending = 5;
inline constexpr std::uint32_t kServicePausePending = 6;
inline constexpr std::uint32_t kServicePaused = 7;

// Start types.
inline constexpr std::uint32_t kServiceBootStart = 0;
inline constexpr std::uint32_t kServiceSystemStart = 1;
inline constexpr std::uint32_t kServiceAutoStart = 2;
inline constexpr std::uint32_t kServiceDemandStart = 3;
inline constexpr std::uint32_t kServiceDisabled = 4;

inline constexpr std::uint32_t kServiceWin32OwnProcess = 0x10;
inline constexpr std::uint32_t kServiceAcceptStop = 0x1;

// Manager access rights.
inline constexpr std::uint32_t kScManagerConnect = 0x0001;
inline constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
inline constexpr std::uint32_t kGenericExecute = 0x20000000;

// Service access rights.
inline constexpr std::uint32_t kServiceQueryConfig = 0x0001;
inline constexpr std::uint32_t kServiceChangeConfig = 0x0002;
inline constexpr std::uint32_t kServiceQueryStatus = 0x0004;
inline constexpr std::uint32_t kServiceEnumerateDependents = 0x0008;
inline constexpr std::uint32_t kServiceStart = 0x0010;
inline constexpr std::uint32_t kServiceStop = 0x0020;
inline constexpr std::uint32_t kStandardRightsRequired = 0xF0000;

struct ServiceOpenResult {
  ServiceHandle handle = ServiceHandle::kNull;
  ServiceError error = ServiceError::kNone;  // set when handle is kNull
};

struct ServiceStartTypeResult {
  std::uint32_t start_type = 0;
  ServiceError error = ServiceError::kNone;
};

class ServiceControl {
 public:
  virtual ~ServiceControl() = default;
  // OpenSCManagerW on the local machine's active database.
  virtual ServiceOpenResult OpenManager(std::uint32_t access) = 0;
  // OpenServiceW; service names compare without regard to case.
  virtual ServiceOpenResult OpenNamedService(ServiceHandle manager,
                                             std::string_view name,
                                             std::uint32_t access) = 0;
  // QueryServiceStatusEx: state, wait hint, checkpoint and the rest.
  virtual ServiceError QueryStatus(ServiceHandle service,
                                   ServiceStatus& status) = 0;
  // QueryServiceConfigW (size query, then the record): the start type.
  // Needs the query-config right.
  virtual ServiceStartTypeResult QueryStartType(ServiceHandle service) = 0;
  // ChangeServiceConfigW changing the start type only.
  virtual ServiceError ChangeStartType(ServiceHandle service,
                                       std::uint32_t start_type) = 0;
  // ControlService with SERVICE_CONTROL_STOP; fills `status` as the
  // service last reported it.
  virtual ServiceError ControlStop(ServiceHandle service,
                                   ServiceStatus& status) = 0;
  // StartServiceW without arguments.
  virtual ServiceError Start(ServiceHandle service) = 0;
  // CloseServiceHandle; kNull is ignored.
  virtual void Close(ServiceHandle handle) = 0;
};

// The layer in effect for this process (never null): the one set last, or
// the target's own (advapi32 on Windows, the stand-in on Linux).
ServiceControl& CurrentServiceControl();
// Replaces the layer (tests); null restores the target's own.  The caller
// keeps ownership and keeps the layer alive while it is set.
void SetServiceControl(ServiceControl* layer);
// The target's own layer, whatever is set.
ServiceControl& SystemServiceControl();

}  // namespace refloq::platform
