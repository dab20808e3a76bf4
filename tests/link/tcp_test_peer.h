#pragma once
// A scripted scanner on a loopback address and a free port: it accepts one
// connection and runs its steps in order on its own thread, recording what
// it received.  Waits inside the peer are real time (a few seconds at
// most), whatever the clock's scale, so a peer never gives up before the
// link under test does; the destructor ends a script still waiting.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace refloq::link::testing {

struct PeerStep {
  enum class Kind {
    kReceive,     // receive exactly `count` bytes
    kSend,        // send `bytes`
    kClose,       // close the connection
    kAwaitClose,  // stay silent until the link closes its end
    kTrickle,     // send `bytes` one at a time, `count` real ms apart
    kStall,       // keep the connection open, reading nothing
  };
  Kind kind;
  std::vector<std::uint8_t> bytes;
  std::size_t count = 0;
};

PeerStep Receive(std::size_t count);
PeerStep Send(std::vector<std::uint8_t> bytes);
PeerStep Close();
PeerStep AwaitClose();
PeerStep Stall();
PeerStep Trickle(std::vector<std::uint8_t> bytes, std::size_t interval_ms);

class TcpTestPeer {
 public:
  explicit TcpTestPeer(std::vector<PeerStep> script,
                       platform::Ipv4Address address = {127, 0, 0, 1});
  // Ends a script still waiting on the link (whose end may still be open)
  // and waits for the thread.
  ~TcpTestPeer();
  TcpTestPeer(const TcpTestPeer&) = delete;
  TcpTestPeer& operator=(const TcpTestPeer&) = delete;

  bool listening() const { return port_ != 0; }
  std::uint16_t port() const { return port_; }
  // Waits for the script to end, then returns what the peer received.
  std::vector<std::uint8_t> Finish();
  // Connections accepted (at most one).
  int accepted() const;

 private:
  void Run(std::vector<PeerStep> script);
  bool WaitForData(platform::SocketHandle socket);

  platform::SocketHandle listener_ = platform::kInvalidSocket;
  std::uint16_t port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::uint8_t> received_;
  int accepted_ = 0;
  std::atomic<bool> stopping_{false};
};

// Real milliseconds as a scaled limit for the platform calls.
std::uint32_t RealMs(std::uint32_t ms);

}  // namespace refloq::link::testing
