// The multicast search against simulated scanners, inside a private network
// namespace with one local address (10.200.1.1).
#include "discovery/network_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "discovery/message_id.h"
#include "discovery/probe_exchange.h"
#include "discovery/probe_port.h"
#include "discovery/probe_template.h"
#include "fake_window.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "platform/socket.h"
#include "protocol/device_status.h"
#include "sim/scanner_state.h"
#include "sim_fleet.h"
#include "time_scale.h"

namespace refloq::discovery {
namespace {

using testing::FakeWindow;
using testing::kAdded;
using testing::kFindScale;
using testing::kMissScale;
using testing::kNoTemplate;
using testing::kNotFound;
using testing::Message;
using testing::Prompt;
using testing::Row;
using testing::ScopedTimeScale;
using testing::SimFleet;

constexpr platform::Ipv4Address kLocal = {10, 200, 1, 1};

std::vector<std::string> Addresses(const std::vector<Row>& rows) {
  std::vector<std::string> addresses;
  for (const Row& row : rows) addresses.push_back(row.address);
  std::sort(addresses.begin(), addresses.end());
  return addresses;
}

TEST(NetworkSearchTest, ProbeIsTheTemplateWithItsMessageIdFromAProbePort) {
  ScopedTimeScale scale(kFindScale);
  ASSERT_TRUE(platform::StartSockets());
  const platform::SocketHandle listener = platform::CreateUdpSocket();
  ASSERT_TRUE(platform::SetReuseAddress(listener, true));
  ASSERT_TRUE(platform::BindSocket(listener, platform::kAnyAddress, 3702));
  ASSERT_TRUE(platform::JoinMulticastGroup(listener, kDiscoveryGroup, kLocal));

  FakeWindow fake;
  const std::string id = "0123ABCD-4567-89EF-0123-456789ABCDEF";
  ProbeSocket socket;
  ASSERT_EQ(SendProbe(fake.window, id, kLocal, socket), 1);
  EXPECT_TRUE(socket.listening);

  std::vector<std::uint8_t> buffer(4096);
  const auto datagram =
      platform::ReceiveFrom(listener, buffer.data(), buffer.size(), 2000);
  platform::CloseSocket(listener);
  platform::StopSockets();
  ASSERT_EQ(datagram.count, 548);
  buffer.resize(548);
  EXPECT_EQ(buffer, *FillProbe(StoredProbeTemplate(), id));
  EXPECT_EQ(datagram.from, kLocal);
  EXPECT_EQ(datagram.from_port, socket.port);
  EXPECT_GE(datagram.from_port, kFirstProbePort);
  EXPECT_LT(datagram.from_port, kFirstProbePort + kProbePortCount);
  EXPECT_TRUE(fake.messages.Shown().empty());
}

TEST(NetworkSearchTest, MissingTemplateEndsTheSearchWithItsMessage) {
  ScopedTimeScale scale(kFindScale);
  SimFleet fleet(1, Prompt());
  const platform::ScopedBinaryResource missing(
      platform::kProbeTemplateResourceId, {});
  FakeWindow fake;
  SearchNetworkDevices(fake.window);
  EXPECT_EQ(fake.messages.Shown(), std::vector<Message>{kNoTemplate});
  EXPECT_TRUE(fake.device_table.Rows().empty());
  EXPECT_TRUE(fleet.responder.Probes().empty());
}

// Scanner answers that are found: each case sets the behaviour of the
// fleet's scanners and expects the addresses listed.
TEST(NetworkSearchTest, FindsTheScannersThatAnswer) {
  struct Case {
    const char* name;
    std::vector<sim::WsdBehaviour> scanners;
    std::vector<std::string> listed;
  };
  sim::WsdBehaviour lower_case = Prompt();
  lower_case.model = "qlm-8800z";
  sim::WsdBehaviour late = Prompt();
  late.fixed_delay_ms = 350;
  sim::WsdBehaviour garbage_first = Prompt();
  garbage_first.malformed_before = true;
  garbage_first.oversized_before = true;
  sim::WsdBehaviour other_model = Prompt();
  other_model.model = "QLM-8800";
  sim::WsdBehaviour other_probe = Prompt();
  other_probe.other_message_id = true;
  sim::WsdBehaviour default_delay;  // up to 500 ms
  const Case cases[] = {
      {"one scanner", {Prompt()}, {"127.0.0.2"}},
      {"model in lower case", {lower_case}, {"127.0.0.2"}},
      {"one answers 350 ms after the other",
       {Prompt(), late},
       {"127.0.0.2", "127.0.0.3"}},
      {"malformed and oversized datagrams first",
       {garbage_first},
       {"127.0.0.2"}},
      {"another model beside ours", {other_model, Prompt()}, {"127.0.0.3"}},
      {"another probe's answer beside ours",
       {other_probe, Prompt()},
       {"127.0.0.3"}},
      {"five with the default delays",
       {default_delay, default_delay, default_delay, default_delay,
        default_delay},
       {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5", "127.0.0.6"}},
  };
  ScopedTimeScale scale(kFindScale);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimFleet fleet(static_cast<int>(c.scanners.size()), Prompt());
    for (std::size_t i = 0; i < c.scanners.size(); ++i) {
      fleet.SetBehaviour(i, c.scanners[i]);
    }
    FakeWindow fake;
    SearchNetworkDevices(fake.window);
    EXPECT_EQ(Addresses(fake.device_table.Rows()), c.listed);
    for (const Row& row : fake.device_table.Rows()) {
      EXPECT_EQ(row.status, "Ready");
    }
    EXPECT_EQ(fake.messages.Shown(), std::vector<Message>{kAdded});
    // Found in the first cycle: one probe for the one local address.
    EXPECT_EQ(fleet.responder.Probes().size(), 1u);
  }
}

TEST(NetworkSearchTest, AnswersThatDoNotCountLeaveFifteenCycles) {
  sim::WsdBehaviour other_model = Prompt();
  other_model.model = "QLM-8800ZX";
  sim::WsdBehaviour other_probe = Prompt();
  other_probe.other_message_id = true;
  sim::WsdBehaviour silent = Prompt();
  silent.silent = true;
  ScopedTimeScale scale(kMissScale);
  for (const auto& behaviour : {other_model, other_probe, silent}) {
    SimFleet fleet(1, behaviour);
    FakeWindow fake;
    SearchNetworkDevices(fake.window);
    EXPECT_TRUE(fake.device_table.Rows().empty());
    EXPECT_EQ(fake.messages.Shown(), std::vector<Message>{kNotFound});
    const auto probes = fleet.responder.Probes();
    ASSERT_EQ(probes.size(), 15u);
    // One MessageID serves every cycle on one address.
    for (const auto& probe : probes) {
      EXPECT_EQ(probe.message_id, probes.front().message_id);
    }
  }
}

TEST(NetworkSearchTest, TwoAnswersFromOneScannerGiveOneRowAndBothCount) {
  ScopedTimeScale scale(kFindScale);
  sim::WsdBehaviour twice = Prompt();
  twice.copies = 2;
  SimFleet fleet(1, twice);
  FakeWindow fake;
  ASSERT_TRUE(platform::StartSockets());
  const std::string id = NewMessageId();
  ProbeSocket socket;
  ASSERT_EQ(SendProbe(fake.window, id, kLocal, socket), 1);
  int found = 0;
  EXPECT_EQ(CollectProbeMatches(fake.window, id, socket, found), 1);
  platform::StopSockets();
  EXPECT_EQ(found, 2);
  EXPECT_EQ(fake.device_table.Rows(),
            (std::vector<Row>{{"127.0.0.2", "Ready"}}));
  EXPECT_TRUE(fake.messages.Shown().empty());
}

// A peer that keeps sending datagrams to the probe port cannot hold the
// cycle (and with it the window) open for ever.
TEST(NetworkSearchTest, EndlessDatagramsEndTheCycleAfterItsLimit) {
  ScopedTimeScale scale(kMissScale);
  FakeWindow fake;
  ASSERT_TRUE(platform::StartSockets());
  const std::string id = NewMessageId();
  ProbeSocket socket;
  ASSERT_EQ(SendProbe(fake.window, id, kLocal, socket), 1);

  std::atomic<bool> cycle_over{false};
  // True when the peer stopped because the cycle was over, not because it
  // gave up.
  std::atomic<bool> outlasted{false};
  std::thread peer([&] {
    const platform::SocketHandle out = platform::CreateUdpSocket();
    const std::string garbage = id + "<ModuleName>not ours</ModuleName>";
    const std::uint32_t start = platform::Clock::TickCount();
    // Long after the cycle's limit, give up: the cycle would never end.
    while (!cycle_over && !platform::Clock::HasPassed(start, 60000)) {
      platform::SendTo(out,
                       reinterpret_cast<const std::uint8_t*>(garbage.data()),
                       garbage.size(), kLocal, socket.port);
      platform::Clock::Sleep(50);
    }
    outlasted = cycle_over.load();
    platform::CloseSocket(out);
  });
  int found = 0;
  EXPECT_EQ(CollectProbeMatches(fake.window, id, socket, found), 1);
  cycle_over = true;
  peer.join();
  platform::StopSockets();
  EXPECT_TRUE(outlasted);
  EXPECT_EQ(found, 0);
  EXPECT_TRUE(fake.messages.Shown().empty());
}

TEST(NetworkSearchTest, AddressInTheUpdateTableIsNotAddedAgain) {
  ScopedTimeScale scale(kFindScale);
  SimFleet fleet(1, Prompt());
  FakeWindow fake;
  fake.update_table.AppendRow("127.0.0.2", texts::kTextReady);
  SearchNetworkDevices(fake.window);
  EXPECT_TRUE(fake.device_table.Rows().empty());
  EXPECT_EQ(fake.messages.Shown(), std::vector<Message>{kNotFound});
  // It still counted as found: one cycle only.
  EXPECT_EQ(fleet.responder.Probes().size(), 1u);
  EXPECT_TRUE(fleet[0].engine->Record().empty());
}

TEST(NetworkSearchTest, ScannerRefusingTcpIsReportedAndTheSearchGoesOn) {
  ScopedTimeScale scale(kFindScale);
  SimFleet fleet(2, Prompt());
  fleet.Refuse(0);
  FakeWindow fake;
  SearchNetworkDevices(fake.window);
  EXPECT_EQ(fake.device_table.Rows(),
            (std::vector<Row>{{"127.0.0.3", "Ready"}}));
  EXPECT_EQ(fake.messages.Shown(), (std::vector<Message>{kNotFound, kAdded}));
}

TEST(NetworkSearchTest, ScannerWithAnErrorIsReportedAndABusyOneListed) {
  ScopedTimeScale scale(kFindScale);
  SimFleet fleet(2, Prompt());
  fleet[0].engine->UpdateState(
      [](sim::ScannerState& state) { state.status.dwLastErr = 1; });
  fleet[1].engine->UpdateState([](sim::ScannerState& state) {
    state.status.wFWInfo = protocol::SCANNER_STATUS_BUSY;
  });
  FakeWindow fake;
  SearchNetworkDevices(fake.window);
  EXPECT_EQ(fake.device_table.Rows(),
            (std::vector<Row>{{"127.0.0.3", "Ready"}}));
  EXPECT_EQ(fake.messages.Shown(), (std::vector<Message>{kNotFound, kAdded}));
}

}  // namespace
}  // namespace refloq::discovery
