// Multicast tests refuse to run outside the private network namespace that
// scripts/netns-run makes, so that no probe leaves on the machine's own
// interfaces when someone runs the program directly.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class PrivateNetworkOnly : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* inside = std::getenv("REFLOQ_NETNS");
    if (inside == nullptr || std::string(inside) != "1") {
      FAIL() << "run this program through scripts/netns-run: it multicasts";
    }
  }
};

const auto* const kGuard =
    ::testing::AddGlobalTestEnvironment(new PrivateNetworkOnly);

}  // namespace
