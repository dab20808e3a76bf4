// Scenario files and fault texts: what is read, and the message for what
// is wrong.
#include "sim/scenario.h"

#include <gtest/gtest.h>

#include <string>

namespace refloq::sim {
namespace {

TEST(Scenario, ReadsEveryField) {
  std::string error;
  const auto scenario = ParseScenario(R"({
    "port": 6000,
    "scanners": [
      { "address": "127.0.0.2", "uuid": "{X}", "wFWInfo": 7, "dwLastErr": 28673,
        "bSleep": 1, "bProgress": 50, "info_record1": 34, "version": [2, 26],
        "date_stamp": 402987786, "downgrade_permission": 1,
        "refuse_connections": true,
        "login": { "password": "secret", "mode": 2, "lockout": 1,
                   "attempt_limit": 5, "failures": 4 },
        "faults": [ { "command": 16, "parameter": 240, "phase": "data-in",
                      "action": "close", "bytes": 10, "count": 2 } ] },
      { "address": "127.0.0.3" } ] })",
                                      error);
  ASSERT_TRUE(scenario) << error;
  EXPECT_EQ(scenario->port, 6000);
  ASSERT_EQ(scenario->scanners.size(), 2u);
  const ScannerSetup& first = scenario->scanners[0];
  EXPECT_EQ(first.state.uuid_text, "{X}");
  EXPECT_EQ(first.state.status,
            (protocol::sKestoDeviceStatus{0x7001, 7, 50, 1}));
  EXPECT_EQ(first.state.info_record1_value, 34u);
  EXPECT_EQ(first.state.firmware_info.version, protocol::MakeVersion(2, 26));
  EXPECT_EQ(first.state.firmware_info.date_stamp, 402987786u);
  EXPECT_EQ(first.state.downgrade_permission, 1);
  EXPECT_TRUE(first.refuse_connections);
  EXPECT_EQ(first.state.login.password, "secret");
  EXPECT_EQ(first.state.login.login_mode, 2u);
  EXPECT_EQ(first.state.status_ext, (protocol::sKestoDeviceStatusExt{5, 4, 1}));
  EXPECT_FALSE(scenario->scanners[1].state.login.password.has_value());
  ASSERT_EQ(first.faults.size(), 1u);
  EXPECT_EQ(first.faults[0].command, 16);
  EXPECT_EQ(first.faults[0].parameter, 240);
  EXPECT_EQ(first.faults[0].phase, FaultPhase::kDataToHost);
  EXPECT_EQ(first.faults[0].action, FaultAction::kClose);
  EXPECT_EQ(first.faults[0].bytes, 10u);
  EXPECT_EQ(first.faults[0].count, 2);
  // Unnamed scanners get UUIDs of their own.
  EXPECT_NE(scenario->scanners[1].state.uuid_text, first.state.uuid_text);
  EXPECT_EQ(scenario->scanners[1].state.uuid_text, NumberedUuidText(2));
}

TEST(Scenario, TimelineOptions) {
  std::string error;
  const auto scenario = ParseScenario(R"({"scanners": [
      { "address": "127.0.0.2",
        "timeline": { "progress_step": 25, "progress_step_ms": 500,
                      "done_ms": 100, "restart_ms": 4294967295,
                      "busy_after_restart_ms": 300, "wake_after_ms": 2000,
                      "image_reply_error": 28673, "fail_at": 50,
                      "stuck_at": 75 } },
      { "address": "127.0.0.3", "timeline": {} },
      { "address": "127.0.0.4" } ] })",
                                      error);
  ASSERT_TRUE(scenario) << error;
  ASSERT_TRUE(scenario->scanners[0].timeline);
  const UpdateTimelineOptions& options = *scenario->scanners[0].timeline;
  EXPECT_EQ(options.progress_step, 25);
  EXPECT_EQ(options.progress_step_ms, 500u);
  EXPECT_EQ(options.done_ms, 100u);
  EXPECT_EQ(options.restart_ms, kNever);
  EXPECT_EQ(options.busy_after_restart_ms, 300u);
  EXPECT_EQ(options.wake_after_ms, 2000u);
  EXPECT_EQ(options.image_reply_error, 0x7001u);
  EXPECT_EQ(options.fail_at, 50);
  EXPECT_EQ(options.stuck_at, 75);
  // An empty object is the timeline's defaults; no field, no timeline.
  ASSERT_TRUE(scenario->scanners[1].timeline);
  EXPECT_EQ(scenario->scanners[1].timeline->restart_ms,
            UpdateTimelineOptions{}.restart_ms);
  EXPECT_EQ(scenario->scanners[1].timeline->wake_after_ms, kNever);
  EXPECT_FALSE(scenario->scanners[2].timeline);
}

TEST(Scenario, RejectsWhatItCannotRun) {
  struct Row {
    std::string json;
    std::string message;
  };
  const Row rows[] = {
      {"", "not a JSON object"},
      {"[1]", "not a JSON object"},
      {R"({"scanners": []})", "at least one scanner"},
      {R"({"scanners": [{}]})", "\"address\""},
      {R"({"scanners": [{"address": "localhost"}]})", "not an IPv4 address"},
      {R"({"port": 70000, "scanners": [{"address": "127.0.0.2"}]})",
       "\"port\" must be a number from 0 to 65535"},
      {R"({"scanners": [{"address": "127.0.0.2", "wFWInfo": -1}]})",
       "\"wFWInfo\""},
      {R"({"scanners": [{"address": "127.0.0.2", "bSleep": 256}]})",
       "\"bSleep\""},
      {R"({"scanners": [{"address": "127.0.0.2", "uuid": 5}]})", "\"uuid\""},
      {R"({"scanners": [{"address": "127.0.0.2", "version": "2.26"}]})",
       "[major, minor]"},
      {R"({"scanners": [{"address": "127.0.0.2", "login": {"password": 1}}]})",
       "\"password\""},
      {R"({"scanners": [{"address": "127.0.0.2", "login": {"attempt_limit": 300}}]})",
       "\"attempt_limit\""},
      {R"({"scanners": [{"address": "127.0.0.2", "timeline": 1}]})",
       "\"timeline\" must be an object"},
      {R"({"scanners": [{"address": "127.0.0.2", "timeline": {"progress_step": 300}}]})",
       "\"progress_step\""},
      {R"({"scanners": [{"address": "127.0.0.2", "timeline": {"restart_ms": -1}}]})",
       "\"restart_ms\""},
      {R"({"scanners": [{"address": "127.0.0.2", "faults": [{"action": "explode"}]}]})",
       "unknown fault action"},
      {R"({"scanners": [{"address": "127.0.0.2", "faults": [{"action": "close", "phase": 3}]}]})",
       "phase"},
  };
  for (const Row& row : rows) {
    std::string error;
    EXPECT_FALSE(ParseScenario(row.json, error)) << row.json;
    EXPECT_NE(error.find(row.message), std::string::npos)
        << row.json << " gave: " << error;
  }
}

TEST(Scenario, FaultTexts) {
  struct Row {
    std::string text;
    bool ok;
    Fault fault;
  };
  const Row rows[] = {
      {"16/reply/close/10",
       true,
       {16, {}, FaultPhase::kReply, FaultAction::kClose, 10}},
      {"any/data-out/stall/5000",
       true,
       {{}, {}, FaultPhase::kDataFromHost, FaultAction::kStall, 0, 5000}},
      {"8/reply/error/0x7001",
       true,
       {8, {}, FaultPhase::kReply, FaultAction::kErrorCode, 0, 0, 0x7001}},
      {"2/data-in/silent",
       true,
       {2, {}, FaultPhase::kDataToHost, FaultAction::kSilent}},
      {"256/reply/close", false, {}},
      {"2/sideways/close", false, {}},
      {"2/reply", false, {}},
      {"2/reply/close/ten", false, {}},
      {"2/reply/close/1/2", false, {}},
  };
  for (const Row& row : rows) {
    std::string error;
    const auto fault = ParseFaultText(row.text, error);
    ASSERT_EQ(fault.has_value(), row.ok) << row.text;
    if (!row.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(fault->command, row.fault.command) << row.text;
    EXPECT_EQ(fault->phase, row.fault.phase) << row.text;
    EXPECT_EQ(fault->action, row.fault.action) << row.text;
    EXPECT_EQ(fault->bytes, row.fault.bytes) << row.text;
    EXPECT_EQ(fault->stall_ms, row.fault.stall_ms) << row.text;
    EXPECT_EQ(fault->error_code, row.fault.error_code) << row.text;
  }
}

}  // namespace
}  // namespace refloq::sim
