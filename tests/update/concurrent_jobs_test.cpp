// Several network jobs at once through the job starter, each against its
// own simulated scanner: every row ends with "Success.", every scanner has
// the one image, and the controls come back once, after the last job.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "link/device_connection.h"
#include "platform/clock.h"
#include "sim/digest.h"
#include "sim/fleet.h"
#include "sim/update_timeline.h"
#include "tests/update/recording_host.h"
#include "tests/update/workflow_fixture.h"
#include "update/job_board.h"
#include "update/job_starter.h"
#include "update/update_workflow.h"

namespace refloq::update::testing {
namespace {

constexpr int kScanners = 3;

TEST(ConcurrentJobs, ThreeNetworkScannersAreUpdatedAtOnce) {
  platform::Clock::SetScale(200.0);
  sim::Scenario scenario;
  // A port of this run's own on 127.0.0.2 to 127.0.0.4.
  scenario.port =
      static_cast<std::uint16_t>(30000 + std::random_device{}() % 20000);
  for (int i = 0; i < kScanners; ++i) {
    sim::ScannerSetup setup;
    setup.address = "127.0.0." + std::to_string(2 + i);
    setup.state.uuid_text =
        sim::NumberedUuidText(static_cast<std::uint32_t>(i + 1));
    setup.state.downgrade_permission = 1;
    scenario.scanners.push_back(setup);
  }
  sim::Fleet fleet;
  std::string error;
  ASSERT_TRUE(fleet.Start(scenario, error)) << error;
  link::SetScannerTcpPort(scenario.port);
  std::vector<std::unique_ptr<sim::UpdateTimeline>> timelines;
  for (int i = 0; i < kScanners; ++i) {
    timelines.push_back(std::make_unique<sim::UpdateTimeline>(
        fleet.engine(static_cast<std::size_t>(i)),
        sim::UpdateTimelineOptions{}));
  }

  RecordingRowWriter rows;
  RecordingControls controls;
  JobBoard board(rows, controls);
  const std::vector<std::uint8_t> image = TestImage(1 << 20);
  UpdateEnvironment environment;
  environment.firmware = image;
  JobWorkers workers;
  workers.update = MakeUpdateWorker(environment);
  std::vector<CheckedRow> checked;
  for (int i = 0; i < kScanners; ++i) {
    checked.push_back(
        {i, scenario.scanners[static_cast<std::size_t>(i)].address});
  }
  StartJobs(board, checked, workers);
  // The last job to end enables the controls (a bounded real-time wait).
  for (int round = 0; round < 3000 && controls.enabled() == 0; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  board.slots().WaitForWorkers(100, 1000);

  EXPECT_EQ(controls.enabled(), 1);
  for (int i = 0; i < kScanners; ++i) {
    EXPECT_EQ(rows.LastTextOf(i), "Success.") << i;
    EXPECT_EQ(rows.OutcomeOf(i), JobOutcome::kSucceeded) << i;
    const sim::ScannerState state =
        fleet.engine(static_cast<std::size_t>(i)).State();
    ASSERT_EQ(state.images.size(), 1u) << i;
    EXPECT_EQ(state.images[0].sha256, sim::Sha256Hex(image)) << i;
  }
  timelines.clear();
  fleet.Stop();
  link::SetScannerTcpPort(0);
  platform::Clock::SetScale(1.0);
}

}  // namespace
}  // namespace refloq::update::testing
