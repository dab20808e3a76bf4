// Search by IP address against simulated scanners on 127.0.0.2:5566.
#include "discovery/address_search.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_window.h"
#include "protocol/device_status.h"
#include "sim/fault.h"
#include "sim_fleet.h"
#include "time_scale.h"

namespace refloq::discovery {
namespace {

using testing::FakeWindow;
using testing::kBusy;
using testing::kNotFound;
using testing::Message;
using testing::Prompt;
using testing::Row;
using testing::SimFleet;

TEST(AddressSearchTest, OutcomeFollowsTheScannersAnswer) {
  struct Case {
    const char* name;
    std::function<void(SimFleet&)> scanner;
    std::vector<Row> rows;
    std::vector<Message> messages;
  };
  const auto state = [](auto change) {
    return [change](SimFleet& fleet) { fleet[0].engine->UpdateState(change); };
  };
  const Case cases[] = {
      {"ready", [](SimFleet&) {}, {{"127.0.0.2", "Ready"}}, {}},
      {"busy",
       state([](sim::ScannerState& s) { s.status.wFWInfo = 4; }),
       {},
       {kBusy}},
      {"updating",
       state([](sim::ScannerState& s) { s.status.wFWInfo = 7; }),
       {},
       {kBusy}},
      {"an error code",
       state([](sim::ScannerState& s) { s.status.dwLastErr = 0x7001; }),
       {},
       {kNotFound}},
      {"refuses the connection",
       [](SimFleet& fleet) { fleet.Refuse(0); },
       {},
       {kNotFound}},
      {"silent",
       [](SimFleet& fleet) {
         sim::Fault silent;
         silent.action = sim::FaultAction::kSilent;
         fleet[0].engine->AddFault(silent);
       },
       {},
       {kNotFound}},
  };
  testing::ScopedTimeScale scale(testing::kMissScale);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimFleet fleet(1, Prompt());
    c.scanner(fleet);
    FakeWindow fake;
    SearchByAddress(fake.window, "127.0.0.2");
    EXPECT_EQ(fake.device_table.Rows(), c.rows);
    EXPECT_EQ(fake.messages.Shown(), c.messages);
    EXPECT_TRUE(fleet.responder.Probes().empty());
  }
}

TEST(AddressSearchTest, AddressAlreadyListedDoesNothing) {
  testing::ScopedTimeScale scale(testing::kMissScale);
  SimFleet fleet(1, Prompt());
  for (const bool in_update_table : {false, true}) {
    FakeWindow fake;
    auto& table = in_update_table ? fake.update_table : fake.device_table;
    table.AppendRow("127.0.0.2", texts::kTextReady);
    SearchByAddress(fake.window, "127.0.0.2");
    EXPECT_EQ(fake.device_table.RowCount(), in_update_table ? 0 : 1);
    EXPECT_TRUE(fake.messages.Shown().empty());
  }
  EXPECT_TRUE(fleet[0].engine->Record().empty());
}

}  // namespace
}  // namespace refloq::discovery
