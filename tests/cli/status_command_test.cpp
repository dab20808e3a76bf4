// `status` against one simulated scanner, over TCP and as the USB device,
// time compressed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "../sim/simulated_scanner.h"
#include "cli/exit_code.h"
#include "cli_runner.h"
#include "platform/clock.h"

namespace refloq::cli {
namespace {

using sim::testing::SimulatedScanner;
using testing::RunCli;

TEST(StatusCommand, ShowsTheWindowsTextForEachState) {
  SimulatedScanner scanner;
  // Nothing here waits for a time limit; a gentler scale keeps a slow
  // first connection (Wine under load) inside the 12 s command limit.
  platform::Clock::SetScale(20.0);
  const struct {
    const char* name;
    std::uint16_t fw_info;
    std::string text;
    const char* state;
  } cases[] = {
      {"ready", 0, "Ready", "ready"},
      {"busy", 4, "Device is Busy.", "busy"},
      {"recovery", 6, "Recovery Mode, click the RecoverFW Button.", "recovery"},
      {"any other state is an error", 7, "Device has an Error.", "error"},
  };
  for (const std::string& address :
       {SimulatedScanner::TcpAddress(), std::string("USB")}) {
    for (const auto& c : cases) {
      scanner.engine().UpdateState(
          [&](sim::ScannerState& state) { state.status.wFWInfo = c.fw_info; });
      const auto text = RunCli({"status", address});
      EXPECT_EQ(text.code, kExitDone) << address << " " << c.name;
      EXPECT_EQ(text.out, address + "\t" + c.text + "\n") << c.name;
      const auto json = RunCli({"--json", "status", address});
      const auto object = nlohmann::json::parse(json.out);
      EXPECT_EQ(object.at("address"), address);
      EXPECT_EQ(object.at("state"), c.state) << c.name;
      EXPECT_EQ(object.at("wFWInfo"), c.fw_info) << c.name;
    }
  }
  scanner.engine().SetRefuseConnections(true);
  for (const std::string& address :
       {SimulatedScanner::TcpAddress(), std::string("USB")}) {
    const auto absent = RunCli({"status", address});
    EXPECT_EQ(absent.code, kExitFailed) << address;
    EXPECT_EQ(absent.out, address + "\tDevice Not Found.  Please Check.\n");
  }
}

TEST(StatusCommand, AddressesThatAreNotUsbOrDottedIpv4AreUsageErrors) {
  SimulatedScanner scanner;
  for (const std::string address :
       {"usb", "Usb", "192.168.1.300", "10.0.0.1234", "10.0.0", "host", ""}) {
    const auto result = RunCli({"status", address});
    EXPECT_EQ(result.code, kExitUsage) << address;
    EXPECT_TRUE(result.out.empty()) << address;
  }
  EXPECT_TRUE(scanner.engine().Record().empty()) << "nothing was sent";
}

}  // namespace
}  // namespace refloq::cli
