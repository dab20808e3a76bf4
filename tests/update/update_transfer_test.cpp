// Steps 10 to 15 of the update workflow against a simulated scanner that
// runs its update timeline: the image, the progress and the countdown, the
// restart and the final text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "protocol/command_catalogue.h"
#include "protocol/device_records.h"
#include "sim/digest.h"
#include "tests/update/workflow_fixture.h"

namespace refloq::update::testing {
namespace {

using protocol::LOCK_FUNCTION;
using protocol::REFLOQ_UNLOCK_SCANNER;
using protocol::RS_LOCK_SCANNER;
using sim::TimelinePhase;
using sim::UpdateTimelineOptions;

const std::string kSuccess = "Success.";
const std::string kFwFailed = "FW Update Failed.";
const std::string kSendFailed = "Send FW Failed, FW Update Aborted.";
const std::string kStarting = "Starting Update.";
const std::string kSending = "Sending Data. Wait for 10-20 Sec.";
const std::string kChecking = "Checking...";

std::vector<std::string> Countdown() {
  std::vector<std::string> texts;
  for (int left = 80; left >= 1; --left) {
    char text[64];
    std::snprintf(text, sizeof text,
                  "Wait for %d:%02d min, Device Will Reboot.", left / 60,
                  left % 60);
    texts.push_back(text);
  }
  return texts;
}

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

bool IsProgressText(const std::string& text) {
  return !text.empty() && text.back() == '%';
}

class UpdateTransfer : public WorkflowFixture {
 protected:
  void SetUp() override { PermitUpdate(); }

  // The image arrived whole, once.
  void ExpectImageIntact() {
    const std::vector<sim::ReceivedImage> images = Images();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].length, image_.size());
    EXPECT_EQ(images[0].sha256, sim::Sha256Hex(image_));
  }
  void ExpectUnlockedWithTheLockKey() {
    WaitForUnlock();
    const auto locks = DataOf(LOCK_FUNCTION, RS_LOCK_SCANNER);
    const auto unlocks = DataOf(LOCK_FUNCTION, REFLOQ_UNLOCK_SCANNER);
    ASSERT_EQ(locks.size(), 1u);
    ASSERT_EQ(unlocks.size(), 1u);
    EXPECT_EQ(unlocks[0], locks[0]);
    EXPECT_FALSE(engine().State().lock_key.has_value());
  }
};

TEST_F(UpdateTransfer, ANetworkScannerIsUpdatedEndToEnd) {
  StartTimeline();
  RunJob(Transport::kTcp);

  EXPECT_EQ(Texts(), Concat({{"Ready", kSending, kStarting},
                             Countdown(),
                             {kChecking, kSuccess}}));
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kSucceeded);
  ExpectImageIntact();
  EXPECT_EQ(engine().State().shell_commands,
            (std::vector<std::string>{protocol::kShellCommandText}));
  EXPECT_EQ(BlocksOf(LOCK_FUNCTION, REFLOQ_UNLOCK_SCANNER), 0);
  EXPECT_TRUE(RediscoverCalls().empty());
  EXPECT_EQ(controls_.enabled(), 1);

  const std::vector<std::string> expected = {
      "==>UpdateFw function start",
      "==>Open connect start",
      "==>Close connect start",
      "==>Check device status start",
      "==>Open connect start",
      "==>Open connect success",
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
      "==>Start update fw function",
      "==>Open connect start",
      "==>Open connect finish",
      "==>Send cmd no data start",
      "==>Send cmd no data finish",
      "==>Send cmd no data success",
      "==>Send fw data start",
      "==>Send fw data finish",
      "==>Send fw data success",
      "==>Get device status start",
      "==>Get device status finish",
      "==>Release fw data buffer",
      "==>Close connect start",
      "==>Close connect finish",
      "==>Send fw data finish, check update percentage start",
      "==>Device is net mode",
      "==>Wait device reboot, check device status again.",
      "==>Get device status loop start",
      "==>Open connect start",
      "==>Open connect finish",
      "==>Send get status cmd start",
      "==>Send get status cmd finish",
      "==>Close connect start",
      "==>Close connect finish",
      "==>Open connect success",
      "==>Get device status is ready break",
      "==>Get device status loop finish",
      "==>Update fw success",
  };
  EXPECT_EQ(Trace(), expected);
}

TEST_F(UpdateTransfer, AUsbScannerIsUpdatedEndToEndWithItsProgress) {
  UpdateTimelineOptions options;
  options.progress_step_ms = 3000;  // every value is polled at least once
  StartTimeline(options);
  RunJob(Transport::kUsb);

  const std::vector<std::string> texts = Texts();
  ASSERT_GE(texts.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 3),
            (std::vector<std::string>{"Ready", kSending, kStarting}));
  EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()),
            (std::vector<std::string>{"100%", kChecking, kSuccess}));
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kSucceeded);
  std::vector<std::string> progress(texts.begin() + 3, texts.end() - 3);
  ASSERT_FALSE(progress.empty());
  for (const std::string& text : progress) EXPECT_TRUE(IsProgressText(text));
  EXPECT_EQ(progress.back(), "99%");  // 100 shows 99 until the scanner is done
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end(),
                             [](const std::string& a, const std::string& b) {
                               return std::stoi(a) < std::stoi(b);
                             }));
  ExpectImageIntact();
  EXPECT_TRUE(engine().State().shell_commands.empty());
  EXPECT_FALSE(engine().State().control_pipe_locked);
  EXPECT_EQ(services().state(), platform::kServiceRunning);
  EXPECT_EQ(services().start_type(), platform::kServiceAutoStart);
  EXPECT_TRUE(RediscoverCalls().empty());

  const std::vector<std::string> trace = Trace();
  const std::vector<std::string> tail = {
      "==>get update percentage = 100%",
      "==>Into get update percentage loop finish",
      "==>Control pipe unlock start",
      "==>Control pipe unlock finish",
      "==>Close connect start",
      "==>Close connect finish",
      "==>Wait device reboot, check device status again.",
      "==>Get device status loop start"};
  EXPECT_NE(std::search(trace.begin(), trace.end(), tail.begin(), tail.end()),
            trace.end());
  const std::vector<std::string> end = {
      "==>Get device status is ready break", "==>Get device status loop finish",
      "==>WIAStart start", "==>WIAStart finish", "==>Update fw success"};
  EXPECT_TRUE(std::equal(end.rbegin(), end.rend(), trace.rbegin()));
}

TEST_F(UpdateTransfer, AScannerThatIsNotReadyAfterItsRestartIsFoundByItsUuid) {
  UpdateTimelineOptions options;
  options.busy_after_restart_ms = 1000000;
  StartTimeline(options);
  rediscover_answer_ = 1;
  RunJob(Transport::kTcp);

  EXPECT_EQ(rows_.LastTextOf(0), kSuccess);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kSucceeded);
  const std::string uuid = engine().State().uuid_text;
  EXPECT_EQ(RediscoverCalls(), (std::vector<std::string>{uuid}));
  const std::vector<std::string> trace = Trace();
  const std::vector<std::string> end = {
      "==>Open connect success", "==>Get device status is ready, sleep 1sec",
      "==>UUID_Before is",       uuid,
      "==>update fw success",    "==>Get device status loop finish",
      "==>Update fw success"};
  EXPECT_TRUE(std::equal(end.rbegin(), end.rend(), trace.rbegin()));
}

struct FailureCase {
  const char* name;
  Transport transport;
  UpdateTimelineOptions timeline;
  std::function<void(UpdateTransfer&)> setup;  // may be empty
  std::string final_text;
  bool unlocked;  // the firmware unlock exit ran
  std::vector<std::string> trace_tail;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

UpdateTimelineOptions ImageRefused() {
  UpdateTimelineOptions options;
  options.image_reply_error = 5;
  return options;
}
UpdateTimelineOptions FailsAt(std::uint8_t progress) {
  UpdateTimelineOptions options;
  options.fail_at = progress;
  return options;
}
UpdateTimelineOptions StuckAt(std::uint8_t progress) {
  UpdateTimelineOptions options;
  options.stuck_at = progress;
  return options;
}
UpdateTimelineOptions NeverReturns() {
  UpdateTimelineOptions options;
  options.restart_ms = sim::kNever;
  return options;
}
UpdateTimelineOptions BusyAfterRestart() {
  UpdateTimelineOptions options;
  options.busy_after_restart_ms = 1000000;
  return options;
}

// The scanner stops reading the image for longer than the data limit.
void StallImage(UpdateTransfer& t) {
  sim::Fault fault;
  fault.command = protocol::FIRMWARE_TRANSFER;
  fault.parameter = protocol::FIRMWARE_TRANSFER_UPDATE;
  fault.phase = sim::FaultPhase::kDataFromHost;
  fault.action = sim::FaultAction::kStall;
  fault.stall_ms = 200000;
  fault.count = 1;
  t.engine().AddFault(fault);
}

class UpdateTransferFailures
    : public UpdateTransfer,
      public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UpdateTransferFailures, EndWithTheirText) {
  const FailureCase& c = GetParam();
  StartTimeline(c.timeline);
  if (c.setup) c.setup(*this);
  RunJob(c.transport);

  EXPECT_EQ(rows_.LastTextOf(0), c.final_text);
  EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kFailed);
  if (c.unlocked) {
    ExpectUnlockedWithTheLockKey();
  } else {
    EXPECT_EQ(BlocksOf(LOCK_FUNCTION, REFLOQ_UNLOCK_SCANNER), 0);
  }
  const std::vector<std::string> trace = Trace();
  ASSERT_GE(trace.size(), c.trace_tail.size());
  EXPECT_TRUE(
      std::equal(c.trace_tail.rbegin(), c.trace_tail.rend(), trace.rbegin()))
      << "last line: " << trace.back();
  if (c.transport == Transport::kUsb) {
    EXPECT_FALSE(engine().State().control_pipe_locked);
    // A failed USB job leaves the still-image service stopped.
    EXPECT_EQ(services().state(), platform::kServiceStopped);
  }
  EXPECT_EQ(controls_.enabled(), 1);
}

const FailureCase kFailureCases[] = {
    {"TcpImageReplyError",
     Transport::kTcp,
     ImageRefused(),
     nullptr,
     kSendFailed,
     true,
     {"==>Get device status fail return", "==>Close connect start",
      "==>Close connect finish", "==>Open connect start",
      "==>Open connect finish", "==>Send REFLOQ_UNLOCK_SCANNER cmd start",
      "==>Send REFLOQ_UNLOCK_SCANNER cmd finish", "==>Send uuid data start",
      "==>Send uuid data finsh"}},
    {"UsbImageReplyError",
     Transport::kUsb,
     ImageRefused(),
     nullptr,
     kSendFailed,
     true,
     {"==>Get device status fail return", "==>Control pipe unlock start",
      "==>Control pipe unlock finish", "==>Close connect start",
      "==>Close connect finish", "==>Open connect start",
      "==>Open connect finish", "==>Send REFLOQ_UNLOCK_SCANNER cmd start",
      "==>Send REFLOQ_UNLOCK_SCANNER cmd finish", "==>Send uuid data start",
      "==>Send uuid data finsh"}},
    {"UsbImageStalled",
     Transport::kUsb,
     {},
     StallImage,
     kSendFailed,
     true,
     {"==>Send fw data fail return", "==>Control pipe unlock start",
      "==>Control pipe unlock finish", "==>Close connect start",
      "==>Close connect finish", "==>Open connect start",
      "==>Open connect finish", "==>Send REFLOQ_UNLOCK_SCANNER cmd start",
      "==>Send REFLOQ_UNLOCK_SCANNER cmd finish", "==>Send uuis data start",
      "==>Send uuis data finish"}},
    {"UsbUpdateFails",
     Transport::kUsb,
     FailsAt(30),
     nullptr,
     kFwFailed,
     false,
     {"==>Into get update percentage loop start"}},
    {"UsbProgressStuck",
     Transport::kUsb,
     StuckAt(40),
     nullptr,
     kFwFailed,
     false,
     {"==>check update percentage timeout return"}},
    {"TcpNeverReturns",
     Transport::kTcp,
     NeverReturns(),
     nullptr,
     kFwFailed,
     false,
     {"==>Get device status timeout return"}},
    {"TcpBusyAfterRestartAndNotFound",
     Transport::kTcp,
     BusyAfterRestart(),
     nullptr,
     kFwFailed,
     false,
     {"==>Get device status is ready, sleep 1sec",
      "==>Get device status timeout return"}},
};

INSTANTIATE_TEST_SUITE_P(Exits, UpdateTransferFailures,
                         ::testing::ValuesIn(kFailureCases),
                         [](const auto& test) {
                           return std::string(test.param.name);
                         });

// Status polls of the progress loop that fail, after the image.
class FailedPolls : public UpdateTransfer,
                    public ::testing::WithParamInterface<int> {};

TEST_P(FailedPolls, ElevenAreToleratedTheTwelfthEndsTheJob) {
  const int failures = GetParam();
  UpdateTimelineOptions options;
  options.progress_step_ms = 3000;
  StartTimeline(options);
  std::thread saboteur([&] {
    ASSERT_TRUE(timeline_->WaitForPhase(TimelinePhase::kUpdating, 600000));
    sim::Fault fault;
    fault.command = protocol::GET_DEVICE_STATUS;
    fault.action = sim::FaultAction::kClose;
    fault.count = failures;
    engine().AddFault(fault);
  });
  RunJob(Transport::kUsb);
  saboteur.join();

  const std::vector<std::string> trace = Trace();
  const bool failed =
      std::find(trace.begin(), trace.end(),
                "==>Send get device status cmd fail return") != trace.end();
  if (failures > 11) {
    EXPECT_TRUE(failed);
    EXPECT_EQ(rows_.LastTextOf(0), kFwFailed);
    EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kFailed);
    EXPECT_FALSE(engine().State().control_pipe_locked);
  } else {
    EXPECT_FALSE(failed);
    EXPECT_EQ(rows_.LastTextOf(0), kSuccess);
    EXPECT_EQ(rows_.OutcomeOf(0), JobOutcome::kSucceeded);
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, FailedPolls, ::testing::Values(11, 12));

// The pause before the firmware command when information record 1 is not
// readable over USB, or too old.
class InfoRecordPause : public UpdateTransfer,
                        public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(InfoRecordPause, Lasts20SecondsWhenTheRecordFails) {
  const std::uint32_t value = GetParam();
  engine().UpdateState(
      [value](sim::ScannerState& s) { s.info_record1_value = value; });
  StartTimeline(ImageRefused());  // ends the job after the pause
  RunJob(Transport::kTcp);

  const std::vector<TracedLine> trace = TraceWithTicks();
  const auto find = [&](std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < trace.size(); ++i) {
      if (trace[i].text == text) return i;
    }
    return trace.size();
  };
  const std::size_t start = find("==>Start update fw function", 0);
  const std::size_t opened = find("==>Open connect finish", start);
  const std::size_t command = find("==>Send cmd no data start", opened);
  ASSERT_LT(command, trace.size());
  const std::uint32_t paused = trace[command].tick - trace[opened].tick;
  if (value < 35) {
    EXPECT_GE(paused, 20000u);
  } else {
    EXPECT_LT(paused, 20000u);
  }
}

INSTANTIATE_TEST_SUITE_P(Values, InfoRecordPause, ::testing::Values(34u, 35u));

}  // namespace
}  // namespace refloq::update::testing
