#include "update/wia_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "tests/update/scripted_service_control.h"

namespace refloq::update {
namespace {

using platform::Clock;
using platform::ServiceError;
using testing::kForever;
using testing::ScriptedServiceControl;
using testing::ServiceScript;

constexpr std::uint32_t kRunning = platform::kServiceRunning;
constexpr std::uint32_t kStopped = platform::kServiceStopped;
constexpr std::uint32_t kStartPending = platform::kServiceStartPending;
constexpr std::uint32_t kStopPending = platform::kServiceStopPending;
constexpr std::uint32_t kAuto = platform::kServiceAutoStart;
constexpr std::uint32_t kDemand = platform::kServiceDemandStart;
constexpr std::uint32_t kDisabled = platform::kServiceDisabled;

enum class Operation {
  kStopWia,
  kStartWia,
  // A new instance whose first call is IsWIARunning, then StopWIA.
  kIsRunningThenStopWia,
  // The USB job's sequence: StopWIA, and once more if the service runs.
  kJobStop,
};

constexpr int kResent = -1;  // the stop control went out on several rounds
constexpr std::uint32_t kAny = 0;

struct Case {
  const char* name;
  ServiceScript script;
  Operation operation;
  bool result;
  std::uint32_t state = kAny;  // afterwards
  std::uint32_t start_type = kAny;
  int stop_controls = 0;
  std::vector<std::uint32_t> start_types_set = {};
  int starts = 0;
  std::string printed = "";
  // Scaled milliseconds the call took at least, and less than.
  std::uint32_t min_elapsed_ms = 0;
  std::uint32_t max_elapsed_ms = 30000;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
  return out << c.name;
}

bool RunOperation(Operation operation, CWIAControl& wia) {
  switch (operation) {
    case Operation::kStopWia:
      return wia.StopWIA();
    case Operation::kStartWia:
      return wia.StartWIA();
    case Operation::kIsRunningThenStopWia:
      return wia.IsWIARunning() && wia.StopWIA();
    case Operation::kJobStop:
      if (!wia.StopWIA()) return false;
      return !wia.IsWIARunning() || wia.StopWIA();
  }
  return false;
}

const Case kCases[] = {
    // StopWIA
    {.name = "RunningServiceStopsAndIsDisabled",
     .script = {.wait_hint = 1000, .stop_reads = 3},
     .operation = Operation::kStopWia,
     .result = true,
     .state = kStopped,
     .start_type = kDisabled,
     .stop_controls = kResent,
     .start_types_set = {kDisabled}},
    {.name = "RunningServiceThatStopsAtOnce",
     .script = {},
     .operation = Operation::kStopWia,
     .result = true,
     .state = kStopped,
     .start_type = kDisabled,
     .stop_controls = 1,
     .start_types_set = {kDisabled}},
    {.name = "StoppedServiceGetsNoStopControl",
     .script = {.state = kStopped, .start_type = kDemand},
     .operation = Operation::kStopWia,
     .result = true,
     .state = kStopped,
     .start_type = kDisabled,
     .start_types_set = {kDisabled}},
    {.name = "StoppedAndDisabledServiceIsNotReconfigured",
     .script = {.state = kStopped, .start_type = kDisabled},
     .operation = Operation::kStopWia,
     .result = true,
     .state = kStopped,
     .start_type = kDisabled},
    {.name = "StartPendingServiceIsLeftAlone",
     .script = {.state = kStartPending,
                .wait_hint = 2000,
                .pending_reads = kForever},
     .operation = Operation::kStopWia,
     .result = true,
     .state = kStartPending,
     .start_type = kDisabled,
     .start_types_set = {kDisabled}},
    {.name = "StopPendingServiceIsLeftAlone",
     .script = {.state = kStopPending, .pending_reads = 4},
     .operation = Operation::kStopWia,
     .result = true,
     .start_type = kDisabled,
     .start_types_set = {kDisabled}},
    {.name = "ServiceHungStoppingFailsAfterSixtySecondsButIsDisabled",
     .script = {.wait_hint = 1000, .stop_reads = kForever},
     .operation = Operation::kStopWia,
     .result = false,
     .state = kStopPending,
     .start_type = kDisabled,
     .stop_controls = kResent,
     .start_types_set = {kDisabled},
     .min_elapsed_ms = kServiceStopLimitMs,
     .max_elapsed_ms = 600000},
    {.name = "ServiceThatKeepsRunningFailsAfterSixtySecondsButIsDisabled",
     .script = {.ignores_stop = true},
     .operation = Operation::kStopWia,
     .result = false,
     .state = kRunning,
     .start_type = kDisabled,
     .stop_controls = kResent,
     .start_types_set = {kDisabled},
     .min_elapsed_ms = kServiceStopLimitMs,
     .max_elapsed_ms = 600000},
    {.name = "HugeWaitHintDoesNotStretchTheStopLimit",
     .script = {.wait_hint = 3600000, .stop_reads = kForever},
     .operation = Operation::kStopWia,
     .result = false,
     .state = kStopPending,
     .start_type = kDisabled,
     .stop_controls = kResent,
     .start_types_set = {kDisabled},
     .min_elapsed_ms = kServiceStopLimitMs,
     .max_elapsed_ms = 600000},
    {.name = "MissingServiceFailsStop",
     .script = {.exists = false},
     .operation = Operation::kStopWia,
     .result = false},
    {.name = "RefusedManagerFailsStop",
     .script = {.manager_error = ServiceError::kAccessDenied},
     .operation = Operation::kStopWia,
     .result = false,
     .state = kRunning,
     .start_type = kAuto},
    {.name = "UnreadableStatusFailsStopWithoutControl",
     .script = {.failing_reads_from = 0},
     .operation = Operation::kStopWia,
     .result = false,
     .state = kRunning,
     .start_type = kAuto},
    {.name = "UnreadableConfigurationFailsStopAfterStopping",
     .script = {.query_config_error = ServiceError::kInvalidHandle},
     .operation = Operation::kStopWia,
     .result = false,
     .state = kStopped,
     .start_type = kAuto,
     .stop_controls = 1,
     .printed = "QueryServiceConfig failed (6)\n"},
    {.name = "RefusedStartTypeChangeFailsStop",
     .script = {.change_config_error = ServiceError::kAccessDenied},
     .operation = Operation::kStopWia,
     .result = false,
     .state = kStopped,
     .start_type = kAuto,
     .stop_controls = 1,
     .start_types_set = {kDisabled}},
    {.name = "NarrowHandlesOfIsWiaRunningCannotReadTheConfiguration",
     .script = {},
     .operation = Operation::kIsRunningThenStopWia,
     .result = false,
     .state = kStopped,
     .start_type = kAuto,
     .stop_controls = 1,
     .printed = "QueryServiceConfig failed (5)\n"},

    // The job's stop sequence
    {.name = "JobStopsAgainAServiceThatWasStartingAtFirst",
     .script = {.state = kStartPending, .pending_reads = 1},
     .operation = Operation::kJobStop,
     .result = true,
     .state = kStopped,
     .start_type = kDisabled,
     .stop_controls = 1,
     .start_types_set = {kDisabled}},
    {.name = "JobStopOfAStoppedServiceStopsOnce",
     .script = {.state = kStopped},
     .operation = Operation::kJobStop,
     .result = true,
     .state = kStopped,
     .start_type = kDisabled,
     .start_types_set = {kDisabled}},

    // StartWIA
    {.name = "RunningAutomaticServiceIsLeftAsItIs",
     .script = {},
     .operation = Operation::kStartWia,
     .result = true,
     .state = kRunning,
     .start_type = kAuto},
    {.name = "StoppedDisabledServiceIsEnabledAndStarted",
     .script = {.state = kStopped,
                .start_type = kDisabled,
                .wait_hint = 500,
                .start_reads = 3},
     .operation = Operation::kStartWia,
     .result = true,
     .state = kRunning,
     .start_type = kAuto,
     .start_types_set = {kAuto},
     .starts = 1},
    {.name = "StartPendingServiceIsAwaitedNotStartedAgain",
     .script = {.state = kStartPending,
                .start_type = kDisabled,
                .wait_hint = 3000,
                .pending_reads = 2},
     .operation = Operation::kStartWia,
     .result = true,
     .state = kRunning,
     .start_type = kAuto,
     .start_types_set = {kAuto}},
    {.name = "StopPendingServiceIsStartedOnceItHasStopped",
     .script = {.state = kStopPending,
                .start_type = kDisabled,
                .wait_hint = 1000,
                .pending_reads = 2},
     .operation = Operation::kStartWia,
     .result = true,
     .state = kRunning,
     .start_type = kAuto,
     .start_types_set = {kAuto},
     .starts = 1},
    {.name = "ServiceThatNeverRunsFailsAfterSixtySeconds",
     .script = {.state = kStopped, .wait_hint = 1000, .start_reads = kForever},
     .operation = Operation::kStartWia,
     .result = false,
     .state = kStartPending,
     .start_type = kAuto,
     .starts = 1,
     .min_elapsed_ms = kServiceStartLimitMs,
     .max_elapsed_ms = 600000},
    {.name = "HugeWaitHintDoesNotStretchTheStartLimit",
     .script = {.state = kStopped,
                .wait_hint = 3600000,
                .start_reads = kForever},
     .operation = Operation::kStartWia,
     .result = false,
     .state = kStartPending,
     .start_type = kAuto,
     .starts = 1,
     .min_elapsed_ms = kServiceStartLimitMs,
     .max_elapsed_ms = 600000},
    {.name = "ServiceThatFallsBackToStoppedFailsStart",
     .script = {.state = kStopped,
                .wait_hint = 1000,
                .start_reads = 2,
                .start_falls_back = true},
     .operation = Operation::kStartWia,
     .result = false,
     .state = kStopped,
     .start_type = kAuto,
     .starts = 1},
    {.name = "RefusedStartFailsStart",
     .script = {.state = kStopped,
                .start_error = ServiceError::kServiceRequestTimeout},
     .operation = Operation::kStartWia,
     .result = false,
     .state = kStopped,
     .start_type = kAuto,
     .starts = 1},
    {.name = "MissingServiceFailsStart",
     .script = {.exists = false},
     .operation = Operation::kStartWia,
     .result = false},
    {.name = "StatusUnreadableAfterStartTypeIsNoSuccess",
     .script = {.state = kStopped,
                .start_type = kDisabled,
                .failing_reads_from = 1},
     .operation = Operation::kStartWia,
     .result = false,
     .state = kStopped,
     .start_type = kAuto,
     .start_types_set = {kAuto}},
    {.name = "StatusLostWhileStartingIsNoSuccess",
     .script = {.state = kStopped, .start_reads = 5, .failing_reads_from = 3},
     .operation = Operation::kStartWia,
     .result = false,
     .start_type = kAuto,
     .starts = 1},
    {.name = "UnreadableConfigurationFailsStartWithoutStarting",
     .script = {.state = kStopped,
                .query_config_error = ServiceError::kAccessDenied},
     .operation = Operation::kStartWia,
     .result = false,
     .state = kStopped,
     .printed = "QueryServiceConfig failed (5)\n"},
};

class WiaControl : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { Clock::SetScale(1000.0); }
  void TearDown() override { Clock::SetScale(1.0); }
};

TEST_P(WiaControl, FollowsTheService) {
  const Case& c = GetParam();
  ScriptedServiceControl scm(c.script);
  bool result = false;
  std::uint32_t elapsed = 0;
  std::string printed;
  {
    CWIAControl wia(scm);
    ::testing::internal::CaptureStdout();
    const std::uint32_t start = Clock::TickCount();
    result = RunOperation(c.operation, wia);
    elapsed = Clock::TickCount() - start;
    printed = ::testing::internal::GetCapturedStdout();
  }
  EXPECT_EQ(result, c.result);
  if (c.state != kAny) {
    EXPECT_EQ(scm.state(), c.state);
  }
  if (c.start_type != kAny) {
    EXPECT_EQ(scm.start_type(), c.start_type);
  }
  const auto& calls = scm.calls();
  if (c.stop_controls == kResent) {
    EXPECT_GT(calls.stop_controls, 1);
  } else {
    EXPECT_EQ(calls.stop_controls, c.stop_controls);
  }
  EXPECT_EQ(calls.start_types_set, c.start_types_set);
  EXPECT_EQ(calls.starts, c.starts);
  EXPECT_EQ(printed, c.printed);
  EXPECT_GE(elapsed, c.min_elapsed_ms);
  EXPECT_LT(elapsed, c.max_elapsed_ms);
  // Every handle opened was closed, at the latest by the destructor.
  EXPECT_EQ(scm.open_handles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, WiaControl, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) {
                           return std::string(param_info.param.name);
                         });

TEST(WiaControlHandles, AreOpenedOnceWithTheRightsOfTheFirstCaller) {
  const struct {
    const char* name;
    bool is_running_first;
    std::uint32_t manager_access;
    const char* service_name;
    std::uint32_t service_access;
  } cases[] = {
      {"StopWIA first", false, 0xF003F, "stisvc", 0xF003F},
      {"IsWIARunning first", true, 0x20000000, "STISVC", 0x36},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServiceControl scm({.state = kStopped});
    {
      CWIAControl wia(scm);
      if (c.is_running_first) {
        EXPECT_FALSE(wia.IsWIARunning());
      }
      ::testing::internal::CaptureStdout();
      wia.StopWIA();
      wia.StartWIA();
      // Narrow handles cannot read the start type, so nothing starts.
      EXPECT_EQ(wia.IsWIARunning(), !c.is_running_first);
      ::testing::internal::GetCapturedStdout();
      EXPECT_EQ(scm.open_handles(), 2u);
    }
    const auto& calls = scm.calls();
    EXPECT_EQ(calls.manager_access,
              std::vector<std::uint32_t>{c.manager_access});
    EXPECT_EQ(calls.service_names, std::vector<std::string>{c.service_name});
    EXPECT_EQ(calls.service_access,
              std::vector<std::uint32_t>{c.service_access});
    EXPECT_EQ(calls.closes, 2);
  }
}

TEST(WiaControlHandles, FailedStatusReadClosesThemAndTheNextCallReopens) {
  ScriptedServiceControl scm({.failing_reads_from = 0});
  CWIAControl wia(scm);
  platform::ServiceStatus status;
  EXPECT_FALSE(wia.QueryStatus(&status));
  EXPECT_EQ(scm.open_handles(), 0u);
  EXPECT_FALSE(wia.IsWIARunning());
  EXPECT_EQ(scm.open_handles(), 0u);
  EXPECT_EQ(scm.calls().manager_access.size(), 2u);
}

TEST(WiaControlHandles, QueryStatusWithoutARecordFailsAndOpensNothing) {
  ScriptedServiceControl scm({});
  CWIAControl wia(scm);
  EXPECT_FALSE(wia.QueryStatus(nullptr));
  EXPECT_TRUE(scm.calls().manager_access.empty());
  platform::ServiceStatus status;
  ASSERT_TRUE(wia.QueryStatus(&status));
  EXPECT_EQ(status.dwCurrentState, kRunning);
  EXPECT_EQ(wia.LastStatus().dwCurrentState, kRunning);
}

}  // namespace
}  // namespace refloq::update
