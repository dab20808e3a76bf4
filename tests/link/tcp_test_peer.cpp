#include "tests/link/tcp_test_peer.h"

#include <chrono>

#include "platform/clock.h"

namespace refloq::link::testing {
namespace {

// Every wait of the peer ends after this much real time, so a failing test
// never leaves the peer hanging; it looks at its stop flag this often.
constexpr auto kPeerPatience = std::chrono::seconds(5);
constexpr std::uint32_t kPollRealMs = 10;

}  // namespace

PeerStep Receive(std::size_t count) {
  return {PeerStep::Kind::kReceive, {}, count};
}
PeerStep Send(std::vector<std::uint8_t> bytes) {
  return {PeerStep::Kind::kSend, std::move(bytes), 0};
}
PeerStep Close() { return {PeerStep::Kind::kClose, {}, 0}; }
PeerStep AwaitClose() { return {PeerStep::Kind::kAwaitClose, {}, 0}; }
PeerStep Stall() { return {PeerStep::Kind::kStall, {}, 0}; }
PeerStep Trickle(std::vector<std::uint8_t> bytes, std::size_t interval_ms) {
  return {PeerStep::Kind::kTrickle, std::move(bytes), interval_ms};
}

std::uint32_t RealMs(std::uint32_t ms) {
  return static_cast<std::uint32_t>(ms * platform::Clock::Scale());
}

TcpTestPeer::TcpTestPeer(std::vector<PeerStep> script,
                         platform::Ipv4Address address) {
  platform::StartSockets();
  listener_ = platform::ListenTcp(address, 0, 4);
  if (listener_ == platform::kInvalidSocket) return;
  port_ = platform::LocalPort(listener_);
  thread_ = std::thread(
      [this, script = std::move(script)]() mutable { Run(std::move(script)); });
}

TcpTestPeer::~TcpTestPeer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  platform::CloseSocket(listener_);
  platform::StopSockets();
}

std::vector<std::uint8_t> TcpTestPeer::Finish() {
  if (thread_.joinable()) thread_.join();
  const std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

int TcpTestPeer::accepted() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return accepted_;
}

// Waits until `socket` is readable, the peer is told to stop, or its
// patience runs out.
bool TcpTestPeer::WaitForData(platform::SocketHandle socket) {
  const auto give_up = std::chrono::steady_clock::now() + kPeerPatience;
  while (!stopping_ && std::chrono::steady_clock::now() < give_up) {
    if (platform::WaitReadable(socket, RealMs(kPollRealMs))) return true;
  }
  return false;
}

void TcpTestPeer::Run(std::vector<PeerStep> script) {
  if (!WaitForData(listener_)) return;
  const platform::SocketHandle peer = platform::AcceptTcp(listener_, 0);
  if (peer == platform::kInvalidSocket) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++accepted_;
  }
  platform::SetSendTimeout(peer, RealMs(5000));
  std::uint8_t buffer[4096];
  for (const PeerStep& step : script) {
    if (step.kind == PeerStep::Kind::kClose) break;
    if (step.kind == PeerStep::Kind::kStall) {
      const auto give_up = std::chrono::steady_clock::now() + kPeerPatience;
      while (!stopping_ && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollRealMs));
      }
      continue;
    }
    if (step.kind == PeerStep::Kind::kTrickle) {
      for (const std::uint8_t byte : step.bytes) {
        if (stopping_ || platform::Send(peer, &byte, 1) != 1) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(step.count));
      }
      continue;
    }
    if (step.kind == PeerStep::Kind::kSend) {
      std::size_t sent = 0;
      while (sent < step.bytes.size()) {
        const std::int64_t count = platform::Send(
            peer, step.bytes.data() + sent, step.bytes.size() - sent);
        if (count <= 0) break;
        sent += static_cast<std::size_t>(count);
      }
      continue;
    }
    // Receive `count` bytes, or everything until the link closes.
    const bool until_close = step.kind == PeerStep::Kind::kAwaitClose;
    std::size_t left = step.count;
    bool open = true;
    while ((until_close || left > 0) && (open = WaitForData(peer))) {
      const std::size_t ask =
          until_close || left > sizeof buffer ? sizeof buffer : left;
      const std::int64_t got = platform::Receive(peer, buffer, ask);
      if (got <= 0) {
        open = false;
        break;
      }
      const std::lock_guard<std::mutex> lock(mutex_);
      received_.insert(received_.end(), buffer, buffer + got);
      left -= until_close ? 0 : static_cast<std::size_t>(got);
    }
    if (!open) break;
  }
  platform::ShutdownBoth(peer);
  platform::CloseSocket(peer);
}

}  // namespace refloq::link::testing
