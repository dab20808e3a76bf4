// A machine with two local addresses (10.200.1.1 and 10.200.2.1, in that
// order): once a scanner is found on the first, the second gets one cycle.
#include <gtest/gtest.h>

#include <vector>

#include "discovery/local_address_list.h"
#include "discovery/network_search.h"
#include "fake_window.h"
#include "sim_fleet.h"
#include "time_scale.h"

namespace refloq::discovery {
namespace {

constexpr platform::Ipv4Address kFirst = {10, 200, 1, 1};
constexpr platform::Ipv4Address kSecond = {10, 200, 2, 1};

int ProbesFrom(const std::vector<sim::ReceivedProbe>& probes,
               const platform::Ipv4Address& address) {
  int count = 0;
  for (const auto& probe : probes) count += probe.from == address ? 1 : 0;
  return count;
}

TEST(TwoAddressTest, LocalAddressesSkipLoopbackAndKeepTheirOrder) {
  EXPECT_EQ(ListLocalAddresses(),
            (std::vector<platform::Ipv4Address>{kFirst, kSecond}));
}

TEST(TwoAddressTest, AfterAMatchTheSecondAddressGetsOneCycle) {
  testing::ScopedTimeScale scale(testing::kFindScale);
  testing::SimFleet fleet(1, testing::Prompt());
  testing::FakeWindow fake;
  SearchNetworkDevices(fake.window);
  EXPECT_EQ(fake.device_table.Rows(),
            (std::vector<testing::Row>{{"127.0.0.2", "Ready"}}));
  EXPECT_EQ(fake.messages.Shown(),
            std::vector<testing::Message>{testing::kAdded});
  const auto probes = fleet.responder.Probes();
  EXPECT_EQ(ProbesFrom(probes, kFirst), 1);
  EXPECT_EQ(ProbesFrom(probes, kSecond), 1);
  // Each address has a MessageID of its own.
  ASSERT_EQ(probes.size(), 2u);
  EXPECT_NE(probes[0].message_id, probes[1].message_id);
}

TEST(TwoAddressTest, ScannerOnlyOnTheSecondNetworkIsFoundThere) {
  testing::ScopedTimeScale scale(testing::kMissScale);
  testing::SimFleet fleet(1, testing::Prompt(), {kSecond});
  testing::FakeWindow fake;
  SearchNetworkDevices(fake.window);
  EXPECT_EQ(fake.device_table.RowCount(), 1);
  const auto probes = fleet.responder.Probes();
  EXPECT_EQ(ProbesFrom(probes, kSecond), 1);
  // The first address's 15 probes never reached the second network.
  EXPECT_EQ(ProbesFrom(probes, kFirst), 0);
}

}  // namespace
}  // namespace refloq::discovery
