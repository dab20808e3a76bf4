#include "discovery/probe_exchange.h"

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/local_address_list.h"
#include "discovery/message_id.h"
#include "discovery/probe_match.h"
#include "discovery/probe_port.h"
#include "discovery/probe_template.h"
#include "platform/clock.h"

namespace refloq::discovery {

using platform::Clock;

ProbeSocket::~ProbeSocket() {
  if (handle != platform::kInvalidSocket) platform::CloseSocket(handle);
}

namespace {

// The missing-template box: fixed texts, not in the string table.
constexpr std::string_view kNoProbeTemplateText =
    "No Send Data,Please check sample file";
constexpr std::string_view kNoProbeTemplateCaption = "Error";

// Binds to local and a drawn probe port, drawing again while the port is
// taken (another thread's probe may hold it).
bool BindProbePort(ProbeSocket& socket, const platform::Ipv4Address& local) {
  for (int draw = 0; draw < kProbePortDraws; ++draw) {
    const std::uint16_t port = DrawProbePort();
    if (platform::BindSocket(socket.handle, local, port)) {
      socket.port = port;
      return true;
    }
  }
  return false;
}

}  // namespace

int SendProbe(DiscoveryWindow& window, std::string_view message_id,
              const platform::Ipv4Address& local, ProbeSocket& socket) {
  socket.handle = platform::CreateUdpSocket();
  if (socket.handle == platform::kInvalidSocket) return 0;
  if (!BindProbePort(socket, local)) return 0;
  if (!platform::SetMulticastTtl(socket.handle, kProbeTtl)) return 0;
  // The probe leaves through the adapter of its local address.
  platform::SetMulticastInterface(socket.handle, local);

  const auto probe = FillProbe(StoredProbeTemplate(), message_id);
  if (!probe) {
    window.messages.ShowMessage(kNoProbeTemplateText, kNoProbeTemplateCaption);
    return 0;
  }
  // Answers come to this socket; a socket that cannot join still sends the
  // probe, but its cycle ends without answers.
  socket.listening = platform::JoinMulticastGroup(
      socket.handle, kDiscoveryGroup, platform::kAnyAddress);

  socket.sent_at = Clock::TickCount();
  const std::int64_t sent =
      platform::SendTo(socket.handle, probe->data(), probe->size(),
                       kDiscoveryGroup, kDiscoveryPort);
  return sent >= static_cast<std::int64_t>(probe->size()) ? 1 : 0;
}

bool ListenForAnswers(ProbeSocket& socket, const AnswerHandler& handle,
                      bool* stopped) {
  if (stopped) *stopped = false;
  if (!socket.listening) return false;
  // A datagram larger than an answer may be must not be cut to size and
  // read as a shorter one: receive into room for any datagram and skip it.
  std::vector<std::uint8_t> buffer(65536);
  std::uint32_t handling_ms = 0;
  for (;;) {
    const std::uint32_t elapsed = Clock::TickCount() - socket.sent_at;
    const std::uint32_t listened = elapsed - std::min(elapsed, handling_ms);
    if (listened >= kMaxListenMs) break;
    std::uint32_t wait = kQuietMs;
    if (elapsed < kMinListenMs) wait = std::max(wait, kMinListenMs - elapsed);
    wait = std::min(wait, kMaxListenMs - listened);

    const platform::Datagram datagram = platform::ReceiveFrom(
        socket.handle, buffer.data(), buffer.size(), wait);
    if (datagram.count < 0) break;
    const auto count = static_cast<std::size_t>(datagram.count);
    if (count == 0 || count > kAnswerBufferSize) continue;

    const std::uint32_t handling_start = Clock::TickCount();
    const bool stop = handle(AnswerText({buffer.data(), count}));
    handling_ms += Clock::TickCount() - handling_start;
    if (stop) {
      if (stopped) *stopped = true;
      break;
    }
  }
  return true;
}

bool RunProbeCycles(DiscoveryWindow& window, const CycleListener& listen) {
  for (const auto& local : ListLocalAddresses()) {
    const std::string message_id = NewMessageId();
    for (int cycle = 0; cycle < kCyclesPerAddress; ++cycle) {
      ProbeSocket socket;
      if (!SendProbe(window, message_id, local, socket)) return false;
      const CycleOutcome next = listen(message_id, socket);
      if (next == CycleOutcome::kDone) return true;
      if (next == CycleOutcome::kNextAddress) break;
    }
  }
  return true;
}

}  // namespace refloq::discovery
