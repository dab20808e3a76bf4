#pragma once
// One probe and its answers.  Both travel through one UDP socket, bound to
// the local address and the probe port and joined to the WS-Discovery group
// before the probe leaves, so that no answer arrives while nothing listens.
//
// A listening cycle lasts until at least 600 ms have passed since the probe
// left (a device may wait up to 500 ms before it answers a multicast probe)
// and after that until 300 ms pass without a datagram.  Datagrams that keep
// coming cannot hold a cycle open for ever: it stops after 5 s of
// listening, the time spent on the answers not counted.
#include <cstdint>
#include <functional>
#include <string_view>

#include "discovery/discovery_window.h"
#include "platform/socket.h"

namespace refloq::discovery {

inline constexpr platform::Ipv4Address kDiscoveryGroup = {239, 255, 255, 250};
inline constexpr std::uint16_t kDiscoveryPort = 3702;
inline constexpr int kProbeTtl = 64;
// Answers longer than this do not fit and are skipped.
inline constexpr std::size_t kAnswerBufferSize = 2500;
inline constexpr std::uint32_t kQuietMs = 300;
inline constexpr std::uint32_t kMinListenMs = 600;
inline constexpr std::uint32_t kMaxListenMs = 5000;
// Probe ports tried when the drawn one is taken.
inline constexpr int kProbePortDraws = 10;
// Probe cycles at most per local address.
inline constexpr int kCyclesPerAddress = 15;

struct ProbeSocket {
  ProbeSocket() = default;
  ~ProbeSocket();
  ProbeSocket(const ProbeSocket&) = delete;
  ProbeSocket& operator=(const ProbeSocket&) = delete;

  platform::SocketHandle handle = platform::kInvalidSocket;
  std::uint16_t port = 0;
  // Joined to the group: the cycle can listen.
  bool listening = false;
  // Tick count when the probe left.
  std::uint32_t sent_at = 0;
};

// Opens `socket` on the local address and a drawn probe port, and sends the
// Probe with `message_id` from it to 239.255.255.250:3702.  1 when the
// whole probe went out; 0 when the socket cannot be set up or the send
// falls short, and when the template is missing, after the message "No
// Send Data,Please check sample file" (caption "Error").
int SendProbe(DiscoveryWindow& window, std::string_view message_id,
              const platform::Ipv4Address& local, ProbeSocket& socket);

// Handles one answer text; returns true to end the cycle at once.
using AnswerHandler = std::function<bool(std::string_view answer)>;

// Runs the listening cycle of the probe sent on `socket`.  False when the
// socket cannot listen; true otherwise.  `stopped` tells whether the
// handler ended the cycle.
bool ListenForAnswers(ProbeSocket& socket, const AnswerHandler& handle,
                      bool* stopped = nullptr);

// What a cycle's listener asks for next.
enum class CycleOutcome { kAgain, kNextAddress, kDone };
// The listening part of one cycle, after its probe went out.
using CycleListener =
    std::function<CycleOutcome(std::string_view message_id, ProbeSocket&)>;

// For each local address in order, one new MessageID and up to 15 cycles
// of SendProbe and `listen`.  False as soon as a probe cannot be sent;
// true otherwise.
bool RunProbeCycles(DiscoveryWindow& window, const CycleListener& listen);

}  // namespace refloq::discovery
