// "Update Start" and the jobs as the window sees them: the image, the
// confirmation, one job per checked row, the controls while jobs run, the
// recovery-mode worker, and the close.
#include <gtest/gtest.h>

#include <optional>

#include "platform/resources.h"
#include "protocol/command_catalogue.h"
#include "sim/recovery_timeline.h"
#include "sim/update_timeline.h"
#include "tests/window/window_fixture.h"
#include "texts/string_ids.h"

namespace refloq::window::testing {
namespace {

using cli::testing::FleetAddress;
using cli::testing::UpdatableScanner;

class WindowJobs : public WindowTest {
 protected:
  // Lists the network scanners, checks them and moves them down with any
  // password; then the rows of the Update Table are checked.
  void MoveNetworkScannersDown(int count) {
    for (int i = 0; i < count; ++i) {
      List(i);
      Check(kIdDeviceTable, model().RowCount(kIdDeviceTable) - 1);
    }
    window().OnMoveDown();
    window().WaitForCommand();
  }
  std::vector<sim::ReceivedImage> ImagesOf(sim::DeviceEngine& engine) {
    return engine.State().images;
  }
};

TEST_F(WindowJobs, WhileAJobRunsOnlyWaitingIsPossible) {
  StartFleet({UpdatableScanner(0)});
  Open();
  MoveNetworkScannersDown(1);
  view_.AnswerMessages({MessageAnswer::kOk});
  window().OnUpdateStart();
  window().WaitForCommand();
  ASSERT_EQ(view_.BoxTexts(),
            std::vector<std::string>{"Begin the firmware update?"});
  EXPECT_EQ(view_.Boxes()[0].buttons, MessageButtons::kOkCancel);

  // The job is still restarting the scanner.
  EXPECT_TRUE(window().IsBusy());
  for (int id : {kIdDeviceTable, kIdUpdateTable, kIdSearchByAddress,
                 kIdSearchNetwork, kIdUpdateStart, kIdRecoverFw,
                 kIdAddressField, kIdCancel, kIdMoveDown, kIdMoveUp}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_FALSE(window().OnCloseButton()) << "Close, Escape, Alt+F4";
  window().SetAddressField(FleetAddress(5));
  window().OnEnterKey();
  window().OnMoveUp();
  EXPECT_EQ(model().RowCount(kIdUpdateTable), 1);

  window().WaitUntilIdle();
  EXPECT_EQ(Texts(kIdUpdateTable), std::vector<std::string>{"Success."});
  const auto final_status = model().Rows(kIdUpdateTable)[0].status;
  EXPECT_EQ(final_status.outcome, update::JobOutcome::kSucceeded);
  for (int id :
       {kIdDeviceTable, kIdUpdateTable, kIdSearchByAddress, kIdSearchNetwork,
        kIdUpdateStart, kIdAddressField, kIdCancel, kIdMoveDown, kIdMoveUp}) {
    EXPECT_TRUE(Enabled(id)) << id;
  }
  EXPECT_FALSE(model().Control(kIdRecoverFw).visible);
  EXPECT_EQ(model().RowCount(kIdDeviceTable), 1) << "only the USB row";
  ASSERT_EQ(ImagesOf(fleet_->engine(0)).size(), 1u);
  EXPECT_TRUE(window().OnCloseButton());
  EXPECT_EQ(services_->calls().starts, 0)
      << "no USB job stopped the still-image service";
}

TEST_F(WindowJobs, NothingStartsWithoutAnImageOrAfterCancel) {
  StartFleet({UpdatableScanner(0), UpdatableScanner(1)});
  Open();
  MoveNetworkScannersDown(2);
  view_.AnswerMessages({MessageAnswer::kCancel});
  window().OnUpdateStart();
  window().WaitForCommand();
  EXPECT_EQ(view_.BoxTexts(),
            std::vector<std::string>{
                "Multiple devices selected.\nBegin firmware update for all "
                "devices?"});
  EXPECT_EQ(Texts(kIdUpdateTable),
            (std::vector<std::string>{"Ready", "Ready"}));
  EXPECT_FALSE(window().IsBusy());

  container_.clear();  // the program carries no container
  window().OnUpdateStart();
  window().WaitForCommand();
  EXPECT_EQ(
      Texts(kIdUpdateTable),
      (std::vector<std::string>{"FW File is Missing, FW Update Aborted.",
                                "FW File is Missing, FW Update Aborted."}));
  EXPECT_EQ(view_.Boxes().size(), 1u) << "no question without an image";
  EXPECT_TRUE(Enabled(kIdUpdateStart));
  EXPECT_TRUE(ImagesOf(fleet_->engine(0)).empty());
}

TEST_F(WindowJobs, OnlyTheUsbRowInRecoveryModeGetsTheRecoveryJob) {
  const platform::ScopedBinaryResource embedded(
      platform::kFirmwareContainerResourceId, container_);
  PlugUsb();
  std::optional<sim::RecoveryTimeline> recovery;
  recovery.emplace(usb_engine_, sim::RecoveryTimelineOptions{});
  StartFleet({UpdatableScanner(0)});
  Open();
  EXPECT_EQ(Texts(kIdDeviceTable)[0],
            "Recovery Mode, click the RecoverFW Button.");
  MoveNetworkScannersDown(1);  // the "USB" row was checked at start
  ASSERT_EQ(Addresses(kIdUpdateTable),
            (std::vector<std::string>{"USB", FleetAddress(0)}));
  view_.AnswerMessages({MessageAnswer::kOk});
  window().OnUpdateStart();
  window().WaitUntilIdle();
  EXPECT_EQ(Texts(kIdUpdateTable),
            (std::vector<std::string>{"Success.", "Success."}));
  const auto usb_images = ImagesOf(usb_engine_);
  ASSERT_FALSE(usb_images.empty());
  EXPECT_EQ(usb_images[0].wParameter,
            protocol::FIRMWARE_TRANSFER_RECOVERY_MODE);
  const auto network_images = ImagesOf(fleet_->engine(0));
  ASSERT_EQ(network_images.size(), 1u);
  EXPECT_EQ(network_images[0].wParameter, protocol::FIRMWARE_TRANSFER_UPDATE);
  EXPECT_TRUE(window().OnCloseButton());
  EXPECT_EQ(services_->calls().starts, 1)
      << "the service started again once, by the job; the close saw it run";
}

TEST_F(WindowJobs, CloseWaitsForTheFinalTextOfAUsbJobThatFreedItsSlot) {
  PlugUsb([](sim::ScannerState& s) {
    s.uuid_text = sim::NumberedUuidText(7);
    s.downgrade_permission = 1;
  });
  sim::UpdateTimeline timeline(usb_engine_, sim::UpdateTimelineOptions{});
  update::testing::ServiceScript script;
  // The service never comes up: StartWIA waits its whole minute.
  script.start_reads = update::testing::kForever;
  UseServiceScript(script);
  Open();
  window().OnMoveDown();
  window().WaitForCommand();
  ASSERT_EQ(Addresses(kIdUpdateTable), std::vector<std::string>{"USB"});
  view_.AnswerMessages({MessageAnswer::kOk});
  window().OnUpdateStart();
  window().WaitForCommand();
  // The job frees its slot, then starts the service again, then writes
  // its final text.
  while (services_->calls().starts == 0) platform::Clock::Sleep(50);
  EXPECT_FALSE(window().OnCloseButton());
  EXPECT_FALSE(Enabled(kIdCancel));
  window().WaitUntilIdle();
  EXPECT_EQ(Texts(kIdUpdateTable),
            std::vector<std::string>{"Start WIA Failed."});
  EXPECT_TRUE(window().OnCloseButton());
}

}  // namespace
}  // namespace refloq::window::testing
