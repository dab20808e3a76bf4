#include "link/device_connection.h"

#include <gtest/gtest.h>

#include "tests/link/link_fixture.h"
#include "tests/link/scripted_usb_device.h"

namespace refloq::link::testing {
namespace {

// --- Address texts ----------------------------------------------------------

struct AddressCase {
  const char* text;
  bool valid;
  std::uint8_t bytes[4];
};

class AddressText : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressText, ParsesOnlyFourDecimalPartsUpTo255) {
  std::uint8_t bytes[4] = {9, 9, 9, 9};
  const AddressCase& c = GetParam();
  ASSERT_EQ(ParseIpv4Address(c.text, bytes), c.valid) << c.text;
  if (c.valid) {
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 4),
              std::vector<std::uint8_t>(c.bytes, c.bytes + 4));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AddressText,
    ::testing::Values(
        AddressCase{"192.168.1.44", true, {192, 168, 1, 44}},
        AddressCase{"127.0.0.2", true, {127, 0, 0, 2}},
        AddressCase{"0.0.0.0", true, {0, 0, 0, 0}},
        AddressCase{"255.255.255.255", true, {255, 255, 255, 255}},
        AddressCase{"010.001.1.0", true, {10, 1, 1, 0}},
        // Texts the old parser read as another host.
        AddressCase{"192.168.1.300", false, {}},
        AddressCase{"10.0.0.1234", false, {}},
        AddressCase{"256.1.1.1", false, {}},
        AddressCase{"192.168.1.4x", false, {}},
        // Fewer or more parts, empty parts, signs, blanks.
        AddressCase{"", false, {}}, AddressCase{"1.2.3", false, {}},
        AddressCase{"1.2.3.4.5", false, {}}, AddressCase{"1..3.4", false, {}},
        AddressCase{"1.2.3.", false, {}}, AddressCase{".1.2.3", false, {}},
        AddressCase{"1.2.3.-4", false, {}}, AddressCase{"+1.2.3.4", false, {}},
        AddressCase{" 1.2.3.4", false, {}}, AddressCase{"1.2.3.4 ", false, {}},
        AddressCase{"0x7f.0.0.1", false, {}}, AddressCase{"usb", false, {}},
        AddressCase{" USB", false, {}}, AddressCase{"USB1", false, {}}));

class OpenConnectionTest : public LinkTest {};

TEST_F(OpenConnectionTest, RejectedTextsOpenNothingAndTouchNoSocket) {
  ScriptedUsbDriver driver;
  driver.AddDevice(0);
  const int uses = platform::SocketsLibraryUses();
  for (const char* text : {"usb", " USB", "USB ", "USB1", "192.168.1.300",
                           "10.0.0.1234", "1.2.3", "", "localhost"}) {
    EXPECT_EQ(OpenConnection(connection_, text), 0) << text;
    EXPECT_EQ(connection_.hSocket, platform::kInvalidSocket) << text;
    EXPECT_EQ(connection_.hUsbDevice, nullptr) << text;
    EXPECT_EQ(connection_.bSocketsStarted, 0) << text;
  }
  EXPECT_EQ(platform::SocketsLibraryUses(), uses);
  EXPECT_TRUE(driver.OpenedIndices().empty());
}

// --- TCP open ----------------------------------------------------------------

TEST_F(OpenConnectionTest, ConnectsOverTcpWithTheInitialLimits) {
  TcpTestPeer peer({AwaitClose()});
  ASSERT_TRUE(peer.listening());
  ASSERT_TRUE(ConnectTo(peer));
  EXPECT_NE(connection_.hSocket, platform::kInvalidSocket);
  EXPECT_EQ(connection_.hUsbDevice, nullptr);
  EXPECT_EQ(connection_.dwCommandTimeoutMs, 12000u);
  EXPECT_EQ(connection_.dwDataTimeoutMs, 120000u);
  EXPECT_EQ(CloseConnection(connection_), 1);
  EXPECT_EQ(connection_.hSocket, platform::kInvalidSocket);
  peer.Finish();
  EXPECT_EQ(peer.accepted(), 1);
}

TEST_F(OpenConnectionTest, ReachesPeersOnOtherLoopbackAddresses) {
  TcpTestPeer peer({AwaitClose()}, {127, 0, 0, 2});
  ASSERT_TRUE(peer.listening());
  SetScannerTcpPort(peer.port());
  EXPECT_EQ(OpenConnection(connection_, "127.0.0.2"), 1);
  CloseConnection(connection_);
  peer.Finish();
  EXPECT_EQ(peer.accepted(), 1);
}

TEST_F(OpenConnectionTest, RefusedConnectionFailsAtOnce) {
  // Real time: a refusal must not wait out the 12-second connect limit.
  platform::Clock::SetScale(1.0);
  platform::StartSockets();
  const platform::SocketHandle probe =
      platform::ListenTcp(platform::kLoopbackAddress, 0, 1);
  const std::uint16_t port = platform::LocalPort(probe);
  platform::CloseSocket(probe);
  platform::StopSockets();
  ASSERT_NE(port, 0);

  SetScannerTcpPort(port);
  const std::uint32_t start = platform::Clock::TickCount();
  EXPECT_EQ(OpenConnection(connection_, "127.0.0.1"), 0);
  EXPECT_LT(platform::Clock::TickCount() - start, 6000u);
  EXPECT_EQ(connection_.hSocket, platform::kInvalidSocket);
}

TEST_F(OpenConnectionTest, SilentAddressFailsAtTheConnectWait) {
  // A listener that accepts nothing, its queue filled: further connects
  // get no answer at all, like an address where nothing listens.
  platform::StartSockets();
  const platform::SocketHandle listener =
      platform::ListenTcp(platform::kLoopbackAddress, 0, 0);
  const std::uint16_t port = platform::LocalPort(listener);
  std::vector<platform::SocketHandle> fillers;
  for (int i = 0; i < 4; ++i) {
    fillers.push_back(platform::CreateTcpSocket());
    platform::SetNonBlocking(fillers.back(), true);
    platform::StartConnect(fillers.back(), platform::kLoopbackAddress, port);
  }
  platform::Clock::SetScale(100.0);  // the 12 s wait passes in 120 ms
  SetScannerTcpPort(port);
  const std::uint32_t start = platform::Clock::TickCount();
  const int result = OpenConnection(connection_, "127.0.0.1");
  const std::uint32_t elapsed = platform::Clock::TickCount() - start;
  for (const platform::SocketHandle filler : fillers) {
    platform::CloseSocket(filler);
  }
  platform::CloseSocket(listener);
  platform::StopSockets();
  if (result == 1) GTEST_SKIP() << "this system answered the full queue";
  EXPECT_GE(elapsed, 11000u);
  EXPECT_EQ(connection_.hSocket, platform::kInvalidSocket);
}

TEST_F(OpenConnectionTest, StartsTheSocketsLibraryOncePerRecord) {
  TcpTestPeer first({AwaitClose()});
  TcpTestPeer second({AwaitClose()});
  const int uses = platform::SocketsLibraryUses();
  ASSERT_TRUE(ConnectTo(first));
  CloseConnection(connection_);
  ASSERT_TRUE(ConnectTo(second));
  EXPECT_EQ(connection_.bSocketsStarted, 1);
  EXPECT_EQ(platform::SocketsLibraryUses(), uses + 1);
  CloseConnection(connection_);
  CleanupSockets(connection_);
  CleanupSockets(connection_);
  EXPECT_EQ(platform::SocketsLibraryUses(), uses);
}

TEST_F(OpenConnectionTest, ScopeClosesAndEndsTheSocketsUse) {
  TcpTestPeer peer({AwaitClose()});
  const int uses = platform::SocketsLibraryUses();
  {
    DeviceConnection local;
    InitConnection(local);
    ConnectionScope scope(local);
    SetScannerTcpPort(peer.port());
    ASSERT_EQ(OpenConnection(local, "127.0.0.1"), 1);
  }
  EXPECT_EQ(platform::SocketsLibraryUses(), uses);
  peer.Finish();  // returns only once the link's end is closed
}

TEST_F(OpenConnectionTest, CloseOfAClosedRecordDoesNothing) {
  EXPECT_EQ(CloseConnection(connection_), 1);
  EXPECT_EQ(CloseConnection(connection_), 1);
  EXPECT_EQ(connection_.hSocket, platform::kInvalidSocket);
  EXPECT_EQ(connection_.bSocketsStarted, 0);
}

// --- USB open ----------------------------------------------------------------

TEST_F(OpenConnectionTest, LowestMatchingStillImageIndexWins) {
  ScriptedUsbDriver driver;
  const auto other = driver.AddDevice(2);
  other->descriptor.usProductId = 0x1234;
  const auto silent = driver.AddDevice(3);
  silent->descriptor_ok = false;
  const auto first = driver.AddDevice(5);
  const auto second = driver.AddDevice(9);

  ASSERT_EQ(OpenConnection(connection_, "USB"), 1);
  ASSERT_NE(connection_.hUsbDevice, nullptr);
  EXPECT_EQ(driver.OpenedIndices(), (std::vector<int>{2, 3, 5}));
  EXPECT_TRUE(other->closed);
  EXPECT_TRUE(silent->closed);
  EXPECT_FALSE(first->closed);
  // The device that did not answer its descriptor request is reported.
  EXPECT_EQ(Console(), "Get device descriptor error!!\n\n");

  EXPECT_EQ(CloseConnection(connection_), 1);
  EXPECT_EQ(connection_.hUsbDevice, nullptr);
  EXPECT_TRUE(first->closed);
  EXPECT_EQ(connection_.bSocketsStarted, 0);
}

TEST_F(OpenConnectionTest, UsbFailsWithoutAMatchingDevice) {
  ScriptedUsbDriver driver;
  driver.AddDevice(0)->descriptor.usVendorId = 0x04B8;
  driver.AddDevice(255)->descriptor.usProductId = 0x0001;
  EXPECT_EQ(OpenConnection(connection_, "USB"), 0);
  EXPECT_EQ(connection_.hUsbDevice, nullptr);
  EXPECT_EQ(driver.OpenedIndices(), (std::vector<int>{0, 255}));
}

TEST_F(OpenConnectionTest, DefaultDriverFindsNoScannerHere) {
  // Linux has no still-image driver yet; Wine has no usbscan devices.
  EXPECT_EQ(OpenConnection(connection_, "USB"), 0);
  EXPECT_EQ(connection_.hUsbDevice, nullptr);
}

}  // namespace
}  // namespace refloq::link::testing
