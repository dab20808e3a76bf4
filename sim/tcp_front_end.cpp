#include "sim/tcp_front_end.h"

#include <algorithm>
#include <vector>

#include "platform/clock.h"
#include "sim/session.h"

namespace refloq::sim {
namespace {

// How often the threads look at the stop flag, in real milliseconds.
constexpr double kPollRealMs = 20.0;
constexpr int kBacklog = 16;
constexpr std::size_t kReceiveChunk = 64 * 1024;

// A poll interval in scaled milliseconds (the socket layer scales limits).
std::uint32_t PollMs() {
  return std::max<std::uint32_t>(
      1, static_cast<std::uint32_t>(kPollRealMs * platform::Clock::Scale()));
}

}  // namespace

TcpFrontEnd::TcpFrontEnd(DeviceEngine& engine, platform::Ipv4Address address,
                         std::uint16_t port)
    : engine_(engine), address_(address), port_(port) {}

TcpFrontEnd::~TcpFrontEnd() { Stop(); }

std::string TcpFrontEnd::AddressText() const {
  return std::to_string(address_[0]) + "." + std::to_string(address_[1]) + "." +
         std::to_string(address_[2]) + "." + std::to_string(address_[3]);
}

bool TcpFrontEnd::Start() {
  if (acceptor_.joinable()) return true;
  if (!sockets_started_) {
    if (!platform::StartSockets()) return false;
    sockets_started_ = true;
  }
  listener_ = platform::ListenTcp(address_, port_, kBacklog);
  if (listener_ == platform::kInvalidSocket) return false;
  port_ = platform::LocalPort(listener_);
  stop_ = false;
  registration_ = engine_.RegisterFrontEnd();
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void TcpFrontEnd::Stop() {
  stop_ = true;
  if (acceptor_.joinable()) {
    acceptor_.join();
    engine_.UnregisterFrontEnd(registration_);
  }
  if (listener_ != platform::kInvalidSocket) {
    platform::CloseSocket(listener_);
    listener_ = platform::kInvalidSocket;
  }
  ReapFinished(true);
  if (sockets_started_) {
    platform::StopSockets();
    sockets_started_ = false;
  }
}

void TcpFrontEnd::AcceptLoop() {
  while (!stop_) {
    ReapFinished(false);
    const DeviceEngine::ConnectionPolicy policy =
        engine_.CurrentConnectionPolicy();
    if (policy.refuse && listener_ != platform::kInvalidSocket) {
      platform::CloseSocket(listener_);
      listener_ = platform::kInvalidSocket;
    } else if (!policy.refuse && listener_ == platform::kInvalidSocket) {
      listener_ = platform::ListenTcp(address_, port_, kBacklog);
    }
    engine_.PolicyApplied(registration_, policy.version);
    if (listener_ == platform::kInvalidSocket) {
      Pause(PollMs());
      continue;
    }
    const platform::SocketHandle socket =
        platform::AcceptTcp(listener_, PollMs());
    if (socket == platform::kInvalidSocket) continue;
    auto connection = std::make_unique<Connection>();
    Connection* raw = connection.get();
    raw->thread = std::thread([this, socket, raw] {
      Serve(socket);
      raw->done = true;
    });
    std::lock_guard lock(connections_mutex_);
    connections_.push_back(std::move(connection));
  }
}

void TcpFrontEnd::ReapFinished(bool all) {
  std::list<std::unique_ptr<Connection>> finished;
  {
    std::lock_guard lock(connections_mutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
      if (all || (*it)->done) {
        finished.push_back(std::move(*it));
        it = connections_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& connection : finished) connection->thread.join();
}

bool TcpFrontEnd::Pause(std::uint32_t ms) {
  const std::uint32_t start = platform::Clock::TickCount();
  while (!stop_ && !platform::Clock::HasPassed(start, ms)) {
    platform::Clock::Sleep(std::min(ms, PollMs()));
  }
  return !stop_;
}

void TcpFrontEnd::Serve(platform::SocketHandle socket) {
  std::unique_ptr<Session> session = engine_.OpenSession("tcp");
  platform::SetNoDelay(socket, true);
  platform::SetSendTimeout(socket, PollMs() * 50);
  std::vector<std::uint8_t> buffer(kReceiveChunk);
  bool open = true;
  while (open && !stop_) {
    while (open) {
      std::optional<SessionAction> action = session->NextAction();
      if (!action) break;
      switch (action->kind) {
        case SessionAction::Kind::kPause:
          open = Pause(action->pause_ms);
          break;
        case SessionAction::Kind::kClose:
          open = false;
          break;
        case SessionAction::Kind::kSend: {
          std::size_t sent = 0;
          while (open && sent < action->bytes.size()) {
            const std::int64_t count =
                platform::Send(socket, action->bytes.data() + sent,
                               action->bytes.size() - sent);
            if (count <= 0) open = false;
            if (count > 0) sent += static_cast<std::size_t>(count);
          }
          break;
        }
      }
    }
    if (!open) break;
    if (!platform::WaitReadable(socket, PollMs())) continue;
    const std::int64_t count =
        platform::Receive(socket, buffer.data(), buffer.size());
    if (count <= 0) break;  // the host closed, or the connection failed
    session->Receive({buffer.data(), static_cast<std::size_t>(count)});
  }
  platform::ShutdownBoth(socket);
  platform::CloseSocket(socket);
}

}  // namespace refloq::sim
