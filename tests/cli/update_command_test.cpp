// `update`: the logins, one job per scanner with the engine's workflows,
// every status text as it is written, and the exit code, against
// simulated scanners that go through an update (time compressed).
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "../sim/simulated_scanner.h"
#include "app/language.h"
#include "cli/exit_code.h"
#include "cli_fleet.h"
#include "cli_runner.h"
#include "tests/update/scripted_service_control.h"
#include "texts/string_ids.h"

namespace refloq::cli {
namespace {

using testing::CliFleet;
using testing::FleetAddress;
using testing::JsonLines;
using testing::Lines;
using testing::PackageFile;
using testing::RunCli;
using testing::UpdatableScanner;

constexpr int kScanners = 3;

// Scanner 1 has a password; the others take any login.
std::vector<sim::ScannerSetup> Scanners() {
  std::vector<sim::ScannerSetup> setups;
  for (int i = 0; i < kScanners; ++i) setups.push_back(UpdatableScanner(i));
  setups[1].state.login.password = "secret";
  return setups;
}

std::vector<std::string> UpdateArgs(const PackageFile& package) {
  std::vector<std::string> args = {"update", "--password-stdin", "--package",
                                   package.path()};
  for (int i = 0; i < kScanners; ++i) args.push_back(FleetAddress(i));
  return args;
}

// The texts printed for one address, in order.
std::vector<std::string> TextsOf(const std::string& out,
                                 const std::string& address) {
  std::vector<std::string> texts;
  for (const std::string& line : Lines(out)) {
    if (line.rfind(address + "\t", 0) == 0) {
      texts.push_back(line.substr(address.size() + 1));
    }
  }
  return texts;
}

// A percentage the USB progress loop shows while the scanner updates
// ("1%" to "99%"); which ones depends on when the polls fall.
bool ContainsProgress(const std::vector<std::string>& texts) {
  return std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
    if (text.size() < 2 || text.size() > 3 || text.back() != '%') return false;
    const std::string digits = text.substr(0, text.size() - 1);
    if (!std::all_of(digits.begin(), digits.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
      return false;
    }
    const int percent = std::stoi(digits);
    return percent >= 1 && percent <= 99;
  });
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(UpdateCommand, EveryScannerIsLoggedInAndUpdated) {
  CliFleet fleet(Scanners());
  PackageFile package;
  const auto result = RunCli(UpdateArgs(package), "secret\n");
  EXPECT_EQ(result.code, kExitDone) << result.out << result.err;
  for (int i = 0; i < kScanners; ++i) {
    const auto texts = TextsOf(result.out, FleetAddress(i));
    ASSERT_GE(texts.size(), 2u) << i;
    EXPECT_EQ(texts.front(), "Ready") << "the login, " << i;
    EXPECT_EQ(texts.back(), "Success.") << i;
    EXPECT_TRUE(Contains(texts, "Sending Data. Wait for 10-20 Sec.")) << i;
    EXPECT_TRUE(Contains(texts, "Wait for 1:20 min, Device Will Reboot."));
    EXPECT_TRUE(Contains(texts, "Checking...")) << i;
    const auto images = fleet.engine(i).State().images;
    ASSERT_EQ(images.size(), 1u) << i;
    EXPECT_EQ(images[0].sha256, package.sha256()) << i;
  }
  EXPECT_NE(result.err.find("3 of 3 scanners updated"), std::string::npos)
      << result.err;
}

TEST(UpdateCommand, JsonLinesNameTheStageOfEachText) {
  CliFleet fleet(Scanners());
  PackageFile package;
  auto args = UpdateArgs(package);
  args.insert(args.begin(), "--json");
  const auto result = RunCli(args, "secret\n");
  EXPECT_EQ(result.code, kExitDone) << result.err;
  const auto objects = JsonLines(result.out);
  ASSERT_FALSE(objects.empty());
  int logins = 0;
  for (std::size_t i = 0; i + 1 < objects.size(); ++i) {
    const auto& object = objects[i];
    ASSERT_TRUE(object.contains("address")) << object.dump();
    EXPECT_FALSE(object.at("text").get<std::string>().empty());
    const std::string stage = object.at("stage");
    EXPECT_TRUE(stage == "login" || stage == "update") << stage;
    if (stage == "login") ++logins;
  }
  EXPECT_EQ(logins, kScanners);
  const auto& summary = objects.back();
  EXPECT_EQ(summary.at("succeeded"), kScanners);
  EXPECT_EQ(summary.at("scanners"), kScanners);
}

TEST(UpdateCommand, FailuresMakeTheExitCodeNonZeroWhileTheOthersFinish) {
  auto setups = Scanners();
  setups[0].timeline->image_reply_error = 0x7001;  // the image is refused
  CliFleet fleet(setups);
  PackageFile package;
  // The wrong password: scanner 1 is not logged in and gets no job.
  const auto result = RunCli(UpdateArgs(package), "wrong\n");
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(TextsOf(result.out, FleetAddress(0)).back(),
            "Send FW Failed, FW Update Aborted.");
  EXPECT_EQ(TextsOf(result.out, FleetAddress(1)),
            std::vector<std::string>{"Password is incorrect!"});
  EXPECT_TRUE(fleet.engine(1).State().images.empty());
  EXPECT_EQ(TextsOf(result.out, FleetAddress(2)).back(), "Success.");
  EXPECT_NE(result.err.find("1 of 3 scanners updated"), std::string::npos)
      << result.err;
}

// A language whose success and failure texts read alike: the count comes
// from how each job ended, not from the text it left.
TEST(UpdateCommand, ScannersAreCountedByHowTheirJobsEndedNotByTheirTexts) {
  auto setups = Scanners();
  setups[0].timeline->image_reply_error = 0x7001;  // the image is refused
  CliFleet fleet(setups);
  PackageFile package;
  Startup startup = testing::TestStartup();
  startup.services.ui = [](int id) {
    if (id == texts::kTextSuccess || id == texts::kTextSendFwFailed) {
      return std::string("Fertig.");
    }
    return app::LoadUiString(static_cast<std::uint16_t>(id));
  };
  const auto result = RunCli(UpdateArgs(package), "secret\n", startup);
  EXPECT_EQ(result.code, kExitFailed);
  for (int i = 0; i < kScanners; ++i) {
    EXPECT_EQ(TextsOf(result.out, FleetAddress(i)).back(), "Fertig.") << i;
  }
  EXPECT_NE(result.err.find("2 of 3 scanners updated"), std::string::npos)
      << result.err;
}

TEST(UpdateCommand, BadInputIsAUsageErrorBeforeAnyScannerIsTouched) {
  CliFleet fleet(Scanners());
  PackageFile package;
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string message;
  } cases[] = {
      {"an address that is not one",
       {"update", "--package", package.path(), FleetAddress(0), "10.0.0"},
       "",
       "not a scanner address"},
      {"an address twice",
       {"update", "--package", package.path(), FleetAddress(0),
        FleetAddress(0)},
       "",
       "given twice"},
      {"an unreadable package",
       {"update", "--package", package.path() + ".none", FleetAddress(0)},
       "",
       "cannot read the package file"},
      {"no password on standard input",
       {"update", "--password-stdin", "--package", package.path(),
        FleetAddress(0)},
       "",
       "no password on standard input"},
      {"a password on the command line",
       {"update", "--password", "secret", FleetAddress(0)},
       "",
       ""},
      {"no address", {"update", "--package", package.path()}, "", ""},
  };
  for (const auto& c : cases) {
    const auto result = RunCli(c.args, c.input);
    EXPECT_EQ(result.code, kExitUsage) << c.name;
    EXPECT_TRUE(result.out.empty()) << c.name << ": " << result.out;
    EXPECT_NE(result.err.find(c.message), std::string::npos)
        << c.name << ": " << result.err;
  }
  for (int i = 0; i < kScanners; ++i) {
    EXPECT_TRUE(fleet.engine(i).Record().empty()) << i;
  }
}

TEST(UpdateCommand, AMissingImageStopsEveryJobWithTheWindowsText) {
  CliFleet fleet(Scanners());
  // The test program carries no built-in container.
  const auto result = RunCli({"update", FleetAddress(0), FleetAddress(2)});
  EXPECT_EQ(result.code, kExitFailed);
  for (int i : {0, 2}) {
    EXPECT_EQ(TextsOf(result.out, FleetAddress(i)),
              (std::vector<std::string>{
                  "Ready", "FW File is Missing, FW Update Aborted."}))
        << i;
    EXPECT_TRUE(fleet.engine(i).State().images.empty()) << i;
  }
}

TEST(UpdateCommand, OnATerminalTheLiveTableEndsWithEveryBarFull) {
  CliFleet fleet(Scanners());
  PackageFile package;
  const auto result = RunCli(UpdateArgs(package), "secret\n",
                             testing::TestStartup(), /*terminal=*/true);
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_NE(result.out.find("\x1b["), std::string::npos) << "redrawn in place";
  const auto lines = Lines(result.out);
  ASSERT_GE(lines.size(), static_cast<std::size_t>(kScanners));
  for (int i = 0; i < kScanners; ++i) {
    const std::string& line =
        lines[lines.size() - static_cast<std::size_t>(kScanners - i)];
    EXPECT_NE(line.find(FleetAddress(i)), std::string::npos) << line;
    EXPECT_NE(line.find("[########################] 100%  Success."),
              std::string::npos)
        << line;
  }
}

// The USB scanner: moved when ready or in recovery mode, left behind when
// it does not answer.
TEST(UpdateCommand, TheUsbScannerIsUpdatedOrLeftBehind) {
  sim::testing::SimulatedScanner scanner;
  platform::Clock::SetScale(50.0);
  scanner.engine().UpdateState(
      [](sim::ScannerState& s) { s.downgrade_permission = 1; });
  PackageFile package;
  update::testing::ScriptedServiceControl services({});
  const Startup startup = testing::StartupWithServices(services);
  {
    sim::UpdateTimeline timeline(scanner.engine(), {});
    const auto result =
        RunCli({"update", "--package", package.path(), "USB"}, "", startup);
    EXPECT_EQ(result.code, kExitDone) << result.out << result.err;
    const auto texts = TextsOf(result.out, "USB");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Ready");
    EXPECT_TRUE(ContainsProgress(texts)) << "the USB progress";
    EXPECT_EQ(texts.back(), "Success.");
    const auto images = scanner.engine().State().images;
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].sha256, package.sha256());
  }
  scanner.engine().SetRefuseConnections(true);
  const auto absent =
      RunCli({"update", "--package", package.path(), "USB"}, "", startup);
  EXPECT_EQ(absent.code, kExitFailed);
  EXPECT_EQ(absent.out, "USB\tDevice Not Found.  Please Check.\n");
  EXPECT_NE(absent.err.find("No Device Selected, Please Check."),
            std::string::npos)
      << absent.err;
}

// A failed USB job leaves the still-image service stopped and disabled;
// the command starts it again as it ends, as the window does at close.
TEST(UpdateCommand, TheStillImageServiceRunsAgainAfterAFailedUsbJob) {
  sim::testing::SimulatedScanner scanner;
  platform::Clock::SetScale(50.0);
  scanner.engine().UpdateState(
      [](sim::ScannerState& s) { s.downgrade_permission = 1; });
  sim::UpdateTimelineOptions refuses;
  refuses.image_reply_error = 0x7001;
  sim::UpdateTimeline timeline(scanner.engine(), refuses);
  PackageFile package;
  update::testing::ScriptedServiceControl services({});
  const auto result = RunCli({"update", "--package", package.path(), "USB"}, "",
                             testing::StartupWithServices(services));
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(TextsOf(result.out, "USB").back(),
            "Send FW Failed, FW Update Aborted.");
  EXPECT_GT(services.calls().stop_controls, 0) << "the job stopped it";
  EXPECT_EQ(services.state(), platform::kServiceRunning);
  EXPECT_EQ(services.start_type(), platform::kServiceAutoStart);
}

}  // namespace
}  // namespace refloq::cli
