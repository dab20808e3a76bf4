#pragma once
// A scripted service control manager: one still-image service whose
// answers follow a script (states, pending rounds, wait hints, refusals),
// with the rights of every open handle checked as the manager checks them
// and a count of every call, so a test can say which calls were made.
// Safe to share between the threads of the jobs under test.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/service_control.h"

namespace refloq::update::testing {

// Status reads a pending state lasts; kForever never settles.
inline constexpr int kForever = -1;

struct ServiceScript {
  bool exists = true;  // false: opening "stisvc" fails (1060)
  platform::ServiceError manager_error = platform::ServiceError::kNone;
  std::uint32_t state = platform::kServiceRunning;
  std::uint32_t start_type = platform::kServiceAutoStart;
  std::uint32_t wait_hint = 0;  // reported while a state is pending
  // A pending initial state settles after this many status reads
  // (start pending to running, stop pending to stopped).
  int pending_reads = 0;
  // After an accepted stop control the service is stop-pending for this
  // many reads (kForever: it hangs there); ignores_stop: it accepts the
  // control and keeps running.
  int stop_reads = 0;
  bool ignores_stop = false;
  // After a start it is start-pending for this many reads, then runs (or
  // stops again when start_falls_back); kForever: it never gets there.
  int start_reads = 0;
  bool start_falls_back = false;
  // The status read with this index (0 = first) and every later one fail.
  int failing_reads_from = kForever;
  platform::ServiceError query_config_error = platform::ServiceError::kNone;
  platform::ServiceError change_config_error = platform::ServiceError::kNone;
  platform::ServiceError start_error = platform::ServiceError::kNone;
};

struct ServiceCalls {
  std::vector<std::uint32_t> manager_access;  // one entry per open
  std::vector<std::string> service_names;
  std::vector<std::uint32_t> service_access;
  int status_reads = 0;
  int config_reads = 0;
  std::vector<std::uint32_t> start_types_set;
  int stop_controls = 0;
  int starts = 0;
  int closes = 0;
};

class ScriptedServiceControl final : public platform::ServiceControl {
 public:
  explicit ScriptedServiceControl(ServiceScript script);

  platform::ServiceOpenResult OpenManager(std::uint32_t access) override;
  platform::ServiceOpenResult OpenNamedService(platform::ServiceHandle manager,
                                               std::string_view name,
                                               std::uint32_t access) override;
  platform::ServiceError QueryStatus(platform::ServiceHandle service,
                                     platform::ServiceStatus& status) override;
  platform::ServiceStartTypeResult QueryStartType(
      platform::ServiceHandle service) override;
  platform::ServiceError ChangeStartType(platform::ServiceHandle service,
                                         std::uint32_t start_type) override;
  platform::ServiceError ControlStop(platform::ServiceHandle service,
                                     platform::ServiceStatus& status) override;
  platform::ServiceError Start(platform::ServiceHandle service) override;
  void Close(platform::ServiceHandle handle) override;

  std::uint32_t state() const;
  std::uint32_t start_type() const;
  ServiceCalls calls() const;
  std::size_t open_handles() const;

 private:
  struct Handle {
    bool is_manager = false;
    std::uint32_t access = 0;
  };

  platform::ServiceError Check(platform::ServiceHandle service,
                               std::uint32_t right) const;
  platform::ServiceStatus Status() const;
  // Enters a state that settles into `next` after `reads` status reads.
  void Enter(std::uint32_t state, int reads, std::uint32_t next);

  mutable std::mutex mutex_;
  ServiceScript script_;
  std::uint32_t state_;
  std::uint32_t start_type_;
  int reads_left_ = 0;
  std::uint32_t settles_to_ = 0;
  std::map<platform::ServiceHandle, Handle> handles_;
  std::uintptr_t next_handle_ = 0x100;
  ServiceCalls calls_;
};

}  // namespace refloq::update::testing
