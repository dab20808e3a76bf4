// The still-image service stand-in of targets without a service manager:
// the manager's rules for names, rights and states, across threads.
#include "platform/service_control.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace refloq::platform {
namespace {

constexpr std::uint32_t kAllServiceRights = 0xF003F;

// Opens the manager and "stisvc"; closes both at the end of the scope.
class OpenService {
 public:
  explicit OpenService(std::uint32_t access, std::string_view name = "stisvc")
      : layer_(SystemServiceControl()),
        manager_(layer_.OpenManager(kScManagerAllAccess).handle),
        service_(layer_.OpenNamedService(manager_, name, access)) {}
  ~OpenService() {
    layer_.Close(service_.handle);
    layer_.Close(manager_);
  }
  OpenService(const OpenService&) = delete;
  OpenService& operator=(const OpenService&) = delete;

  ServiceControl& layer() { return layer_; }
  ServiceHandle manager() const { return manager_; }
  ServiceHandle handle() const { return service_.handle; }
  ServiceError error() const { return service_.error; }

 private:
  ServiceControl& layer_;
  ServiceHandle manager_;
  ServiceOpenResult service_;
};

// Leaves the stand-in running with automatic start, as a process finds it.
void Restore() {
  OpenService s(kAllServiceRights);
  s.layer().ChangeStartType(s.handle(), kServiceAutoStart);
  s.layer().Start(s.handle());
}

TEST(ServiceStandIn, KnowsOneServiceByAnyCase) {
  const struct {
    const char* name;
    ServiceError error;
  } cases[] = {
      {"stisvc", ServiceError::kNone},
      {"STISVC", ServiceError::kNone},
      {"StiSvc", ServiceError::kNone},
      {"stisvc2", ServiceError::kServiceDoesNotExist},
      {"", ServiceError::kServiceDoesNotExist},
  };
  for (const auto& c : cases) {
    OpenService s(kServiceQueryStatus, c.name);
    EXPECT_EQ(s.error(), c.error) << c.name;
    EXPECT_EQ(s.handle() != ServiceHandle::kNull,
              c.error == ServiceError::kNone)
        << c.name;
  }
}

TEST(ServiceStandIn, ChecksRightsHandlesAndStates) {
  {
    // The rights of IsWIARunning's handles: no query-config right.
    OpenService s(0x36);
    EXPECT_EQ(s.layer().QueryStartType(s.handle()).error,
              ServiceError::kAccessDenied);
    ServiceStatus status;
    EXPECT_EQ(s.layer().QueryStatus(s.handle(), status), ServiceError::kNone);
    EXPECT_EQ(status.dwCurrentState, kServiceRunning);
    EXPECT_EQ(s.layer().QueryStatus(s.manager(), status),
              ServiceError::kInvalidHandle);
  }
  {
    OpenService s(kAllServiceRights);
    ServiceControl& layer = s.layer();
    ServiceStatus status;
    EXPECT_EQ(layer.Start(s.handle()), ServiceError::kServiceAlreadyRunning);
    EXPECT_EQ(layer.ControlStop(s.handle(), status), ServiceError::kNone);
    EXPECT_EQ(status.dwCurrentState, kServiceStopped);
    EXPECT_EQ(layer.ControlStop(s.handle(), status),
              ServiceError::kServiceNotActive);
    EXPECT_EQ(layer.ChangeStartType(s.handle(), kServiceSystemStart),
              ServiceError::kInvalidParameter);
    EXPECT_EQ(layer.ChangeStartType(s.handle(), kServiceDisabled),
              ServiceError::kNone);
    EXPECT_EQ(layer.QueryStartType(s.handle()).start_type, kServiceDisabled);
    EXPECT_EQ(layer.Start(s.handle()), ServiceError::kServiceDisabled);
  }
  Restore();
  OpenService s(kAllServiceRights);
  const ServiceHandle closed = s.handle();
  s.layer().Close(closed);
  ServiceStatus status;
  EXPECT_EQ(s.layer().QueryStatus(closed, status),
            ServiceError::kInvalidHandle);
}

TEST(ServiceStandIn, ServesManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 200; ++i) {
        OpenService s(kAllServiceRights);
        ServiceStatus status;
        s.layer().QueryStatus(s.handle(), status);
        s.layer().ControlStop(s.handle(), status);
        s.layer().ChangeStartType(s.handle(), kServiceDisabled);
        s.layer().QueryStartType(s.handle());
        s.layer().ChangeStartType(s.handle(), kServiceAutoStart);
        s.layer().Start(s.handle());
      }
    });
  }
  for (auto& thread : threads) thread.join();
  Restore();
  OpenService s(kAllServiceRights);
  ServiceStatus status;
  ASSERT_EQ(s.layer().QueryStatus(s.handle(), status), ServiceError::kNone);
  EXPECT_EQ(status.dwCurrentState, kServiceRunning);
  EXPECT_EQ(s.layer().QueryStartType(s.handle()).start_type, kServiceAutoStart);
}

}  // namespace
}  // namespace refloq::platform
