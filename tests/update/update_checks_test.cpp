// Steps 1 to 9 of the update workflow against a simulated scanner: every
// exit with its text, and whether the scanner is left locked.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "protocol/command_catalogue.h"
#include "protocol/device_records.h"
#include "tests/update/workflow_fixture.h"
#include "update/downgrade_guard.h"

namespace refloq::update::testing {
namespace {

using protocol::LOCK_FUNCTION;
using protocol::REFLOQ_UNLOCK_SCANNER;
using protocol::RS_LOCK_SCANNER;

// What became of the scanner lock.
enum class LockEnd { kNeverLocked, kLeftLocked, kUnlocked };

struct CheckCase {
  const char* name;
  Transport transport;
  std::function<void(WorkflowFixture&)> setup;
  std::vector<std::string> texts;
  LockEnd lock;
  const char* failure_trace;  // the job's last trace line
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

const std::string kReady = "Ready";
const std::string kBusy = "Busy, FW Update Aborted.";
const std::string kFailed = "Failed, FW Update Aborted.";
const std::string kConnection = "Connection Failed, FW Update Aborted.";
const std::string kUuid = "Get UUID Failed, FW Update Aborted.";
const std::string kDeviceError = "Device Error Occurred, FW Update Aborted.";
const std::string kStopWia = "Stop, WIA Failed, FW Update Aborted.";
const std::string kDowngrade =
    "Firmware Update Unsuccessful\nCannot downgrade firmware";

void SetStatus(WorkflowFixture& f, std::uint16_t fw_info,
               std::uint32_t last_err, std::uint8_t sleep) {
  f.engine().UpdateState([=](sim::ScannerState& s) {
    s.status.wFWInfo = fw_info;
    s.status.dwLastErr = last_err;
    s.status.bSleep = sleep;
  });
}

void FailShellCommand(WorkflowFixture& f) {
  sim::Fault fault;
  fault.command = protocol::RUN_SHELL_COMMAND;
  fault.phase = sim::FaultPhase::kReply;
  fault.action = sim::FaultAction::kClose;
  f.engine().AddFault(fault);
}

void FailFirstUuidRead(WorkflowFixture& f) {
  sim::Fault fault;
  fault.command = protocol::GET_UUID_FROM_NVRAM;
  fault.phase = sim::FaultPhase::kDataToHost;
  fault.action = sim::FaultAction::kClose;
  fault.bytes = 10;
  fault.count = 1;
  f.engine().AddFault(fault);
}

class UpdateChecks : public WorkflowFixture,
                     public ::testing::WithParamInterface<CheckCase> {};

TEST_P(UpdateChecks, EndsWithItsTextAndLockState) {
  const CheckCase& c = GetParam();
  if (c.setup) c.setup(*this);
  RunJob(c.transport);

  EXPECT_EQ(Texts(), c.texts);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kFailed);
  const std::vector<std::string> trace = Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front(), "==>UpdateFw function start");
  EXPECT_EQ(trace.back(), c.failure_trace);

  if (c.lock != LockEnd::kNeverLocked) WaitForLockData(RS_LOCK_SCANNER);
  if (c.lock == LockEnd::kUnlocked) WaitForUnlock();
  const auto locks = DataOf(LOCK_FUNCTION, RS_LOCK_SCANNER);
  const auto unlocks = DataOf(LOCK_FUNCTION, REFLOQ_UNLOCK_SCANNER);
  const bool locked_now = engine().State().lock_key.has_value();
  switch (c.lock) {
    case LockEnd::kNeverLocked:
      EXPECT_TRUE(locks.empty());
      EXPECT_FALSE(locked_now);
      break;
    case LockEnd::kLeftLocked:
      EXPECT_EQ(locks.size(), 1u);
      EXPECT_TRUE(unlocks.empty());
      EXPECT_TRUE(locked_now);
      break;
    case LockEnd::kUnlocked:
      ASSERT_EQ(locks.size(), 1u);
      ASSERT_EQ(unlocks.size(), 1u);
      EXPECT_EQ(unlocks[0], locks[0]);  // the same 80 bytes
      EXPECT_EQ(locks[0].size(), 80u);
      EXPECT_FALSE(locked_now);
      break;
  }
  // A USB job leaves the control pipe unlocked on every exit after the
  // lock, except the failed lock itself.
  if (c.transport == Transport::kUsb) {
    EXPECT_FALSE(engine().State().control_pipe_locked);
  }
  EXPECT_EQ(controls_.enabled(), 1);
}

const CheckCase kCheckCases[] = {
    {"UsbServiceMissing",
     Transport::kUsb,
     [](WorkflowFixture& f) {
       ServiceScript script;
       script.exists = false;
       f.UseServiceScript(script);
     },
     {kStopWia},
     LockEnd::kNeverLocked,
     "==>WIAstop fail return"},
    {"TcpUnreachable",
     Transport::kTcp,
     [](WorkflowFixture& f) { f.engine().SetRefuseConnections(true); },
     {kFailed},
     LockEnd::kNeverLocked,
     "==>Open connect fail return"},
    {"UsbAbsent",
     Transport::kUsb,
     [](WorkflowFixture& f) { f.scanner_.usb().Attach(0, nullptr); },
     {kFailed},
     LockEnd::kNeverLocked,
     "==>Open connect fail return"},
    {"TcpBusy",
     Transport::kTcp,
     [](WorkflowFixture& f) { SetStatus(f, 4, 0, 0); },
     {kBusy},
     LockEnd::kNeverLocked,
     "==>wFWInfo != SCANNER_STATUS_READY || sKestoDeviceStatus.dwLastErr != 0 "
     "return"},
    {"UsbBusy",
     Transport::kUsb,
     [](WorkflowFixture& f) { SetStatus(f, 4, 0, 0); },
     {kBusy},
     LockEnd::kNeverLocked,
     "==>wFWInfo != SCANNER_STATUS_READY || sKestoDeviceStatus.dwLastErr != 0 "
     "return"},
    {"TcpLastError",
     Transport::kTcp,
     [](WorkflowFixture& f) { SetStatus(f, 0, 5, 0); },
     {kDeviceError},
     LockEnd::kNeverLocked,
     "==>wFWInfo != SCANNER_STATUS_READY || sKestoDeviceStatus.dwLastErr != 0 "
     "return"},
    {"TcpBusyAndLastError",
     Transport::kTcp,
     [](WorkflowFixture& f) { SetStatus(f, 4, 5, 0); },
     {kBusy, kDeviceError},
     LockEnd::kNeverLocked,
     "==>wFWInfo != SCANNER_STATUS_READY || sKestoDeviceStatus.dwLastErr != 0 "
     "return"},
    {"UsbControlPipeLockRefused",
     Transport::kUsb,
     [](WorkflowFixture& f) {
       f.engine().UpdateState(
           [](sim::ScannerState& s) { s.control_pipe_result = 1; });
     },
     {kBusy},
     LockEnd::kNeverLocked,
     "==>Control pipe lock fail return"},
    {"TcpStatusExchangeFails",
     Transport::kTcp,
     [](WorkflowFixture& f) {
       sim::Fault fault;
       fault.command = protocol::GET_DEVICE_STATUS;
       fault.action = sim::FaultAction::kClose;
       f.engine().AddFault(fault);
     },
     {kConnection},
     LockEnd::kNeverLocked,
     "==>Send get device status cmd fail return"},
    {"TcpAsleepWithoutWaiting",
     Transport::kTcp,
     [](WorkflowFixture& f) {
       SetStatus(f, 0, 0, 1);
       f.environment_.wait_for_wake = false;
     },
     {kDeviceError},
     LockEnd::kNeverLocked,
     "==>Wait device wake up not select return"},
    {"TcpNeverWakes",
     Transport::kTcp,
     [](WorkflowFixture& f) { SetStatus(f, 0, 0, 1); },
     {kDeviceError},
     LockEnd::kUnlocked,
     "==>Into wait scanner wake loop, timeout return"},
    {"TcpLockRefused",
     Transport::kTcp,
     [](WorkflowFixture& f) {
       sim::Fault fault;
       fault.command = LOCK_FUNCTION;
       fault.parameter = RS_LOCK_SCANNER;
       fault.action = sim::FaultAction::kClose;
       f.engine().AddFault(fault);
     },
     {kReady, kConnection},
     LockEnd::kNeverLocked,
     "==>Send RS_LOCK_SCANNER cmd fail return"},
    {"TcpUuidUnreadable",
     Transport::kTcp,
     FailFirstUuidRead,
     {kReady, kUuid},
     LockEnd::kLeftLocked,
     "==>Get uuid from nvram faile return"},
    {"UsbUuidUnreadable",
     Transport::kUsb,
     FailFirstUuidRead,
     {kReady, kUuid},
     LockEnd::kLeftLocked,
     "==>Get uuid from nvram faile return"},
    {"TcpAnotherScannerAnswers",
     Transport::kTcp,
     [](WorkflowFixture& f) {
       sim::UpdateTimelineOptions options;
       options.uuid_after_first_read = "{5CA77E55-0000-4000-8000-000000000099}";
       f.StartTimeline(options);
     },
     {kReady, kUuid},
     LockEnd::kLeftLocked,
     "==>UUID compare fail return"},
    {"TcpDowngradeRefused",
     Transport::kTcp,
     nullptr,
     {kReady, kDowngrade},
     LockEnd::kUnlocked,
     "==>Compare uuid string finish"},
    {"UsbDowngradeRefusedThoughAsleep",
     Transport::kUsb,
     [](WorkflowFixture& f) { SetStatus(f, 0, 0, 1); },
     {kReady, kDowngrade},
     LockEnd::kUnlocked,
     "==>Compare uuid string finish"},
    {"TcpShellCommandFails",
     Transport::kTcp,
     [](WorkflowFixture& f) {
       f.PermitUpdate();
       FailShellCommand(f);
     },
     {kReady, kFailed},
     LockEnd::kLeftLocked,
     "==>Compare uuid string finish"},
};

INSTANTIATE_TEST_SUITE_P(Exits, UpdateChecks, ::testing::ValuesIn(kCheckCases),
                         [](const auto& test) {
                           return std::string(test.param.name);
                         });

class UpdateChecksTrace : public WorkflowFixture {};

TEST_F(UpdateChecksTrace, ASleepingNetworkScannerIsWaitedForAndPolledAgain) {
  SetStatus(*this, 0, 0, 1);
  sim::UpdateTimelineOptions options;
  options.wake_after_ms = 20000;
  StartTimeline(options);
  FailShellCommand(*this);
  PermitUpdate();
  RunJob(Transport::kTcp);

  EXPECT_EQ(Texts(), (std::vector<std::string>{kFailed}));  // no "Ready"
  const std::vector<std::string> trace = Trace();
  const auto count = [&](std::string_view line) {
    return std::count(trace.begin(), trace.end(), line);
  };
  EXPECT_EQ(count("==>Device is sleep"), 1);
  EXPECT_GE(count("==>Wait device wake up, sleep 1sec "), 1);
  EXPECT_LE(count("==>Wait device wake up, sleep 1sec "), 21);
  EXPECT_EQ(count("==>Device is wake up"), 1);
  // The wait comes after the first UUID read and before the second.
  const auto at = [&](std::string_view line) {
    return std::find(trace.begin(), trace.end(), line) - trace.begin();
  };
  EXPECT_LT(at("==>Get uuid from nvram finish"),
            at("==>Wait scanner wake start"));
  EXPECT_LT(at("==>Wait scanner wake finish"),
            at("==>Compare uuid string start"));
}

TEST_F(UpdateChecksTrace, TheFirstStepsTraceEveryLineInOrderOverUsb) {
  RunJob(Transport::kUsb);  // refused by the downgrade guard
  const std::vector<std::string> expected = {
      "==>UpdateFw function start",
      "==>Device is usb mode",
      "==>WIAstop function start",
      "==>WIAstop function finish",
      "==>Open connect start",
      "==>Close connect start",
      "==>Check device status start",
      "==>Open connect start",
      "==>Open connect success",
      "==>Device is usb mode",
      "==>Control pipe lock start",
      "==>Control pipe lock finish",
      "==>Send get device status cmd start",
      "==>Send get device status cmd finish",
      "==>Device is ready",
      "==>Lock scanner start",
      "==>Open connect start",
      "==>Open connect finish",
      "==>Open connect success",
      "==>Send RS_LOCK_SCANNER cmd start",
      "==>Send RS_LOCK_SCANNER cmd finish",
      "==>Send RS_LOCK_SCANNER data start",
      "==>Send RS_LOCK_SCANNER data finish",
      "==>Get uuid from nvram start",
      "==>Get uuid from nvram finish",
      "==>Compare uuid string start",
      "==>Get uuid from nvram start",
      "==>Get uuid from nvram finish",
      "==>Compare uuid string finish",
  };
  EXPECT_EQ(Trace(), expected);
  EXPECT_EQ(services().state(), platform::kServiceStopped);
  EXPECT_EQ(services().start_type(), platform::kServiceDisabled);
  EXPECT_EQ(BlocksOf(protocol::RUN_SHELL_COMMAND, 0), 0);
}

TEST_F(UpdateChecksTrace, WithEnableDowngradeZeroNoRecordIsRead) {
  environment_.enable_downgrade = 0;  // the scanner would refuse the update
  FailShellCommand(*this);
  RunJob(Transport::kTcp);
  EXPECT_EQ(Texts(), (std::vector<std::string>{kReady, kFailed}));
  EXPECT_EQ(BlocksOf(protocol::GET_DEVICE_INFO, 4), 0);
  EXPECT_EQ(BlocksOf(protocol::GET_EXTENDED_INFO, 2), 0);
  EXPECT_EQ(engine().State().shell_commands.size(), 1u);  // its reply failed
}

struct GuardCase {
  std::uint16_t major;
  std::uint16_t minor;
  std::uint32_t date_stamp;
  std::uint8_t permission;
  bool permitted;
};

TEST(DowngradeGuard, RefusesOnlyNewFirmwareWithoutPermission) {
  const GuardCase cases[] = {
      {2, 26, 0x18051B0A, 0, false}, {2, 26, 0x18051B0A, 1, true},
      {2, 25, 0x18051B0A, 0, true},  {2, 26, 0x18051B09, 0, true},
      {2, 30, 0xFFFFFFFF, 0, false}, {3, 0, 0x18051B0A, 0, false},
      {2, 5, 0xFFFFFFFF, 0, true},   {2, 30, 0x18051B0A, 255, true},
  };
  for (const GuardCase& c : cases) {
    const protocol::FirmwareInfoRecord info = protocol::MakeFirmwareInfoRecord(
        {protocol::MakeVersion(c.major, c.minor), c.date_stamp});
    EXPECT_EQ(DowngradePermitted(
                  info, protocol::MakeExtendedInfoRecord(c.permission)),
              c.permitted)
        << c.major << "." << c.minor << " " << std::hex << c.date_stamp << " "
        << int{c.permission};
  }
}

}  // namespace
}  // namespace refloq::update::testing
