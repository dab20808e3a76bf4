// The service control layer on advapi32.
#include "platform/service_control.h"

#include <windows.h>

#include <string>
#include <vector>

namespace refloq::platform {
namespace {

SC_HANDLE ToSc(ServiceHandle handle) {
  return reinterpret_cast<SC_HANDLE>(static_cast<std::uintptr_t>(handle));
}

ServiceHandle FromSc(SC_HANDLE handle) {
  return static_cast<ServiceHandle>(reinterpret_cast<std::uintptr_t>(handle));
}

ServiceError LastError() { return static_cast<ServiceError>(GetLastError()); }

ServiceOpenResult Opened(SC_HANDLE handle) {
  if (handle == nullptr) return {ServiceHandle::kNull, LastError()};
  return {FromSc(handle), ServiceError::kNone};
}

std::wstring Wide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

ServiceStatus FromWin32(const SERVICE_STATUS& s) {
  return {s.dwServiceType,
          s.dwCurrentState,
          s.dwControlsAccepted,
          s.dwWin32ExitCode,
          s.dwServiceSpecificExitCode,
          s.dwCheckPoint,
          s.dwWaitHint};
}

class AdvapiServiceControl final : public ServiceControl {
 public:
  ServiceOpenResult OpenManager(std::uint32_t access) override {
    return Opened(OpenSCManagerW(nullptr, nullptr, access));
  }

  ServiceOpenResult OpenNamedService(ServiceHandle manager,
                                     std::string_view name,
                                     std::uint32_t access) override {
    return Opened(OpenServiceW(ToSc(manager), Wide(name).c_str(), access));
  }

  ServiceError QueryStatus(ServiceHandle service,
                           ServiceStatus& status) override {
    SERVICE_STATUS_PROCESS process{};
    DWORD needed = 0;
    if (!QueryServiceStatusEx(ToSc(service), SC_STATUS_PROCESS_INFO,
                              reinterpret_cast<BYTE*>(&process),
                              sizeof(process), &needed)) {
      return LastError();
    }
    status = {process.dwServiceType,
              process.dwCurrentState,
              process.dwControlsAccepted,
              process.dwWin32ExitCode,
              process.dwServiceSpecificExitCode,
              process.dwCheckPoint,
              process.dwWaitHint};
    return ServiceError::kNone;
  }

  ServiceStartTypeResult QueryStartType(ServiceHandle service) override {
    // First the size of the record with its strings, then the record.
    DWORD needed = 0;
    if (QueryServiceConfigW(ToSc(service), nullptr, 0, &needed) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      return {0, LastError()};
    }
    std::vector<QUERY_SERVICE_CONFIGW> buffer(
        needed / sizeof(QUERY_SERVICE_CONFIGW) + 1);
    const DWORD size =
        static_cast<DWORD>(buffer.size() * sizeof(QUERY_SERVICE_CONFIGW));
    if (!QueryServiceConfigW(ToSc(service), buffer.data(), size, &needed)) {
      return {0, LastError()};
    }
    return {buffer[0].dwStartType, ServiceError::kNone};
  }

  ServiceError ChangeStartType(ServiceHandle service,
                               std::uint32_t start_type) override {
    if (!ChangeServiceConfigW(ToSc(service), SERVICE_NO_CHANGE, start_type,
                              SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr)) {
      return LastError();
    }
    return ServiceError::kNone;
  }

  ServiceError ControlStop(ServiceHandle service,
                           ServiceStatus& status) override {
    SERVICE_STATUS reported{};
    const BOOL ok =
        ControlService(ToSc(service), SERVICE_CONTROL_STOP, &reported);
    const ServiceError error = ok ? ServiceError::kNone : LastError();
    status = FromWin32(reported);
    return error;
  }

  ServiceError Start(ServiceHandle service) override {
    if (!StartServiceW(ToSc(service), 0, nullptr)) return LastError();
    return ServiceError::kNone;
  }

  void Close(ServiceHandle handle) override {
    if (handle != ServiceHandle::kNull) CloseServiceHandle(ToSc(handle));
  }
};

}  // namespace

ServiceControl& SystemServiceControl() {
  static AdvapiServiceControl layer;
  return layer;
}

}  // namespace refloq::platform
