// The socket layer on loopback: what the link's tests do not reach.
#include "platform/socket.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"

namespace refloq::platform {
namespace {

class Sockets : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartSockets()); }
  void TearDown() override {
    Clock::SetScale(1.0);
    StopSockets();
  }
};

TEST_F(Sockets, CountsLibraryUses) {
  const int uses = SocketsLibraryUses();
  ASSERT_TRUE(StartSockets());
  EXPECT_EQ(SocketsLibraryUses(), uses + 1);
  StopSockets();
  EXPECT_EQ(SocketsLibraryUses(), uses);
}

TEST_F(Sockets, UdpDatagramsCarryTheirSender) {
  const SocketHandle receiver = CreateUdpSocket();
  const SocketHandle sender = CreateUdpSocket();
  ASSERT_NE(receiver, kInvalidSocket);
  ASSERT_TRUE(BindSocket(receiver, kLoopbackAddress, 0));
  ASSERT_TRUE(BindSocket(sender, kLoopbackAddress, 0));
  const std::uint16_t port = LocalPort(receiver);
  const std::string text = "<Probe/>";
  ASSERT_EQ(SendTo(sender, reinterpret_cast<const std::uint8_t*>(text.data()),
                   text.size(), kLoopbackAddress, port),
            static_cast<std::int64_t>(text.size()));
  std::uint8_t buffer[64] = {};
  const Datagram got = ReceiveFrom(receiver, buffer, sizeof buffer, 5000);
  ASSERT_EQ(got.count, static_cast<std::int64_t>(text.size()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), text.size()), text);
  EXPECT_EQ(got.from, kLoopbackAddress);
  EXPECT_EQ(got.from_port, LocalPort(sender));
  CloseSocket(sender);
  CloseSocket(receiver);
}

TEST_F(Sockets, WaitsEndAtTheirScaledLimit) {
  Clock::SetScale(1000.0);  // 5 s limits pass in 5 ms
  const SocketHandle udp = CreateUdpSocket();
  ASSERT_TRUE(BindSocket(udp, kLoopbackAddress, 0));
  std::uint8_t buffer[8];
  EXPECT_EQ(ReceiveFrom(udp, buffer, sizeof buffer, 5000).count, -1);
  const SocketHandle listener = ListenTcp(kLoopbackAddress, 0, 1);
  ASSERT_NE(listener, kInvalidSocket);
  EXPECT_EQ(AcceptTcp(listener, 5000), kInvalidSocket);
  CloseSocket(listener);
  CloseSocket(udp);
}

TEST_F(Sockets, MulticastOptionsApplyToAUdpSocket) {
  const SocketHandle udp = CreateUdpSocket();
  EXPECT_TRUE(SetReuseAddress(udp, true));
  EXPECT_TRUE(SetMulticastInterface(udp, kLoopbackAddress));
  EXPECT_TRUE(SetMulticastLoop(udp, false));
  EXPECT_TRUE(SetMulticastTtl(udp, 1));
  CloseSocket(udp);
}

TEST_F(Sockets, TcpPeersExchangeBytesAndSeeTheClose) {
  const SocketHandle listener = ListenTcp(kLoopbackAddress, 0, 1);
  const SocketHandle client = CreateTcpSocket();
  ASSERT_TRUE(SetNonBlocking(client, true));
  StartConnect(client, kLoopbackAddress, LocalPort(listener));
  ASSERT_TRUE(SetNonBlocking(client, false));
  ASSERT_TRUE(WaitConnected(client, 5000));
  const SocketHandle server = AcceptTcp(listener, 5000);
  ASSERT_NE(server, kInvalidSocket);
  EXPECT_TRUE(SetNoDelay(client, true));
  EXPECT_TRUE(SetSendBufferSize(client, 0));
  EXPECT_TRUE(SetSendTimeout(client, 12000));
  EXPECT_TRUE(SetReceiveTimeout(server, 12000));

  const std::uint8_t block[4] = {1, 2, 3, 4};
  EXPECT_EQ(Send(client, block, 4), 4);
  std::uint8_t got[4] = {};
  EXPECT_EQ(Receive(server, got, 4), 4);
  EXPECT_EQ(got[3], 4);
  EXPECT_EQ(Receive(server, got, 0), 0);  // at once, on both targets
  ShutdownBoth(client);
  CloseSocket(client);
  EXPECT_EQ(Receive(server, got, 4), 0);  // the peer has closed
  CloseSocket(server);
  CloseSocket(listener);
}

}  // namespace
}  // namespace refloq::platform
