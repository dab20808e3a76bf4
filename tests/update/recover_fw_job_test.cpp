// The Recover FW job against the simulated USB scanner: its texts in the
// Device Table's row 0, the checksum of its image copy, its simulated
// progress, and the button's start in slot 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "firmware/firmware_sum.h"
#include "platform/clock.h"
#include "protocol/byte_order.h"
#include "protocol/command_catalogue.h"
#include "sim/digest.h"
#include "tests/update/recovery_fixture.h"
#include "texts/string_ids.h"
#include "update/recovery_workflow.h"

namespace refloq::update::testing {
namespace {

using protocol::FIRMWARE_TRANSFER_RECOVERY_IMAGE;

const std::string kRecovered = "Recover FW Success, Please Reboot Device.";
const std::string kHundred = "100%";

// A payload that covers the checksum region, its words summing to zero
// once the checksum word holds `checksum_word`'s role: `state` decides
// whether that word is left zero, correct or wrong.
enum class Checksum { kZero, kWrong };

std::vector<std::uint8_t> SummedPayload(Checksum state) {
  std::vector<std::uint8_t> payload =
      RecoveryPayload(firmware::kSumRegionSize + 4096);
  protocol::StoreLe32(payload.data() + firmware::kSumWordOffset, 0);
  if (state == Checksum::kWrong) {
    const std::uint32_t sum = firmware::SumRegion(payload);
    // High half set, so it counts as filled in, and one off.
    protocol::StoreLe32(payload.data() + firmware::kSumWordOffset,
                        (0u - sum) + 1u);
  }
  return payload;
}

using RecoverFwJob = RecoveryFixture;

TEST_F(RecoverFwJob, WritesItsTextsIntoTheDeviceTable) {
  EnterRecovery();
  RunRecoverFw();

  EXPECT_TRUE(Texts().empty());  // nothing in the Update Table
  const std::vector<std::string> texts = device_rows_.TextsOf(0);
  ASSERT_GE(texts.size(), 7u);
  EXPECT_EQ(texts[0], "Ready");
  EXPECT_EQ(texts[1], "Sending Data. Wait for 10-20 Sec.");
  EXPECT_EQ(texts[2], "Starting Update.");
  // "100%", two seconds later the success text, and once more after the
  // still-image service is running again.
  const std::vector<RowWrite> writes = device_rows_.Writes();
  ASSERT_GE(writes.size(), 3u);
  EXPECT_EQ(writes[writes.size() - 3].text, kHundred);
  EXPECT_EQ(writes[writes.size() - 2].text, kRecovered);
  EXPECT_EQ(writes.back().text, kRecovered);
  EXPECT_EQ(device_rows_.OutcomeOf(0), JobOutcome::kSucceeded);
  EXPECT_GE(writes[writes.size() - 2].tick - writes[writes.size() - 3].tick,
            2000u);

  // About 96 texts from 0% upwards, one more each time, for two minutes.
  const auto first = std::find(texts.begin(), texts.end(), "Starting Update.");
  const auto last = std::find(texts.begin(), texts.end(), kHundred);
  const std::vector<std::string> progress(first + 1, last);
  ASSERT_GE(progress.size(), 40u);
  EXPECT_LE(progress.size(), 96u);
  for (std::size_t i = 0; i < progress.size(); ++i) {
    EXPECT_EQ(progress[i], std::to_string(i) + "%") << i;
  }

  const auto images = ImagesWith(FIRMWARE_TRANSFER_RECOVERY_IMAGE);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].sha256, sim::Sha256Hex(payload_));
  for (const sim::WireEntry& entry : engine().Record()) {
    if (entry.kind == sim::WireEntry::Kind::kBlock &&
        entry.block.bCommand == protocol::FIRMWARE_TRANSFER) {
      EXPECT_EQ(entry.block.bTransferType, protocol::TRANSFER_WRITE);
      EXPECT_EQ(entry.block.wParameter, FIRMWARE_TRANSFER_RECOVERY_IMAGE);
    }
  }
  // The job does not wait for the scanner after the image.
  EXPECT_EQ(
      BlocksAfter(protocol::FIRMWARE_TRANSFER, FIRMWARE_TRANSFER_RECOVERY_IMAGE,
                  protocol::GET_DEVICE_STATUS),
      0);
  EXPECT_EQ(services().calls().starts, 1);
  EXPECT_EQ(controls_.enabled(), 1);
  EXPECT_TRUE(Trace().empty());
}

TEST_F(RecoverFwJob, ADeviceNotInRecoveryModeGetsNothing) {
  RunRecoverFw();  // the scanner is ready, not in recovery mode
  EXPECT_EQ(device_rows_.TextsOf(0),
            std::vector<std::string>{"This Device is not in Recovery Mode."});
  EXPECT_EQ(device_rows_.OutcomeOf(0), JobOutcome::kFailed);
  EXPECT_EQ(
      BlocksOf(protocol::FIRMWARE_TRANSFER, FIRMWARE_TRANSFER_RECOVERY_IMAGE),
      0);
}

TEST_F(RecoverFwJob, AZeroChecksumWordIsFilledBeforeTheImageIsSent) {
  UsePayload(SummedPayload(Checksum::kZero));
  EnterRecovery();
  RunRecoverFw();

  std::vector<std::uint8_t> filled = payload_;
  ASSERT_EQ(firmware::CheckFirmwareSum(filled), firmware::FIRMWARE_SUM_FILLED);
  ASSERT_NE(filled, payload_);
  const auto images = ImagesWith(FIRMWARE_TRANSFER_RECOVERY_IMAGE);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].sha256, sim::Sha256Hex(filled));
  EXPECT_EQ(device_rows_.LastTextOf(0), kRecovered);
  EXPECT_EQ(Console().find("check sum error"), std::string::npos);
}

TEST_F(RecoverFwJob, AWrongChecksumIsSentUnchangedAndSaidOnTheConsole) {
  UsePayload(SummedPayload(Checksum::kWrong));
  EnterRecovery();
  RunRecoverFw();

  const auto images = ImagesWith(FIRMWARE_TRANSFER_RECOVERY_IMAGE);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].sha256, sim::Sha256Hex(payload_));
  EXPECT_EQ(device_rows_.LastTextOf(0), kRecovered);
  EXPECT_NE(Console().find("check sum error"), std::string::npos);
}

TEST_F(RecoverFwJob, TheButtonStartsNothingWhileSlotZeroIsBusy) {
  ASSERT_TRUE(board_.slots().TryClaim(0));  // an update job holds slot 0
  const std::uint32_t before = platform::Clock::TickCount();
  EXPECT_FALSE(StartRecoverFw(board_, device_rows_, environment_));
  EXPECT_GE(platform::Clock::TickCount() - before, 1000u);
  EXPECT_TRUE(device_rows_.Writes().empty());
  EXPECT_TRUE(board_.slots().IsBusy(0));
  EXPECT_FALSE(board_.slots().HasThread(0));
}

TEST_F(RecoverFwJob, TheButtonRunsTheJobInSlotZero) {
  EnterRecovery();
  // The row as the window left it.
  device_rows_.WriteRowReport(0, JobReport::Text(texts::kTextReady));
  EXPECT_TRUE(StartRecoverFw(board_, device_rows_, environment_));
  EXPECT_TRUE(board_.slots().HasThread(0));
  // The job takes two minutes of the compressed clock (a bounded
  // real-time wait).
  for (int round = 0; round < 3000 && controls_.enabled() == 0; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(board_.slots().WaitForWorkers(100, 1000), 0);

  const std::vector<std::string> texts = device_rows_.TextsOf(0);
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[1], "");  // cleared as the job starts
  EXPECT_EQ(texts.back(), kRecovered);
  EXPECT_FALSE(board_.slots().IsBusy(0));
  EXPECT_EQ(controls_.enabled(), 1);
}

}  // namespace
}  // namespace refloq::update::testing
