// `recover` and the recovery-mode job of `update`: the USB scanner in
// recovery mode gets the program's own container (resource BINARY 139,
// made here from a small payload).
#include <gtest/gtest.h>

#include <optional>

#include "../sim/simulated_scanner.h"
#include "cli/exit_code.h"
#include "cli_runner.h"
#include "firmware/container_writer.h"
#include "package_file.h"
#include "platform/resources.h"
#include "protocol/command_catalogue.h"
#include "sim/recovery_timeline.h"
#include "tests/update/scripted_service_control.h"

namespace refloq::cli {
namespace {

using testing::JsonLines;
using testing::Lines;
using testing::PackageFile;

const char kRecovered[] = "USB\tRecover FW Success, Please Reboot Device.";

class RecoveryCommands : public ::testing::Test {
 protected:
  RecoveryCommands() {
    std::vector<std::uint8_t> payload(8192 + 3);
    for (std::size_t i = 0; i < payload.size(); ++i) {
      payload[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    container_ = firmware::PackFirmwareContainer(payload);
    platform::Clock::SetScale(100.0);
  }

  void EmbedContainer() {
    resource_.emplace(platform::kFirmwareContainerResourceId, container_);
  }
  void EnterRecovery() {
    recovery_.emplace(scanner_.engine(), sim::RecoveryTimelineOptions{});
  }
  std::vector<sim::ReceivedImage> Images() {
    return scanner_.engine().State().images;
  }
  testing::CliResult Run(const std::vector<std::string>& args) {
    return testing::RunCli(args, "", testing::StartupWithServices(services_));
  }

  sim::testing::SimulatedScanner scanner_;
  std::vector<std::uint8_t> container_;
  std::optional<platform::ScopedBinaryResource> resource_;
  std::optional<sim::RecoveryTimeline> recovery_;
  update::testing::ScriptedServiceControl services_{{}};
};

TEST_F(RecoveryCommands, RecoverWritesTheBuiltInImageAndSaysToReboot) {
  EmbedContainer();
  EnterRecovery();
  const auto result = Run({"recover"});
  EXPECT_EQ(result.code, kExitDone) << result.out << result.err;
  const auto lines = Lines(result.out);
  ASSERT_GE(lines.size(), 4u) << result.out;
  EXPECT_EQ(lines.front(), "USB\tReady");
  EXPECT_NE(result.out.find("USB\tStarting Update.\n"), std::string::npos);
  EXPECT_NE(result.out.find("USB\t100%\n"), std::string::npos);
  EXPECT_EQ(lines.back(), kRecovered);
  const auto images = Images();
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].wParameter, protocol::FIRMWARE_TRANSFER_RECOVERY_IMAGE);
}

TEST_F(RecoveryCommands, RecoverFailuresExitWithOne) {
  {
    // Ready, not in recovery mode.
    EmbedContainer();
    const auto result = Run({"--json", "recover"});
    EXPECT_EQ(result.code, kExitFailed);
    const auto objects = JsonLines(result.out);
    ASSERT_FALSE(objects.empty());
    EXPECT_EQ(objects.back().at("text"),
              "This Device is not in Recovery Mode.");
    EXPECT_EQ(objects.back().at("stage"), "recover");
    resource_.reset();
  }
  {
    // The test program carries no container of its own.
    EnterRecovery();
    const auto result = Run({"recover"});
    EXPECT_EQ(result.code, kExitFailed);
    EXPECT_EQ(Lines(result.out).back(),
              "USB\tFW File is Missing, FW Update Aborted.");
  }
  EXPECT_TRUE(Images().empty());
}

TEST_F(RecoveryCommands, UpdateRunsTheRecoveryModeJobForUsbInRecoveryMode) {
  EmbedContainer();
  EnterRecovery();
  PackageFile package;  // the other jobs' image; recovery uses its own
  const auto result = Run({"update", "--package", package.path(), "USB"});
  EXPECT_EQ(result.code, kExitDone) << result.out << result.err;
  const auto lines = Lines(result.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.front(), "USB\tRecovery Mode, click the RecoverFW Button.");
  EXPECT_EQ(lines.back(), "USB\tSuccess.");
  const auto images = Images();
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].wParameter, protocol::FIRMWARE_TRANSFER_RECOVERY_MODE);
}

}  // namespace
}  // namespace refloq::cli
