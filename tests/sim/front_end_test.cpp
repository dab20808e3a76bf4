// The front ends: TCP listeners per address, refusing and accepting again,
// several connections at once, the USB device's reads and vendor requests,
// and a fleet started from a scenario.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "link/command_exchange.h"
#include "link/control_pipe.h"
#include "link/device_connection.h"
#include "platform/clock.h"
#include "protocol/command_catalogue.h"
#include "protocol/command_routines.h"
#include "sim/fleet.h"
#include "sim/scenario.h"
#include "tests/sim/simulated_scanner.h"

namespace refloq::sim {
namespace {

namespace p = protocol;
using testing::SimulatedScanner;

TEST(TcpFrontEnd, RefusesWhileToldAndAcceptsAgain) {
  SimulatedScanner scanner;
  p::StatusReply reply{};
  ASSERT_TRUE(p::ReadDeviceStatus(scanner.TcpAddress(), reply));
  // The switch returns once the listener has followed it.
  scanner.engine().SetRefuseConnections(true);
  EXPECT_FALSE(p::ReadDeviceStatus(scanner.TcpAddress(), reply));
  scanner.engine().SetRefuseConnections(false);
  EXPECT_TRUE(p::ReadDeviceStatus(scanner.TcpAddress(), reply));
}

TEST(TcpFrontEnd, ServesSeveralConnectionsAtOnce) {
  SimulatedScanner scanner;
  // Thirty exchanges from six threads at once: nothing here waits for a
  // time limit, so a gentle scale keeps a loaded host (Wine, sanitizers)
  // inside the 12 s command limit.
  platform::Clock::SetScale(20.0);
  std::vector<std::thread> threads;
  std::vector<int> results(6, 0);
  for (std::size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&, i] {
      int ok = 0;
      for (int round = 0; round < 5; ++round) {
        ok += p::ReadDeviceUuid(scanner.TcpAddress()).empty() ? 0 : 1;
      }
      results[i] = ok;
    });
  }
  for (auto& thread : threads) thread.join();
  for (int ok : results) EXPECT_EQ(ok, 5);
  EXPECT_EQ(scanner.engine().Record().size(), 30u);
}

TEST(UsbFrontEnd, DescriptorLowestIndexAndVendorRequests) {
  SimulatedScanner scanner;
  DeviceEngine other;
  other.UpdateState([](ScannerState& state) { state.uuid_text = "{OTHER}"; });
  DeviceEngine stranger;
  stranger.UpdateState([](ScannerState& state) { state.usb_product_id = 1; });
  // index 0 is the fixture's scanner; move it to 5 behind a stranger at 1
  // and another scanner at 3.
  scanner.usb().Attach(0, nullptr);
  scanner.usb().Attach(1, &stranger);
  scanner.usb().Attach(3, &other);
  scanner.usb().Attach(5, &scanner.engine());
  EXPECT_EQ(p::ReadDeviceUuid("USB"), "{OTHER}");

  link::DeviceConnection connection;
  link::InitConnection(connection);
  link::ConnectionScope scope(connection);
  ASSERT_EQ(link::OpenConnection(connection, "USB"), 1);
  EXPECT_EQ(link::LockControlPipe(connection), 1);
  EXPECT_TRUE(other.State().control_pipe_locked);
  EXPECT_EQ(link::UnlockControlPipe(connection), 1);
  EXPECT_FALSE(other.State().control_pipe_locked);
  other.UpdateState([](ScannerState& state) { state.control_pipe_result = 1; });
  EXPECT_EQ(link::LockControlPipe(connection), 0);

  const std::vector<WireEntry> record = other.Record();
  ASSERT_GE(record.size(), 3u);
  const WireEntry& lock = record[record.size() - 3];
  EXPECT_EQ(lock.kind, WireEntry::Kind::kVendorRequest);
  // bmRequestType 0xC0, request 1, value 4, index 0.
  EXPECT_EQ(lock.bytes, (std::vector<std::uint8_t>{0xC0, 1, 4, 0, 0, 0}));
}

TEST(UsbFrontEnd, DataInSeveralReadsFillsInOrder) {
  SimulatedScanner scanner;
  scanner.engine().UpdateState([](ScannerState& state) {
    state.uuid_text = "{0123456789ABCDEF0123456789ABCDEF012345}";
  });
  scanner.engine().AddFault({p::GET_UUID_FROM_NVRAM,
                             {},
                             FaultPhase::kDataToHost,
                             FaultAction::kSplit,
                             7});
  EXPECT_EQ(
      p::ReadDeviceUuid("USB"),
      std::string("{0123456789ABCDEF0123456789ABCDEF012345}").substr(0, 40));
}

TEST(Fleet, OneScannerPerLoopbackAddress) {
  platform::Clock::SetScale(testing::kTestTimeScale);
  std::string error;
  auto scenario = ParseScenario(R"({
    "port": 0,
    "scanners": [ { "address": "127.0.0.1", "uuid": "{ONE}" } ] })",
                                error);
  ASSERT_TRUE(scenario) << error;
  Fleet first;
  ASSERT_TRUE(first.Start(*scenario, error)) << error;
  const std::uint16_t port = first.port(0);

  // Two more on other loopback addresses, on the same port.
  auto more = ParseScenario(R"({ "scanners": [
    { "address": "127.0.0.2", "uuid": "{TWO}", "wFWInfo": 4 },
    { "address": "127.0.0.3", "uuid": "{THREE}", "refuse_connections": true }
  ] })",
                            error);
  ASSERT_TRUE(more) << error;
  more->port = port;
  Fleet rest;
  ASSERT_TRUE(rest.Start(*more, error)) << error;

  link::SetScannerTcpPort(port);
  EXPECT_EQ(p::ReadDeviceUuid("127.0.0.1"), "{ONE}");
  EXPECT_EQ(p::ReadDeviceUuid("127.0.0.2"), "{TWO}");
  EXPECT_EQ(p::ReadDeviceUuid("127.0.0.3"), "");
  p::StatusReply reply{};
  ASSERT_TRUE(p::ReadDeviceStatus("127.0.0.2", reply));
  EXPECT_EQ(p::DecodeDeviceStatus(reply.data()).wFWInfo,
            p::SCANNER_STATUS_BUSY);
  link::SetScannerTcpPort(0);

  // A second fleet on an address and port already taken does not start.
  Fleet clash;
  EXPECT_FALSE(clash.Start(*more, error));
  EXPECT_NE(error.find("127.0.0.2"), std::string::npos) << error;
}

}  // namespace
}  // namespace refloq::sim
