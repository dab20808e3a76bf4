#include "link/control_pipe.h"

#include <gtest/gtest.h>

#include "tests/link/link_fixture.h"
#include "tests/link/scripted_usb_device.h"

namespace refloq::link::testing {
namespace {

using Request = int (*)(DeviceConnection&);

class ControlPipe : public LinkTest {
 protected:
  std::shared_ptr<UsbScript> OpenUsb() {
    auto script = driver_.AddDevice(0);
    EXPECT_EQ(OpenConnection(connection_, "USB"), 1);
    return script;
  }
  ScriptedUsbDriver driver_;
};

TEST_F(ControlPipe, TcpOrClosedRecordsSucceedWithoutSending) {
  const auto script = driver_.AddDevice(0);
  TcpTestPeer peer({AwaitClose()});
  ASSERT_TRUE(ConnectTo(peer));
  EXPECT_EQ(LockControlPipe(connection_), 1);
  EXPECT_EQ(UnlockControlPipe(connection_), 1);
  CloseConnection(connection_);
  EXPECT_EQ(LockControlPipe(connection_), 1);
  EXPECT_EQ(UnlockControlPipe(connection_), 1);
  EXPECT_TRUE(script->vendor_requests.empty());
  EXPECT_TRUE(driver_.OpenedIndices().empty());
}

TEST_F(ControlPipe, SendsVendorRequestsOneAndTwoWithAZeroedReply) {
  const auto script = OpenUsb();
  script->vendor_reply.clear();  // the driver fills nothing: success
  EXPECT_EQ(LockControlPipe(connection_), 1);
  EXPECT_EQ(UnlockControlPipe(connection_), 1);
  ASSERT_EQ(script->vendor_requests.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const platform::VendorRequest& r = script->vendor_requests[i];
    EXPECT_EQ(r.bmRequestType, 0xC0);
    EXPECT_EQ(r.bRequest, i == 0 ? 1 : 2);
    EXPECT_EQ(r.wValue, 4);
    EXPECT_EQ(r.wIndex, 0);
    EXPECT_EQ(script->vendor_buffers_on_entry[i],
              std::vector<std::uint8_t>(5, 0));
  }
  EXPECT_EQ(Console(), "");
}

struct ReplyCase {
  bool call_ok;
  std::vector<std::uint8_t> reply;
  int result;
};

class ControlPipeReply : public ControlPipe,
                         public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ControlPipeReply, ResultByteFourDecides) {
  const auto script = OpenUsb();
  script->vendor_ok = GetParam().call_ok;
  script->vendor_reply = GetParam().reply;
  for (const Request request : {&LockControlPipe, &UnlockControlPipe}) {
    EXPECT_EQ(request(connection_), GetParam().result);
  }
  EXPECT_EQ(Console(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlPipeReply,
    ::testing::Values(ReplyCase{true, {9, 9, 9, 9, 0}, 1},
                      ReplyCase{true, {0, 0, 0, 0, 1}, 0},
                      ReplyCase{true, {0, 0, 0, 0, 0xFF}, 0},
                      ReplyCase{false, {0, 0, 0, 0, 0}, 0}));

}  // namespace
}  // namespace refloq::link::testing
