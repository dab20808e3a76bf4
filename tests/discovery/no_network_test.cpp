// A machine whose only address is 127.0.0.1: nothing is probed.
#include <gtest/gtest.h>

#include <vector>

#include "discovery/local_address_list.h"
#include "discovery/network_search.h"
#include "discovery/rediscovery.h"
#include "fake_window.h"
#include "sim_fleet.h"
#include "time_scale.h"

namespace refloq::discovery {
namespace {

TEST(NoNetworkTest, SearchSendsNoProbeAndReportsNothingFound) {
  testing::ScopedTimeScale scale(testing::kFindScale);
  testing::SimFleet fleet(1, testing::Prompt());
  EXPECT_TRUE(ListLocalAddresses().empty());
  testing::FakeWindow fake;
  SearchNetworkDevices(fake.window);
  EXPECT_TRUE(fake.device_table.Rows().empty());
  EXPECT_EQ(fake.messages.Shown(),
            std::vector<testing::Message>{testing::kNotFound});
  EXPECT_EQ(RediscoverDevice(fake.window, fleet[0].engine->State().uuid_text),
            0);
  EXPECT_EQ(fake.messages.Shown().size(), 1u);
  EXPECT_TRUE(fleet.responder.Probes().empty());
}

}  // namespace
}  // namespace refloq::discovery
