#pragma once
// Common ground of the link tests: a compressed clock, the console texts
// captured, and helpers to connect a record to a test peer.
#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "link/device_connection.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/socket.h"
#include "tests/link/tcp_test_peer.h"

namespace refloq::link::testing {

// Tests of the time limits run the clock this fast: 12 s command limits
// pass in 12 ms, 120 s data limits in 120 ms.  Other tests run at scale 1,
// where no limit comes near, and a test switches to a fast clock only after
// its own set-up (connect, earlier exchanges) is done.
inline constexpr double kFastScale = 1000.0;

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetConsoleCapture([this](std::string_view text) {
      const std::lock_guard<std::mutex> lock(console_mutex_);
      console_ += text;
    });
    InitConnection(connection_);
  }

  void TearDown() override {
    CloseConnection(connection_);
    CleanupSockets(connection_);
    platform::SetConsoleCapture({});
    platform::SetTransferLimitForTesting(0);
    SetScannerTcpPort(0);
    platform::Clock::SetScale(1.0);
  }

  std::string Console() {
    const std::lock_guard<std::mutex> lock(console_mutex_);
    return console_;
  }

  // Opens connection_ to the peer on 127.0.0.1.
  bool ConnectTo(const TcpTestPeer& peer) {
    SetScannerTcpPort(peer.port());
    return OpenConnection(connection_, "127.0.0.1") == 1;
  }

  DeviceConnection connection_;

 private:
  std::mutex console_mutex_;
  std::string console_;
};

inline std::vector<std::uint8_t> Bytes(std::size_t count,
                                       std::uint8_t first = 1) {
  std::vector<std::uint8_t> out(count);
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = static_cast<std::uint8_t>(first + i);
  }
  return out;
}

}  // namespace refloq::link::testing
