// The link operations over a scripted still-image device: each case gives
// the device's script, the operation, its result and the console text.
#include <gtest/gtest.h>

#include <string>

#include "link/command_exchange.h"
#include "link/trace.h"
#include "tests/link/link_fixture.h"
#include "tests/link/scripted_usb_device.h"

namespace refloq::link::testing {
namespace {

using platform::UsbWriteResult;
using platform::UsbWriteStatus;

enum class Op { kExchange, kExchangeLong, kCommandOnly, kSendData, kReceive };

struct UsbCase {
  const char* name;
  Op op;
  std::uint32_t length;  // data phases
  std::vector<UsbWriteResult> writes;
  std::vector<UsbRead> reads;
  int result;
  const char* console;
  int read_calls;  // -1: not checked
  // Cases that run into a time limit run the clock fast; the others keep
  // real time so a busy machine cannot push them past a limit.
  double scale = 1.0;
};

const std::vector<std::uint8_t> kReply = Bytes(32, 0x80);
const std::vector<std::uint8_t> kLongReply = Bytes(108, 0x10);
const std::vector<std::uint8_t> kBlock = Bytes(16, 0x30);

class UsbExchange : public LinkTest,
                    public ::testing::WithParamInterface<UsbCase> {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    script_ = driver_.AddDevice(0);
    ASSERT_EQ(OpenConnection(connection_, "USB"), 1);
    SetTraceObserver([this](std::string_view) { ++trace_lines_; });
  }
  void TearDown() override {
    SetTraceObserver({});
    LinkTest::TearDown();
  }

  ScriptedUsbDriver driver_;
  std::shared_ptr<UsbScript> script_;
  std::atomic<int> trace_lines_{0};
};

TEST_P(UsbExchange, Case) {
  const UsbCase& c = GetParam();
  platform::Clock::SetScale(c.scale);
  script_->writes_to_come.assign(c.writes.begin(), c.writes.end());
  script_->reads_to_come.assign(c.reads.begin(), c.reads.end());
  std::vector<std::uint8_t> buffer(c.length > 108 ? c.length : 108, 0xEE);
  const std::vector<std::uint8_t> data = Bytes(c.length, 0x40);

  int result = -1;
  switch (c.op) {
    case Op::kExchange:
      result = ExchangeCommand(connection_, kBlock.data(), buffer.data());
      break;
    case Op::kExchangeLong:
      result = ExchangeCommandLong(connection_, kBlock.data(), buffer.data());
      break;
    case Op::kCommandOnly:
      result = SendCommandOnly(connection_, kBlock.data());
      break;
    case Op::kSendData:
      result = SendData(connection_, data.data(), c.length, "", 0);
      break;
    case Op::kReceive:
      result = ReceiveData(connection_, buffer.data(), c.length, "", 0);
      break;
  }
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(Console(), c.console);
  if (c.read_calls >= 0) {
    EXPECT_EQ(script_->read_calls, c.read_calls);
  }
  EXPECT_EQ(trace_lines_.load(), 0);  // no USB path traces

  // What went out: one write of the block, or of the data.
  ASSERT_FALSE(script_->writes.empty() && c.op != Op::kReceive);
  if (c.op == Op::kSendData) {
    EXPECT_EQ(script_->writes, (std::vector<std::vector<std::uint8_t>>{data}));
  } else if (c.op != Op::kReceive) {
    EXPECT_EQ(script_->writes,
              (std::vector<std::vector<std::uint8_t>>{kBlock}));
    EXPECT_EQ(script_->write_waits, (std::vector<std::uint32_t>{1000}));
  }
  // What came in, where the phase succeeded.
  if (c.result == 1 && c.op == Op::kExchange) {
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 32),
              kReply);
  }
  if (c.result == 1 && c.op == Op::kExchangeLong) {
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 108),
              kLongReply);
  }
  if (c.result == 1 && c.op == Op::kReceive) {
    EXPECT_EQ(
        std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + c.length),
        Bytes(c.length, 1));
  }
}

std::vector<std::uint8_t> Slice(std::uint32_t from, std::uint32_t to) {
  const auto all = Bytes(300, 1);
  return {all.begin() + from, all.begin() + to};
}

UsbRead Empty(int repeat = 1) { return {true, {}, repeat}; }
UsbRead Refused(int repeat = 1) { return {false, {}, repeat}; }
UsbRead Brings(std::vector<std::uint8_t> bytes) {
  return {true, std::move(bytes), 1};
}

const UsbWriteResult kDone16{UsbWriteStatus::kDone, 16};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, UsbExchange,
    ::testing::Values(
        // Fixed replies.
        UsbCase{"ReplyInOneRead", Op::kExchange, 0, {}, {Brings(kReply)}, 1, "", 1},
        UsbCase{"LongReplyInOneRead", Op::kExchangeLong, 0, {}, {Brings(kLongReply)}, 1, "", 1},
        UsbCase{"ReplyAfterEmptyReads", Op::kExchange, 0, {}, {Empty(5), Brings(kReply)}, 1, "", 6},
        UsbCase{"ReplySplitOverReads", Op::kExchange, 0, {},
                {Brings(Bytes(10, 0x80)), Brings(Bytes(22, 0x8A))},
                0, "Request and return USB data size not matched!!\n\n", 2},
        UsbCase{"ReplyReadRefused", Op::kExchange, 0, {}, {Refused()}, 0, "Read from USB error!!\n\n", 1},
        // Empty reads end at the command limit (12 s, 10 ms apart).
        UsbCase{"EndlessEmptyReadsFailAtTheLimit", Op::kExchange, 0, {}, {},
                0, "USB timeout error!!\n\n", -1, kFastScale},
        // Writes.
        UsbCase{"WriteTimedOut", Op::kExchange, 0, {{UsbWriteStatus::kTimedOut, 0}}, {},
                0, "USB timeout error!!\n\n", 0},
        UsbCase{"WriteRefused", Op::kCommandOnly, 0, {{UsbWriteStatus::kRefused, 0}}, {},
                0, "Write to USB error!!\n\n", 0},
        UsbCase{"WriteResultUnavailable", Op::kExchange, 0, {{UsbWriteStatus::kResultUnavailable, 0}}, {},
                0, "Get USB overlapped result error!!\n\n", 0},
        UsbCase{"WriteShort", Op::kExchange, 0, {{UsbWriteStatus::kDone, 10}}, {},
                0, "Request and return USB data size not matched!!\n\n", 0},
        UsbCase{"EventNotCreated", Op::kSendData, 64, {{UsbWriteStatus::kEventFailed, 0}}, {}, 0, "", 0},
        UsbCase{"CommandOnly", Op::kCommandOnly, 0, {kDone16}, {}, 1, "", 0},
        UsbCase{"SendDataInOneWrite", Op::kSendData, 5000, {}, {}, 1, "", 0},
        UsbCase{"SendDataShort", Op::kSendData, 5000, {{UsbWriteStatus::kDone, 4096}}, {},
                0, "Request and return USB data size not matched!!\n\n", 0},
        UsbCase{"SendDataZeroLength", Op::kSendData, 0, {}, {}, 1, "", 0},
        // Data in.
        UsbCase{"ReceiveOverSeveralReads", Op::kReceive, 250, {},
                {Brings(Slice(0, 100)), Empty(3), Brings(Slice(100, 101)), Brings(Slice(101, 250))},
                1, "", 6},
        UsbCase{"ReceiveZeroLength", Op::kReceive, 0, {}, {}, 1, "", 1},
        UsbCase{"ReceiveAfter1000FailedReads", Op::kReceive, 20, {},
                {Refused(1000), Brings(Slice(0, 20))}, 1, "", 1001},
        // The 1001st failed read fails the phase; the program goes on.
        UsbCase{"ReceiveFailsAfter1001FailedReads", Op::kReceive, 20, {},
                {Refused(1001), Brings(Slice(0, 20))}, 0, "Read from USB error!!\n\n", 1001},
        // Reads that bring nothing end at the data limit (120 s).
        UsbCase{"ReceiveFailsWhenNothingComes", Op::kReceive, 20, {},
                {Brings(Slice(0, 5))}, 0, "USB timeout error!!\n\n", -1, kFastScale}),
    [](const auto& param_info) { return std::string(param_info.param.name); });
// clang-format on

}  // namespace
}  // namespace refloq::link::testing
