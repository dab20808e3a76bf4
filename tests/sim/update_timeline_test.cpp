// The simulator's update timeline on its own: the image taken, progress
// rising, the restart with no answer, and the return at another address
// with the same UUID.
#include "sim/update_timeline.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "link/device_connection.h"
#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"
#include "protocol/run_command.h"
#include "sim/tcp_front_end.h"

namespace refloq::sim {
namespace {

namespace p = protocol;

// Sends FIRMWARE_TRANSFER 257 with `image`; the reply after the data.
bool SendImage(const std::string& address,
               const std::vector<std::uint8_t>& image, p::StatusReply& reply) {
  const p::CommandBlockBytes block =
      p::BuildCommandBlock(p::kFirmwareTransferUpdate.WithLength(
          static_cast<std::uint32_t>(image.size())));
  p::CommandBuffers buffers;
  buffers.reply = reply.data();
  buffers.data_out = image.data();
  return p::RunCommandOnce(address, block, buffers);
}

p::sKestoDeviceStatus StatusAt(const std::string& address, bool& answered) {
  p::StatusReply reply{};
  answered = p::ReadDeviceStatus(address, reply);
  return p::DecodeDeviceStatus(reply.data());
}

class Timeline : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Clock::SetScale(200.0);
    ASSERT_TRUE(first_.Start());
    link::SetScannerTcpPort(first_.port());
  }
  void TearDown() override {
    timeline_.reset();
    if (second_) second_->Stop();
    first_.Stop();
    link::SetScannerTcpPort(0);
    platform::Clock::SetScale(1.0);
  }

  DeviceEngine engine_;
  TcpFrontEnd first_{engine_, {127, 0, 0, 2}, 0};
  std::optional<TcpFrontEnd> second_;
  std::optional<UpdateTimeline> timeline_;
};

TEST_F(Timeline, UpdatesRestartsAndReturnsAtAnotherAddress) {
  UpdateTimelineOptions options;
  options.progress_step = 50;
  options.progress_step_ms = 2000;
  options.done_ms = 2000;
  options.restart_ms = 4000;
  options.on_return = [this] {
    first_.Stop();
    second_.emplace(engine_, platform::Ipv4Address{127, 0, 0, 3},
                    first_.port());
    EXPECT_TRUE(second_->Start());
  };
  timeline_.emplace(engine_, options);
  const std::string uuid = engine_.State().uuid_text;

  bool answered = false;
  EXPECT_EQ(StatusAt("127.0.0.2", answered).wFWInfo, p::SCANNER_STATUS_READY);
  const std::vector<std::uint8_t> image(100000, 0x5A);
  p::StatusReply reply{};
  ASSERT_TRUE(SendImage("127.0.0.2", image, reply));
  EXPECT_EQ(p::DecodeDeviceStatus(reply.data()).dwLastErr, 0u);
  ASSERT_EQ(engine_.State().images.size(), 1u);
  EXPECT_EQ(engine_.State().images[0].length, image.size());

  ASSERT_TRUE(timeline_->WaitForPhase(TimelinePhase::kUpdating, 10000));
  const p::sKestoDeviceStatus updating = StatusAt("127.0.0.2", answered);
  EXPECT_TRUE(answered);
  EXPECT_EQ(updating.wFWInfo, p::SCANNER_STATUS_UPDATING);
  EXPECT_GE(updating.bProgress, 50);

  ASSERT_TRUE(timeline_->WaitForPhase(TimelinePhase::kDone, 10000));
  const p::sKestoDeviceStatus done = StatusAt("127.0.0.2", answered);
  EXPECT_EQ(done.wFWInfo, p::SCANNER_STATUS_READY);
  EXPECT_EQ(done.bProgress, 0);

  ASSERT_TRUE(timeline_->WaitForPhase(TimelinePhase::kRestarting, 10000));
  StatusAt("127.0.0.2", answered);
  EXPECT_FALSE(answered);

  ASSERT_TRUE(timeline_->WaitForPhase(TimelinePhase::kBack, 20000));
  EXPECT_EQ(StatusAt("127.0.0.3", answered).wFWInfo, p::SCANNER_STATUS_READY);
  EXPECT_TRUE(answered);
  EXPECT_EQ(p::ReadDeviceUuid("127.0.0.3"), uuid);
  StatusAt("127.0.0.2", answered);
  EXPECT_FALSE(answered);
}

TEST_F(Timeline, AnErrorAfterTheImageStartsNoUpdate) {
  UpdateTimelineOptions options;
  options.image_reply_error = 0x7001;
  timeline_.emplace(engine_, options);
  p::StatusReply reply{};
  ASSERT_TRUE(SendImage("127.0.0.2", std::vector<std::uint8_t>(64, 1), reply));
  EXPECT_EQ(p::DecodeDeviceStatus(reply.data()).dwLastErr, 0x7001u);
  EXPECT_FALSE(timeline_->WaitForPhase(TimelinePhase::kUpdating, 5000));
  EXPECT_EQ(engine_.State().status.wFWInfo, p::SCANNER_STATUS_READY);
}

}  // namespace
}  // namespace refloq::sim
