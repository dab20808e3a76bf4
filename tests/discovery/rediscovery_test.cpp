// Rediscovery by the UUID text read before an update, against simulated
// scanners inside a private network namespace.
#include "discovery/rediscovery.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "discovery/probe_template.h"
#include "fake_window.h"
#include "link/trace.h"
#include "platform/resources.h"
#include "protocol/command_catalogue.h"
#include "protocol/device_status.h"
#include "sim_fleet.h"
#include "time_scale.h"

namespace refloq::discovery {
namespace {

using testing::FakeWindow;
using testing::Prompt;
using testing::ScopedTimeScale;
using testing::SimFleet;

constexpr std::string_view kUuid = "{1234ABCD-0000-0000-0000-000000000001}";

class TraceLines {
 public:
  TraceLines() {
    link::SetTraceObserver([this](std::string_view line) {
      std::lock_guard lock(mutex_);
      lines_.emplace_back(line);
    });
  }
  ~TraceLines() { link::SetTraceObserver({}); }
  std::vector<std::string> Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

void SetUuid(SimFleet& fleet, std::size_t i, std::string_view uuid) {
  fleet[i].engine->UpdateState(
      [uuid](sim::ScannerState& s) { s.uuid_text = std::string(uuid); });
}

// Leaves the tables and the message boxes untouched.
void ExpectNothingShown(const FakeWindow& fake) {
  EXPECT_TRUE(fake.device_table.Rows().empty());
  EXPECT_TRUE(fake.update_table.Rows().empty());
  EXPECT_TRUE(fake.messages.Shown().empty());
}

TEST(RediscoveryTest, FindsTheBracedIdReadyAndTracesIt) {
  ScopedTimeScale scale(testing::kFindScale);
  SimFleet fleet(2, Prompt());
  SetUuid(fleet, 1, kUuid);
  TraceLines trace;
  FakeWindow fake;
  EXPECT_EQ(RediscoverDevice(fake.window, kUuid), 1);
  const auto lines = trace.Lines();
  const std::vector<std::string> tail = {
      "==>Search UUID is", std::string(kUuid), "==>Search IP is", "127.0.0.3",
      "==>connected IP and get status success "};
  ASSERT_GE(lines.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()), tail);
  ExpectNothingShown(fake);
}

TEST(RediscoveryTest, OnlyTheExactBracedIdMatches) {
  ScopedTimeScale scale(testing::kMissScale);
  SimFleet fleet(1, Prompt());
  SetUuid(fleet, 0, kUuid);
  for (const std::string_view wanted :
       {"{1234abcd-0000-0000-0000-000000000001}",
        "1234ABCD-0000-0000-0000-000000000001",
        "{1234ABCD-0000-0000-0000-000000000002}"}) {
    SCOPED_TRACE(wanted);
    FakeWindow fake;
    EXPECT_EQ(RediscoverDevice(fake.window, wanted), 0);
    ExpectNothingShown(fake);
  }
  // The readiness query was never sent.
  EXPECT_TRUE(fleet[0].engine->Record().empty());
}

TEST(RediscoveryTest, ScannerStillUpdatingIsNotYetFound) {
  ScopedTimeScale scale(testing::kMissScale);
  SimFleet fleet(1, Prompt());
  SetUuid(fleet, 0, kUuid);
  fleet[0].engine->UpdateState([](sim::ScannerState& s) {
    s.status.wFWInfo = protocol::SCANNER_STATUS_UPDATING;
  });
  FakeWindow fake;
  EXPECT_EQ(RediscoverDevice(fake.window, kUuid), 0);
  ExpectNothingShown(fake);
  // Every cycle asked it once: FIRMWARE_TRANSFER 32, type 18, length 0.
  const auto record = fleet[0].engine->Record();
  EXPECT_EQ(record.size(), 15u);
}

TEST(RediscoveryTest, ScannerReadyInALaterCycleIsFound) {
  ScopedTimeScale scale(testing::kFindScale);
  SimFleet fleet(1, Prompt());
  SetUuid(fleet, 0, kUuid);
  std::atomic<int> queries{0};
  fleet[0].engine->SetHandler(
      protocol::FIRMWARE_TRANSFER,
      [&queries](sim::ScannerState& state, const sim::Request&) {
        state.status.wFWInfo = ++queries < 3 ? protocol::SCANNER_STATUS_UPDATING
                                             : protocol::SCANNER_STATUS_READY;
        return sim::Response{};
      });
  FakeWindow fake;
  EXPECT_EQ(RediscoverDevice(fake.window, kUuid), 1);
  EXPECT_EQ(queries.load(), 3);
  EXPECT_EQ(fleet.responder.Probes().size(), 3u);
  ExpectNothingShown(fake);
}

TEST(RediscoveryTest, MissingTemplateShowsItsMessageAndFails) {
  ScopedTimeScale scale(testing::kFindScale);
  SimFleet fleet(1, Prompt());
  SetUuid(fleet, 0, kUuid);
  const platform::ScopedBinaryResource missing(
      platform::kProbeTemplateResourceId, {});
  FakeWindow fake;
  EXPECT_EQ(RediscoverDevice(fake.window, kUuid), 0);
  EXPECT_EQ(fake.messages.Shown(),
            std::vector<testing::Message>{testing::kNoTemplate});
}

// Update jobs rediscover their scanners at the same time, beside a search
// of the window: each finds its own.
TEST(RediscoveryTest, ConcurrentRediscoveriesEachFindTheirScanner) {
  ScopedTimeScale scale(testing::kFindScale);
  constexpr int kJobs = 6;
  SimFleet fleet(kJobs, sim::WsdBehaviour{});
  std::vector<std::string> uuids;
  for (int i = 0; i < kJobs; ++i) {
    uuids.push_back(
        fleet[static_cast<std::size_t>(i)].engine->State().uuid_text);
  }
  FakeWindow fake;
  std::vector<int> results(kJobs, -1);
  std::vector<std::thread> jobs;
  for (int i = 0; i < kJobs; ++i) {
    jobs.emplace_back([&, i] {
      results[static_cast<std::size_t>(i)] =
          RediscoverDevice(fake.window, uuids[static_cast<std::size_t>(i)]);
    });
  }
  for (auto& job : jobs) job.join();
  EXPECT_EQ(results, std::vector<int>(kJobs, 1));
  ExpectNothingShown(fake);
}

}  // namespace
}  // namespace refloq::discovery
