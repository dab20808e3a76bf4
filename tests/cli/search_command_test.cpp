// `search` (WS-Discovery and by address) and the rediscovery of `update`,
// inside a private network namespace with one local address: scanners on
// 127.0.0.2 and up, answering probes through one responder.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "../discovery/sim_fleet.h"
#include "../discovery/time_scale.h"
#include "cli/exit_code.h"
#include "cli_fleet.h"
#include "cli_runner.h"
#include "sim/update_timeline.h"

namespace refloq::cli {
namespace {

using discovery::testing::kFindScale;
using discovery::testing::kMissScale;
using discovery::testing::Prompt;
using discovery::testing::ScopedTimeScale;
using discovery::testing::SimFleet;
using testing::JsonLines;
using testing::Lines;
using testing::RunCli;

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(SearchCommand, ListsEveryScannerThatAnswersTheProbe) {
  ScopedTimeScale scale(kFindScale);
  SimFleet fleet(2, Prompt());
  const auto result = RunCli({"search"});
  EXPECT_EQ(result.code, kExitDone);
  EXPECT_EQ(Sorted(Lines(result.out)),
            (std::vector<std::string>{"127.0.0.2\tReady", "127.0.0.3\tReady"}));
  EXPECT_EQ(result.err, "Add IP Address Success.\n");

  const auto json = JsonLines(RunCli({"--json", "search"}).out);
  ASSERT_EQ(json.size(), 3u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(json[i].at("text"), "Ready");
  }
  EXPECT_EQ(json[2].at("message"), "Add IP Address Success.");
}

TEST(SearchCommand, ClosingMessagesWhenScannersAreMissing) {
  {
    // Answers the probe, refuses the status query; the other is listed.
    ScopedTimeScale scale(kFindScale);
    SimFleet fleet(2, Prompt());
    fleet.Refuse(0);
    const auto result = RunCli({"search"});
    EXPECT_EQ(result.code, kExitDone);
    EXPECT_EQ(Lines(result.out), std::vector<std::string>{"127.0.0.3\tReady"});
    EXPECT_EQ(result.err,
              "Device Not Found.  Please Check.\nAdd IP Address Success.\n");
  }
  {
    ScopedTimeScale scale(kMissScale);
    sim::WsdBehaviour silent = Prompt();
    silent.silent = true;
    SimFleet fleet(1, silent);
    const auto result = RunCli({"search"});
    EXPECT_EQ(result.code, kExitFailed);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_EQ(result.err, "Device Not Found.  Please Check.\n");
  }
}

TEST(SearchCommand, ByAddressAsksThatAddressOnly) {
  ScopedTimeScale scale(kFindScale);
  SimFleet fleet(1, Prompt());
  const auto ready = RunCli({"search", "127.0.0.2"});
  EXPECT_EQ(ready.code, kExitDone);
  EXPECT_EQ(ready.out, "127.0.0.2\tReady\n");
  EXPECT_TRUE(ready.err.empty()) << ready.err;

  fleet[0].engine->UpdateState([](sim::ScannerState& s) {
    s.status.wFWInfo = protocol::SCANNER_STATUS_BUSY;
  });
  const auto busy = RunCli({"search", "127.0.0.2"});
  EXPECT_EQ(busy.code, kExitFailed);
  EXPECT_TRUE(busy.out.empty());
  EXPECT_EQ(busy.err, "Device is Busy.\n");

  const auto absent = RunCli({"search", "127.0.0.9"});
  EXPECT_EQ(absent.code, kExitFailed);
  EXPECT_EQ(absent.err, "Device Not Found.  Please Check.\n");

  for (const std::string bad : {"127.0.0", "", "scanner"}) {
    EXPECT_EQ(RunCli({"search", bad}).code, kExitUsage) << bad;
  }
  EXPECT_TRUE(fleet.responder.Probes().empty()) << "no multicast";
}

// A scanner that comes back busy is looked for by its UUID between the
// polls of its old address: the update's rediscovery probes the network.
TEST(SearchCommand, UpdateLooksForARestartedScannerByItsUuid) {
  SimFleet fleet(1, Prompt());
  ScopedTimeScale scale(50.0);
  fleet[0].engine->UpdateState(
      [](sim::ScannerState& s) { s.downgrade_permission = 1; });
  sim::UpdateTimelineOptions options;
  options.busy_after_restart_ms = 60000;  // busy past the countdown
  sim::UpdateTimeline timeline(*fleet[0].engine, options);
  testing::PackageFile package;
  const auto result =
      RunCli({"update", "--package", package.path(), "127.0.0.2"});
  EXPECT_EQ(result.code, kExitDone) << result.out << result.err;
  EXPECT_EQ(Lines(result.out).back(), "127.0.0.2\tSuccess.");
  EXPECT_FALSE(fleet.responder.Probes().empty());
}

}  // namespace
}  // namespace refloq::cli
