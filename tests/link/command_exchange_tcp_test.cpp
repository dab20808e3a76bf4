// The link operations over TCP against scripted loopback peers.
#include <gtest/gtest.h>

#include <string>

#include "link/command_exchange.h"
#include "link/trace.h"
#include "tests/link/link_fixture.h"

namespace refloq::link::testing {
namespace {

class TcpExchangeTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    SetTraceObserver([this](std::string_view line) {
      const std::lock_guard<std::mutex> lock(trace_mutex_);
      trace_.emplace_back(line);
    });
  }
  void TearDown() override {
    SetTraceObserver({});
    LinkTest::TearDown();
  }
  std::vector<std::string> Trace() {
    const std::lock_guard<std::mutex> lock(trace_mutex_);
    return trace_;
  }

  const std::vector<std::uint8_t> block_ = Bytes(16, 0x30);
  const std::vector<std::uint8_t> reply_ = Bytes(32, 0x80);

 private:
  std::mutex trace_mutex_;
  std::vector<std::string> trace_;
};

TEST_F(TcpExchangeTest, BlockAndReplyInPiecesAreAssembledInOrder) {
  // Every send and receive moves at most 10 bytes: the block leaves as 10
  // and 6, the reply arrives as 10, 10, 10 and 2.
  const auto long_reply = Bytes(108, 0x10);
  TcpTestPeer peer(
      {Receive(16), Send(reply_), Receive(16), Send(long_reply), AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  platform::SetTransferLimitForTesting(10);

  std::vector<std::uint8_t> reply(32);
  ASSERT_EQ(ExchangeCommand(connection_, block_.data(), reply.data()), 1);
  EXPECT_EQ(reply, reply_);
  std::vector<std::uint8_t> reply108(108);
  ASSERT_EQ(ExchangeCommandLong(connection_, block_.data(), reply108.data()),
            1);
  EXPECT_EQ(reply108, long_reply);

  CloseConnection(connection_);
  std::vector<std::uint8_t> expected = block_;
  expected.insert(expected.end(), block_.begin(), block_.end());
  EXPECT_EQ(peer.Finish(), expected);
  EXPECT_TRUE(Trace().empty());  // command phases write no trace lines
  EXPECT_EQ(Console(), "");
}

TEST_F(TcpExchangeTest, SilentPeerFailsAtTheCommandLimit) {
  TcpTestPeer peer({Receive(16), AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  platform::Clock::SetScale(kFastScale);
  std::vector<std::uint8_t> reply(32);
  const std::uint32_t start = platform::Clock::TickCount();
  EXPECT_EQ(ExchangeCommand(connection_, block_.data(), reply.data()), 0);
  EXPECT_GE(platform::Clock::TickCount() - start, kCommandTimeoutMs - 1000);
}

TEST_F(TcpExchangeTest, SilentPeerFailsADataPhaseAtTheDataLimit) {
  TcpTestPeer peer({Send(Bytes(40)), AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  platform::Clock::SetScale(kFastScale);
  std::vector<std::uint8_t> data(100);
  const std::uint32_t start = platform::Clock::TickCount();
  EXPECT_EQ(ReceiveData(connection_, data.data(), 100, "", 0), 0);
  EXPECT_GE(platform::Clock::TickCount() - start, kDataTimeoutMs - 10000);
}

TEST_F(TcpExchangeTest, DataStillArrivingAtTheLimitEndsThePhaseWithItsTrace) {
  // One byte every 5 ms keeps each receive well inside its time-out while
  // the phase runs past its limit (120 s at scale 250: 480 ms).
  TcpTestPeer peer({Trickle(Bytes(250), 5)});
  ASSERT_TRUE(ConnectTo(peer));
  platform::Clock::SetScale(250.0);
  std::vector<std::uint8_t> buffer(250);
  EXPECT_EQ(ReceiveData(connection_, buffer.data(), 250, "", 0), 0);
  EXPECT_EQ(Trace(), (std::vector<std::string>{"==>recv data time out"}));
}

// A peer that has closed fails the phase at once, long before its limit
// (the clock runs fast enough here that waiting out a limit would show,
// and slow enough that "at once" has room on a loaded machine).
struct ClosingPeerCase {
  const char* name;
  std::vector<PeerStep> script;
  bool data_phase;  // ReceiveData of 100 bytes, else ExchangeCommand
};

class ClosingPeer : public TcpExchangeTest,
                    public ::testing::WithParamInterface<ClosingPeerCase> {};

TEST_P(ClosingPeer, FailsAtOnce) {
  const bool data_phase = GetParam().data_phase;
  const std::uint32_t limit = data_phase ? kDataTimeoutMs : kCommandTimeoutMs;
  TcpTestPeer peer(GetParam().script);
  ASSERT_TRUE(ConnectTo(peer));
  platform::Clock::SetScale(data_phase ? 100.0 : 10.0);  // 1.2 s real
  std::vector<std::uint8_t> buffer(108);
  const std::uint32_t start = platform::Clock::TickCount();
  const int result =
      data_phase ? ReceiveData(connection_, buffer.data(), 100, "", 0)
                 : ExchangeCommand(connection_, block_.data(), buffer.data());
  EXPECT_EQ(result, 0);
  EXPECT_LT(platform::Clock::TickCount() - start, limit / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClosingPeer,
    ::testing::Values(
        ClosingPeerCase{"BeforeReply", {Receive(16), Close()}, false},
        ClosingPeerCase{
            "MidReply", {Receive(16), Send(Bytes(10)), Close()}, false},
        ClosingPeerCase{"MidData", {Send(Bytes(40)), Close()}, true}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(TcpExchangeTest, SendDataFailsWhenThePeerHasGone) {
  // As in a transfer, the block exchange before the data leaves its send
  // time-out on the socket; that bounds each send call where the platform
  // does not report the reset at once (Wine).
  TcpTestPeer peer({Receive(16), Send(reply_), Receive(100), Close()});
  ASSERT_TRUE(ConnectTo(peer));
  std::vector<std::uint8_t> reply(32);
  ASSERT_EQ(ExchangeCommand(connection_, block_.data(), reply.data()), 1);
  // The same time-out on a clock 100 times as fast.
  platform::Clock::SetScale(100.0);
  ASSERT_TRUE(platform::SetSendTimeout(connection_.hSocket, kCommandTimeoutMs));
  const std::vector<std::uint8_t> data(16u << 20, 0x5A);
  EXPECT_EQ(SendData(connection_, data.data(),
                     static_cast<std::uint32_t>(data.size()), "", 0),
            0);
}

TEST_F(TcpExchangeTest, ImageToAScannerThatStopsReadingFailsAtTheDataLimit) {
  // As the firmware transfer does it: the block alone, then the data, on a
  // socket no exchange has given a send time-out.
  TcpTestPeer peer({Receive(16), Stall()});
  ASSERT_TRUE(ConnectTo(peer));
  ASSERT_EQ(SendCommandOnly(connection_, block_.data()), 1);
  platform::Clock::SetScale(kFastScale);
  const std::vector<std::uint8_t> image(32u << 20, 0x5A);
  const std::uint32_t start = platform::Clock::TickCount();
  EXPECT_EQ(SendData(connection_, image.data(),
                     static_cast<std::uint32_t>(image.size()), "", 0),
            0);
  const std::uint32_t elapsed = platform::Clock::TickCount() - start;
  EXPECT_GE(elapsed, kDataTimeoutMs - 10000);
  EXPECT_LT(elapsed, 4 * kDataTimeoutMs);
}

TEST_F(TcpExchangeTest, DataPhasesMoveEveryByteAndTraceTheirSteps) {
  const auto incoming = Bytes(3000, 7);
  TcpTestPeer peer(
      {Receive(16), Send(reply_), Receive(5000), Send(incoming), AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  platform::SetTransferLimitForTesting(1000);
  std::vector<std::uint8_t> reply(32);
  ASSERT_EQ(ExchangeCommand(connection_, block_.data(), reply.data()), 1);
  const auto outgoing = Bytes(5000, 3);
  ASSERT_EQ(SendData(connection_, outgoing.data(), 5000, "", 0), 1);
  std::vector<std::uint8_t> buffer(3000);
  ASSERT_EQ(ReceiveData(connection_, buffer.data(), 3000, "", 0), 1);
  EXPECT_EQ(buffer, incoming);

  std::vector<std::string> expected = {"==>In send data do-while"};
  for (int i = 0; i < 5; ++i) {
    expected.push_back("==>Send data start");
    expected.push_back("==>Send data end");
  }
  expected.push_back("==>Out send data do-while");
  expected.push_back("==>Out recv data do-while");
  EXPECT_EQ(Trace(), expected);

  CloseConnection(connection_);
  std::vector<std::uint8_t> sent = block_;
  sent.insert(sent.end(), outgoing.begin(), outgoing.end());
  EXPECT_EQ(peer.Finish(), sent);
}

TEST_F(TcpExchangeTest, ZeroLengthDataPhasesSucceed) {
  TcpTestPeer peer({AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  std::uint8_t byte = 0;
  EXPECT_EQ(SendData(connection_, &byte, 0, "", 0), 1);
  EXPECT_EQ(ReceiveData(connection_, &byte, 0, "", 0), 1);
  EXPECT_EQ(Trace(), (std::vector<std::string>{
                         "==>In send data do-while", "==>Send data start",
                         "==>Send data end", "==>Out send data do-while",
                         "==>Out recv data do-while"}));
}

TEST_F(TcpExchangeTest, SendCommandOnlySendsTheBlockAlone) {
  TcpTestPeer peer({Receive(16), AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  platform::SetTransferLimitForTesting(6);
  EXPECT_EQ(SendCommandOnly(connection_, block_.data()), 1);
  CloseConnection(connection_);
  EXPECT_EQ(peer.Finish(), block_);
}

TEST_F(TcpExchangeTest, OperationsOnAClosedRecordFail) {
  std::vector<std::uint8_t> buffer(108);
  EXPECT_EQ(ExchangeCommand(connection_, block_.data(), buffer.data()), 0);
  EXPECT_EQ(SendCommandOnly(connection_, block_.data()), 0);
  EXPECT_EQ(SendData(connection_, buffer.data(), 10, "", 0), 0);
  EXPECT_EQ(ReceiveData(connection_, buffer.data(), 10, "", 0), 0);
}

}  // namespace
}  // namespace refloq::link::testing
