// The recovery-mode job of the USB scanner against the simulated scanner:
// every failure with its text, the success through information record 1,
// the general update that follows a return without it, and the waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "protocol/command_catalogue.h"
#include "sim/digest.h"
#include "sim/fault.h"
#include "sim/tcp_front_end.h"
#include "tests/update/recovery_fixture.h"
#include "update/job_starter.h"
#include "update/recovery_workflow.h"
#include "update/update_workflow.h"

namespace refloq::update::testing {
namespace {

using protocol::FIRMWARE_TRANSFER;
using protocol::FIRMWARE_TRANSFER_RECOVERY_MODE;
using protocol::FIRMWARE_TRANSFER_UPDATE;

const std::string kReady = "Ready";
const std::string kSending = "Sending Data. Wait for 10-20 Sec.";
const std::string kStarting = "Starting Update.";
const std::string kChecking = "Checking...";
const std::string kHundred = "100%";
const std::string kSuccess = "Success.";
const std::string kUpdateFailed = "FW Update Failed.";
const std::string kSendFailed = "Send FW Failed, FW Update Aborted.";
const std::string kConnection = "Connection Failed, FW Update Aborted.";
const std::string kNotRecovery = "This Device is not in Recovery Mode.";
const std::string kDeviceError = "Device Error Occurred, FW Update Aborted.";

sim::Fault FaultOn(std::uint8_t command, sim::FaultPhase phase,
                   sim::FaultAction action, int count = -1) {
  sim::Fault fault;
  fault.command = command;
  fault.phase = phase;
  fault.action = action;
  fault.count = count;
  return fault;
}

// How a job that ended early left things.
struct FailureCase {
  const char* name;
  std::function<void(RecoveryFixture&)> setup;
  std::vector<std::string> texts;  // every text of the row
  bool image_sent;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class RecoveryFailures : public RecoveryFixture,
                         public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RecoveryFailures, EndWithTheirText) {
  const FailureCase& c = GetParam();
  EnterRecovery();
  c.setup(*this);
  RunRecoveryJob();

  EXPECT_EQ(Texts(), c.texts);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kFailed);
  EXPECT_EQ(ImagesWith(FIRMWARE_TRANSFER_RECOVERY_MODE).size(),
            c.image_sent ? 1u : 0u);
  EXPECT_TRUE(ImagesWith(FIRMWARE_TRANSFER_UPDATE).empty());
  EXPECT_FALSE(engine().State().control_pipe_locked);
  EXPECT_EQ(controls_.enabled(), 1);
  // The service is started again only after success.
  EXPECT_EQ(services().calls().starts, 0);
}

const FailureCase kFailureCases[] = {
    {"ServiceNeverStops",
     [](RecoveryFixture& f) {
       ServiceScript script;
       script.ignores_stop = true;
       f.UseServiceScript(script);
     },
     {"Stop, WIA Failed, FW Update Aborted."},
     false},
    {"DeviceAbsent",
     [](RecoveryFixture& f) { f.engine().SetRefuseConnections(true); },
     {"Failed, FW Update Aborted."},
     false},
    {"ImageMissing",
     [](RecoveryFixture& f) { f.UseContainer({}); },
     {"FW File is Missing, FW Update Aborted."},
     false},
    {"ImageCorrupted",
     [](RecoveryFixture& f) {
       std::vector<std::uint8_t> damaged = f.container_;
       damaged[40] ^= 0x5A;  // inside the body's first block
       damaged.pop_back();   // and no longer whole blocks
       f.UseContainer(damaged);
     },
     {"Firmware in Firmware Update Tool is corrupted."},
     false},
    {"StatusNotAnswered",
     [](RecoveryFixture& f) {
       f.engine().AddFault(FaultOn(protocol::GET_DEVICE_STATUS,
                                   sim::FaultPhase::kReply,
                                   sim::FaultAction::kClose, 1));
     },
     {kConnection},
     false},
    {"LeftRecoveryModeBeforeTheCheck",
     [](RecoveryFixture& f) {
       f.engine().UpdateState([](sim::ScannerState& s) {
         s.status.wFWInfo = protocol::SCANNER_STATUS_READY;
       });
     },
     {kNotRecovery},
     false},
    {"BusyWithAnError",
     [](RecoveryFixture& f) {
       f.engine().UpdateState([](sim::ScannerState& s) {
         s.status.wFWInfo = protocol::SCANNER_STATUS_BUSY;
         s.status.dwLastErr = 0x7001;
       });
     },
     {kNotRecovery, kDeviceError},
     false},
    {"FirmwareCommandRefused",
     [](RecoveryFixture& f) {
       f.engine().AddFault(FaultOn(FIRMWARE_TRANSFER, sim::FaultPhase::kReply,
                                   sim::FaultAction::kClose, 1));
     },
     {kReady, kSendFailed},
     false},
    {"ImageNotTaken",  // the scanner stops reading past the data limit
     [](RecoveryFixture& f) {
       sim::Fault fault =
           FaultOn(FIRMWARE_TRANSFER, sim::FaultPhase::kDataFromHost,
                   sim::FaultAction::kStall, 1);
       fault.stall_ms = 200000;
       f.engine().AddFault(fault);
     },
     {kReady, kSending, kSendFailed},
     false},
};

INSTANTIATE_TEST_SUITE_P(Exits, RecoveryFailures,
                         ::testing::ValuesIn(kFailureCases),
                         [](const auto& test) {
                           return std::string(test.param.name);
                         });

// The texts from "Starting Update." to "100%": the simulated percentage.
std::vector<std::string> ProgressTexts(const std::vector<std::string>& texts) {
  const auto first = std::find(texts.begin(), texts.end(), kStarting);
  const auto last = std::find(texts.begin(), texts.end(), kHundred);
  if (first == texts.end() || last == texts.end() || last < first) return {};
  return {first + 1, last};
}

using RecoveryUsbJob = RecoveryFixture;

TEST_F(RecoveryUsbJob, SucceedsThroughRecordOneWhateverItsStatusSays) {
  sim::RecoveryTimelineOptions options;
  options.working_status = protocol::SCANNER_STATUS_BUSY;
  EnterRecovery(options);
  RunRecoveryJob();

  const std::vector<std::string> texts = Texts();
  ASSERT_GE(texts.size(), 5u);
  EXPECT_EQ(texts[0], kReady);
  EXPECT_EQ(texts[1], kSending);
  EXPECT_EQ(texts[2], kStarting);
  EXPECT_EQ(texts.back(), kSuccess);
  EXPECT_EQ(texts[texts.size() - 2], kChecking);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kSucceeded);

  // The simulated percentage: 0% first, one more each time, never above
  // 99% before "100%".
  const std::vector<std::string> progress = ProgressTexts(texts);
  ASSERT_GE(progress.size(), 10u);
  for (std::size_t i = 0; i < progress.size(); ++i) {
    const int expected = std::min<int>(static_cast<int>(i), 99);
    EXPECT_EQ(progress[i], std::to_string(expected) + "%") << i;
  }

  const auto images = ImagesWith(FIRMWARE_TRANSFER_RECOVERY_MODE);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].length, payload_.size());
  EXPECT_EQ(images[0].sha256, sim::Sha256Hex(payload_));
  EXPECT_TRUE(ImagesWith(FIRMWARE_TRANSFER_UPDATE).empty());
  // The recovery transfer is TRANSFER_WRITE with the image's length.
  for (const sim::WireEntry& entry : engine().Record()) {
    if (entry.kind == sim::WireEntry::Kind::kBlock &&
        entry.block.bCommand == FIRMWARE_TRANSFER) {
      EXPECT_EQ(entry.block.bTransferType, protocol::TRANSFER_WRITE);
      EXPECT_EQ(entry.block.dwLength, payload_.size());
    }
  }
  EXPECT_EQ(services().calls().starts, 1);
  EXPECT_EQ(controls_.enabled(), 1);
  // The job itself passes no trace lines.
  EXPECT_TRUE(Trace().empty());
}

TEST_F(RecoveryUsbJob, StartWiaFailureIsTheLastText) {
  ServiceScript script;
  script.start_error = platform::ServiceError::kAccessDenied;
  UseServiceScript(script);
  EnterRecovery();
  RunRecoveryJob();
  EXPECT_EQ(rows_.LastTextOf(0), "Start WIA Failed.");
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kFailed);
}

TEST_F(RecoveryUsbJob, ReadyWithoutRecordOneGetsTheGeneralUpdateInItsRow) {
  StartTimeline();  // takes the update that follows the recovery
  sim::RecoveryTimelineOptions options;
  options.return_as = sim::RecoveryReturn::kReadyWithoutRecord;
  EnterRecovery(options);
  // No downgrade permission: the guard, were it run, would refuse.
  environment_.enable_downgrade = 1;
  RunRecoveryJob();

  const std::vector<std::string> texts = Texts();
  const auto hundred = std::find(texts.begin(), texts.end(), kHundred);
  ASSERT_NE(hundred, texts.end());
  // "Checking..." while the scanner restarts, then the update's own texts
  // without a gap.
  auto next = hundred + 1;
  ASSERT_NE(next, texts.end());
  EXPECT_EQ(*next, kChecking);
  while (next != texts.end() && *next == kChecking) ++next;
  const std::vector<std::string> update(next, texts.end());
  ASSERT_GE(update.size(), 5u);
  EXPECT_EQ(update[0], kReady);
  EXPECT_EQ(update[1], kSending);
  EXPECT_EQ(update[2], kStarting);
  EXPECT_EQ(update.back(), kSuccess);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kSucceeded);

  // Both images arrived whole: the program's own by the recovery transfer,
  // the window's by the update.
  const auto recovery = ImagesWith(FIRMWARE_TRANSFER_RECOVERY_MODE);
  ASSERT_EQ(recovery.size(), 1u);
  EXPECT_EQ(recovery[0].sha256, sim::Sha256Hex(payload_));
  const auto updated = ImagesWith(FIRMWARE_TRANSFER_UPDATE);
  ASSERT_EQ(updated.size(), 1u);
  EXPECT_EQ(updated[0].sha256, sim::Sha256Hex(image_));

  // Neither the downgrade guard nor the record check before the firmware
  // command ran.
  EXPECT_EQ(BlocksOf(protocol::GET_EXTENDED_INFO, 0), 0);
  EXPECT_EQ(BlocksAfter(protocol::LOCK_FUNCTION, protocol::RS_LOCK_SCANNER,
                        protocol::GET_DEVICE_INFO),
            0);
  // Its trace is the workflow's, less the progress loop's 100% line.
  const std::vector<std::string> trace = Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front(), "==>UpdateFw function start");
  EXPECT_EQ(
      std::count(trace.begin(), trace.end(), "==>get update percentage = 100%"),
      0);
  EXPECT_EQ(controls_.enabled(), 1);
}

TEST_F(RecoveryUsbJob, ADeviceThatStaysAwayFailsAfterThreeMinutes) {
  sim::RecoveryTimelineOptions options;
  options.return_as = sim::RecoveryReturn::kStaysAway;
  EnterRecovery(options);
  RunRecoveryJob();

  const std::vector<RowWrite> writes = rows_.Writes();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back().text, kUpdateFailed);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kFailed);
  const auto hundred =
      std::find_if(writes.begin(), writes.end(),
                   [](const RowWrite& w) { return w.text == kHundred; });
  ASSERT_NE(hundred, writes.end());
  EXPECT_GE(writes.back().tick - hundred->tick, 180000u);
  // "Checking..." about once a second, and nothing else in between.
  const auto checking =
      std::count_if(hundred + 1, writes.end() - 1,
                    [](const RowWrite& w) { return w.text == kChecking; });
  EXPECT_EQ(checking, writes.end() - 1 - (hundred + 1));
  EXPECT_LE(checking, 181);
  EXPECT_GE(checking, 20);
}

TEST_F(RecoveryUsbJob, TwelveUnansweredPollsEndTheJob) {
  sim::RecoveryTimelineOptions options;
  options.return_as = sim::RecoveryReturn::kSilent;
  EnterRecovery(options);
  RunRecoveryJob();

  EXPECT_EQ(rows_.LastTextOf(0), kUpdateFailed);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kFailed);
  EXPECT_EQ(BlocksAfter(FIRMWARE_TRANSFER, FIRMWARE_TRANSFER_RECOVERY_MODE,
                        protocol::GET_DEVICE_STATUS),
            12);
}

// With the USB row first and a network row second, the recovery job and
// its update stay in the USB row although the starter has since handed the
// other row to a job of its own.
TEST_F(RecoveryUsbJob, TheUsbRowKeepsItsTextsBesideANetworkRow) {
  StartTimeline();
  sim::RecoveryTimelineOptions options;
  options.return_as = sim::RecoveryReturn::kReadyWithoutRecord;
  EnterRecovery(options);

  sim::DeviceEngine network_engine;
  network_engine.UpdateState(
      [](sim::ScannerState& s) { s.downgrade_permission = 1; });
  sim::TcpFrontEnd network(network_engine, {127, 0, 0, 2}, 0);
  ASSERT_TRUE(network.Start());
  link::SetScannerTcpPort(network.port());
  sim::UpdateTimeline network_timeline(network_engine, {});

  JobWorkers workers;
  workers.update = MakeUpdateWorker(environment_);
  workers.usb_recovery = MakeRecoveryUsbWorker(environment_);
  workers.query_usb_status = [this] {
    return static_cast<int>(engine().State().status.wFWInfo);
  };
  const std::vector<CheckedRow> rows = {{0, "USB"}, {1, "127.0.0.2"}};
  StartJobs(board_, rows, workers);
  board_.slots().WaitForWorkers(100, 1000);
  network.Stop();

  EXPECT_EQ(rows_.LastTextOf(0), kSuccess);
  EXPECT_EQ(rows_.LastTextOf(1), kSuccess);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kSucceeded);
  EXPECT_EQ(rows_.OutcomeOf(1), JobOutcome::kSucceeded);
  EXPECT_EQ(ImagesWith(FIRMWARE_TRANSFER_RECOVERY_MODE).size(), 1u);
  EXPECT_EQ(ImagesWith(FIRMWARE_TRANSFER_UPDATE).size(), 1u);
  ASSERT_EQ(network_engine.State().images.size(), 1u);
  // Every text of the USB job went into row 0.
  const std::vector<std::string> usb = rows_.TextsOf(0);
  EXPECT_NE(std::find(usb.begin(), usb.end(), kHundred), usb.end());
  const std::vector<std::string> net = rows_.TextsOf(1);
  EXPECT_EQ(std::find(net.begin(), net.end(), kHundred), net.end());
}

}  // namespace
}  // namespace refloq::update::testing
