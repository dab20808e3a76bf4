#include "sim/wsd_responder.h"

#include <algorithm>
#include <random>

#include "link/device_connection.h"
#include "platform/clock.h"
#include "platform/local_addresses.h"
#include "platform/uuid.h"
#include "sim/wsd_messages.h"

namespace refloq::sim {
namespace {

using platform::Clock;

constexpr platform::Ipv4Address kGroup = {239, 255, 255, 250};
constexpr std::uint16_t kPort = 3702;
// How long the thread waits at most before it looks at the stop flag.
constexpr std::uint32_t kPollMs = 20;

std::uint32_t DrawDelay(const WsdBehaviour& behaviour) {
  if (behaviour.fixed_delay_ms) return *behaviour.fixed_delay_ms;
  if (behaviour.max_delay_ms == 0) return 0;
  thread_local std::mt19937 random{std::random_device{}()};
  return std::uniform_int_distribution<std::uint32_t>(
      0, behaviour.max_delay_ms)(random);
}

// Sends from the scanner's own address when it is local, so the answer
// comes from where the scanner lives; from any address otherwise.
void SendFrom(const std::string& source, const platform::Ipv4Address& to,
              std::uint16_t to_port, const std::string& payload) {
  const platform::SocketHandle socket = platform::CreateUdpSocket();
  if (socket == platform::kInvalidSocket) return;
  std::uint8_t bytes[4];
  if (link::ParseIpv4Address(source, bytes)) {
    platform::BindSocket(socket, {bytes[0], bytes[1], bytes[2], bytes[3]}, 0);
  }
  platform::SendTo(socket,
                   reinterpret_cast<const std::uint8_t*>(payload.data()),
                   payload.size(), to, to_port);
  platform::CloseSocket(socket);
}

}  // namespace

WsdResponder::WsdResponder() = default;

WsdResponder::~WsdResponder() { Stop(); }

int WsdResponder::AddScanner(WsdScanner scanner) {
  std::lock_guard lock(mutex_);
  scanners_.push_back(std::move(scanner));
  return static_cast<int>(scanners_.size()) - 1;
}

void WsdResponder::SetBehaviour(int index, const WsdBehaviour& behaviour) {
  std::lock_guard lock(mutex_);
  scanners_.at(static_cast<std::size_t>(index)).behaviour = behaviour;
}

void WsdResponder::SetAddress(int index, const std::string& address) {
  std::lock_guard lock(mutex_);
  scanners_.at(static_cast<std::size_t>(index)).address = address;
}

bool WsdResponder::Start(const std::vector<platform::Ipv4Address>& interfaces) {
  Stop();
  if (!platform::StartSockets()) return false;
  socket_ = platform::CreateUdpSocket();
  bool joined = false;
  if (socket_ != platform::kInvalidSocket &&
      platform::SetReuseAddress(socket_, true) &&
      platform::BindSocket(socket_, platform::kAnyAddress, kPort)) {
    const auto chosen =
        interfaces.empty() ? platform::ListUpIpv4Addresses() : interfaces;
    for (const auto& address : chosen) {
      joined = platform::JoinMulticastGroup(socket_, kGroup, address) || joined;
    }
  }
  if (!joined) {
    if (socket_ != platform::kInvalidSocket) platform::CloseSocket(socket_);
    socket_ = platform::kInvalidSocket;
    platform::StopSockets();
    return false;
  }
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void WsdResponder::Stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  thread_.join();
  platform::CloseSocket(socket_);
  socket_ = platform::kInvalidSocket;
  platform::StopSockets();
  std::lock_guard lock(mutex_);
  pending_.clear();
}

std::vector<ReceivedProbe> WsdResponder::Probes() const {
  std::lock_guard lock(mutex_);
  return probes_;
}

void WsdResponder::ClearProbes() {
  std::lock_guard lock(mutex_);
  probes_.clear();
}

void WsdResponder::Run() {
  std::vector<std::uint8_t> buffer(65536);
  while (!stop_) {
    std::uint32_t wait = kPollMs;
    {
      std::lock_guard lock(mutex_);
      const std::uint32_t now = Clock::TickCount();
      for (const Pending& p : pending_) {
        const auto left = static_cast<std::int32_t>(p.due - now);
        wait = std::min(wait, static_cast<std::uint32_t>(std::max(left, 1)));
      }
    }
    const platform::Datagram datagram =
        platform::ReceiveFrom(socket_, buffer.data(), buffer.size(), wait);
    if (datagram.count > 0) {
      const std::string_view text(reinterpret_cast<const char*>(buffer.data()),
                                  static_cast<std::size_t>(datagram.count));
      if (auto id = ProbeMessageId(text)) {
        Answer({datagram.from, datagram.from_port, std::move(*id)});
      }
    }
    SendDue(false);
  }
}

void WsdResponder::Answer(const ReceivedProbe& probe) {
  std::lock_guard lock(mutex_);
  probes_.push_back(probe);
  const std::uint32_t now = Clock::TickCount();
  for (const WsdScanner& scanner : scanners_) {
    const WsdBehaviour& b = scanner.behaviour;
    if (b.silent) continue;
    ProbeMatchFields fields;
    fields.relates_to = b.other_message_id
                            ? platform::FormatUuid(platform::CreateUuid())
                            : probe.message_id;
    fields.message_id = platform::FormatUuid(platform::CreateUuid());
    fields.endpoint =
        std::string(Unbraced(scanner.uuid_text ? scanner.uuid_text() : ""));
    fields.address = scanner.address;
    fields.model = b.model;
    const std::string answer = BuildProbeMatch(fields);
    const std::uint32_t due = now + DrawDelay(b);
    const auto queue = [&](std::string payload) {
      pending_.push_back({due, scanner.address, probe.from, probe.from_port,
                          std::move(payload)});
    };
    if (b.malformed_before)
      queue(answer.substr(0, answer.find("<ModuleName>") + 15));
    if (b.oversized_before) queue(answer + std::string(2600, ' '));
    for (int copy = 0; copy < b.copies; ++copy) queue(answer);
  }
}

void WsdResponder::SendDue(bool all) {
  std::vector<Pending> due;
  {
    std::lock_guard lock(mutex_);
    const std::uint32_t now = Clock::TickCount();
    // Keep the order of queueing among the answers that are due.
    auto split = std::stable_partition(
        pending_.begin(), pending_.end(), [&](const Pending& p) {
          return !all && static_cast<std::int32_t>(p.due - now) > 0;
        });
    due.assign(std::make_move_iterator(split),
               std::make_move_iterator(pending_.end()));
    pending_.erase(split, pending_.end());
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const Pending& a, const Pending& b) {
                     return static_cast<std::int32_t>(a.due - b.due) < 0;
                   });
  for (const Pending& p : due) SendFrom(p.source, p.to, p.to_port, p.payload);
}

}  // namespace refloq::sim
